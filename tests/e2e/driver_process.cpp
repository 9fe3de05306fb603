#include "driver.h"

namespace driver {

Child Start(const std::wstring &commandLine, const std::wstring &directory)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    Child child;
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       directory.empty() ? nullptr : directory.c_str(), &startup, &started)) {
        CloseHandle(started.hThread);
        child.process = started.hProcess;
        child.processId = started.dwProcessId;
    }
    return child;
}

long WaitForExit(const Child &child, DWORD milliseconds)
{
    DWORD code = 0;
    if (!child.process || WaitForSingleObject(child.process, milliseconds) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(child.process, &code))
        return -1;
    return long(code);
}

void Stop(Child *child)
{
    if (!child->process)
        return;
    if (WaitForSingleObject(child->process, 0) != WAIT_OBJECT_0) {
        TerminateProcess(child->process, 255);
        WaitForSingleObject(child->process, 5000);
    }
    CloseHandle(child->process);
    *child = Child();
}

Child Attach(DWORD processId)
{
    Child child;
    child.process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, processId);
    child.processId = child.process ? processId : 0;
    return child;
}

std::wstring ModuleString(const std::wstring &path, UINT id, int size)
{
    std::wstring text;
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module) {
        std::vector<wchar_t> buffer(size_t(size), L'\0');
        LoadStringW(module, id, buffer.data(), size);
        text = buffer.data();
        FreeLibrary(module);
    }
    return text;
}

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

}  // namespace driver
