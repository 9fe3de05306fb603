// What the menu's own start-up costs, step by step: each step that the
// menu does before its window waits for input and that the reference menu
// of startup_bench does not, timed with the product's own code
//   - once each, in the menu's order, in a fresh process (as a start pays
//     it: first calls, cold caches), the median over several processes;
//   - warm, as the median time per call over many calls in one process;
// and each as a share of one start of the reference menu, timed in the
// same run, alternately with the fresh processes.
//
// The steps: the choice of the language library (the language file, then
// the locale); the single-instance check (four strings, two window
// searches); the file system's start-up; the registry lookup of
// RefreshMenu, with the number of times RefreshMenu runs before the menu
// first waits for input (the menu's own window procedure, counted in the
// fresh process). For scale, the language library's load, which the
// reference does too, and the whole window up to the first idle moment.
//
// Where qemu runs the 32-bit code, a first call also pays for translating
// the system's code that it is the first to run (ntdll, kernelbase,
// msvcrt): a fresh figure there is partly the price of whatever code the
// step happens to reach first, which another program pays elsewhere; the
// warm figure is closer to the step's own work.

#include "discovery/registry.h"
#include "gamefs/file_system.h"
#include "launcher/language.h"
#include "launcher/menu_view.h"
#include "launcher/menu_window.h"
#include "menu_probe.h"
#include "menu_shared/menu_shared.h"
#include "resources/resource.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const int FreshProcesses = 9;
const int WarmRounds = 7;
const int WarmCalls = 100;
const char FreshProcessFlag[] = "--fresh-process";
// How long the fresh process keeps counting refreshes after its first idle
// moment, for those that a later event (the window's exposure, the focus)
// brings.
const DWORD AfterIdleMilliseconds = 1000;

enum Step {
    ChooseLanguage,
    LocaleRead,  // within ChooseLanguage
    InstanceStrings,
    InstanceWindows,
    FileSystem,
    RegistryFirst,
    RegistryAgain,
    LanguageLibraryLoad,
    WindowToIdle,
    StepCount
};

// What a fresh process reports: each step's seconds, then the refreshes.
struct FreshResult {
    double seconds[StepCount];
    int paintsAtIdle, notificationsAtIdle, paintsLater, notificationsLater;
};

double Now()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return double(counter.QuadPart) / double(frequency.QuadPart);
}

template <typename Call>
double Time(Call call)
{
    double start = Now();
    call();
    return Now() - start;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::wstring ResultPath()
{
    wchar_t folder[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + L"startup_steps.txt";
}

// The language library by full path, as a data file: LoadLanguageLibrary's
// call, pointed at the menu's folder instead of this program's.
HMODULE LoadEnglishLibrary()
{
    return LoadLibraryExW((menu::BinFolder() + L"rm_eng.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

char MenuClass[MenuStringSize + 1], MenuTitle[MenuStringSize + 1];
char GameClass[MenuStringSize + 1], GameTitle[MenuStringSize + 1];

void LoadInstanceStrings()
{
    LoadMenuString(IDS_MENU_CLASS, MenuClass, MenuStringSize);
    LoadMenuString(IDS_MENU_TITLE, MenuTitle, MenuStringSize);
    LoadMenuString(IDS_GAME_CLASS, GameClass, MenuStringSize);
    LoadMenuString(IDS_GAME_TITLE, GameTitle, MenuStringSize);
}

bool FindRunningInstance()
{
    return FindWindowA(GameClass, GameTitle) || FindWindowA(MenuClass, MenuTitle);
}

bool LookUpInstallation()
{
    char path[RegistryValueBufferSize];
    return ReadAppPathsValue("rumbelon.exe", "Path", path) != 0;
}

// The locale reader that ChooseLanguageLibrary is given, timed.
double LocaleSeconds;

int WINAPI TimedGetLocaleInfoA(LCID locale, LCTYPE type, LPSTR answer, int size)
{
    double start = Now();
    int length = GetLocaleInfoA(locale, type, answer, size);
    LocaleSeconds += Now() - start;
    return length;
}

// RefreshMenu runs for every paint and every notification of a button.
int Paints, Notifications;

LRESULT CALLBACK CountingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT)
        Paints++;
    if (message == WM_COMMAND && HIWORD(wParam) != 0)
        Notifications++;
    return MenuWindowProc(window, message, wParam, lParam);
}

// The menu's message loop for as long as there are messages.
void DispatchWaiting()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT || IsDialogMessageA(MenuWindow, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The menu's window, as its entry point makes it, up to the first moment
// with no message waiting.
HWND CreateCountedMenuWindow(HINSTANCE instance)
{
    HWND window = CreateMenuWindow(instance, SW_SHOWNORMAL, CountingWindowProc);
    DispatchWaiting();
    return window;
}

// The menu's start-up, one step at a time, in a process of its own.
int RunFreshProcess()
{
    FreshResult result = {};
    double *seconds = result.seconds;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    ProgramInstance = instance;

    const char *library = nullptr;
    seconds[ChooseLanguage] = Time([&] { ChooseLanguageLibrary(&library, TimedGetLocaleInfoA); });
    seconds[LocaleRead] = LocaleSeconds;
    seconds[LanguageLibraryLoad] = Time([] { LanguageLibrary = LoadEnglishLibrary(); });
    seconds[InstanceStrings] = Time(LoadInstanceStrings);
    seconds[InstanceWindows] = Time(FindRunningInstance);
    seconds[FileSystem] = Time(FileSystemStartup);
    seconds[RegistryFirst] = Time(LookUpInstallation);
    seconds[RegistryAgain] = Time(LookUpInstallation);

    HWND window = nullptr;
    seconds[WindowToIdle] = Time([&] { window = CreateCountedMenuWindow(instance); });
    result.paintsAtIdle = Paints;
    result.notificationsAtIdle = Notifications;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < AfterIdleMilliseconds) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        DispatchWaiting();
    }
    result.paintsLater = Paints - result.paintsAtIdle;
    result.notificationsLater = Notifications - result.notificationsAtIdle;
    DestroyWindow(window);
    DispatchWaiting();

    FILE *file = _wfopen(ResultPath().c_str(), L"wb");
    if (!file)
        return 1;
    bool written = fwrite(&result, sizeof result, 1, file) == 1;
    return fclose(file) == 0 && written ? 0 : 1;
}

bool RunOneFreshProcess(const std::wstring &self, FreshResult *result)
{
    DeleteFileW(ResultPath().c_str());
    driver::Child child = driver::Start(L"\"" + self + L"\" --fresh-process", menu::BinFolder());
    long code = driver::WaitForExit(child, 60000);
    driver::Stop(&child);
    FILE *file = _wfopen(ResultPath().c_str(), L"rb");
    bool read = file && fread(result, sizeof *result, 1, file) == 1;
    if (file)
        fclose(file);
    return code == 0 && read;
}

double TimeReferenceStart()
{
    double start = Now();
    driver::Child child = menu::StartMenu(std::wstring(), menu::BinFolder() + L"reference_menu.exe");
    WaitForInputIdle(child.process, 30000);
    HWND window = driver::WaitForTopWindow(menu::WindowName, menu::WindowName, child.processId, 30000);
    double seconds = Now() - start;
    if (window)
        menu::CloseMenu(child, window);
    driver::Stop(&child);
    return window ? seconds : -1;
}

// Seconds per call of `call`, warm: the median over rounds of many calls.
template <typename Call>
double WarmCall(Call call)
{
    std::vector<double> rounds;
    for (int r = 0; r < WarmRounds; r++)
        rounds.push_back(Time([&] {
                             for (int i = 0; i < WarmCalls; i++)
                                 call();
                         }) /
                         WarmCalls);
    return Median(rounds);
}

struct Row {
    const char *label;
    double calls;  // per start
    Step step;
    bool within;  // a part of the step above, not counted again
};

}  // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && strcmp(argv[1], FreshProcessFlag) == 0)
        return RunFreshProcess();

    // The menu starts in its own folder, where no language file lies.
    SetCurrentDirectoryW(menu::BinFolder().c_str());
    std::wstring self = driver::ProgramFolder() + L"startup_steps_bench.exe";

    // Warm-up of both, not counted.
    FreshResult result;
    TimeReferenceStart();
    if (!RunOneFreshProcess(self, &result)) {
        fprintf(stderr, "startup_steps_bench: the fresh process failed\n");
        return 1;
    }
    std::vector<double> fresh[StepCount], references;
    std::vector<double> paintsAtIdle, notificationsAtIdle, paintsLater, notificationsLater;
    for (int i = 0; i < FreshProcesses; i++) {
        double reference = TimeReferenceStart();
        if (reference < 0 || !RunOneFreshProcess(self, &result)) {
            fprintf(stderr, "startup_steps_bench: a start failed\n");
            return 1;
        }
        references.push_back(reference);
        for (int s = 0; s < StepCount; s++)
            fresh[s].push_back(result.seconds[s]);
        paintsAtIdle.push_back(result.paintsAtIdle);
        notificationsAtIdle.push_back(result.notificationsAtIdle);
        paintsLater.push_back(result.paintsLater);
        notificationsLater.push_back(result.notificationsLater);
    }

    // Warm calls in this process. The file system is shut down between
    // calls; only its start-up is counted.
    double warm[StepCount] = {};
    const char *library = nullptr;
    ProgramInstance = GetModuleHandleA(nullptr);
    LocaleSeconds = 0;
    warm[ChooseLanguage] = WarmCall([&] { ChooseLanguageLibrary(&library, TimedGetLocaleInfoA); });
    warm[LocaleRead] = LocaleSeconds / (WarmRounds * WarmCalls);
    warm[LanguageLibraryLoad] = WarmCall([] { FreeLibrary(LoadEnglishLibrary()); });
    LanguageLibrary = LoadEnglishLibrary();
    warm[InstanceStrings] = WarmCall(LoadInstanceStrings);
    warm[InstanceWindows] = WarmCall(FindRunningInstance);
    {
        std::vector<double> rounds;
        for (int r = 0; r < WarmRounds * WarmCalls; r++) {
            rounds.push_back(Time(FileSystemStartup));
            FileSystemShutdown();
        }
        warm[FileSystem] = Median(rounds);
    }
    warm[RegistryFirst] = warm[RegistryAgain] = WarmCall(LookUpInstallation);

    double reference = Median(references);
    double refreshes = Median(paintsAtIdle) + Median(notificationsAtIdle);
    printf("the menu's own start-up, step by step; per call: fresh (once in each of %d fresh processes) and\n"
           "warm (many calls in one process), medians; per start: calls x fresh; share: of one reference\n"
           "menu start, %.3f s (median of %d, alternating with the fresh processes)\n",
           FreshProcesses, reference, FreshProcesses);
    printf("  %-40s %5s %9s %9s %9s %6s\n", "step", "calls", "fresh ms", "warm ms", "start ms", "share");
    const Row own[] = {
        {"ChooseLanguageLibrary (no lang.dat)", 1, ChooseLanguage, false},
        {"  within it, GetLocaleInfoA", 1, LocaleRead, true},
        {"single instance: 4 LoadMenuString", 1, InstanceStrings, false},
        {"single instance: 2 FindWindowA", 1, InstanceWindows, false},
        {"FileSystemStartup", 1, FileSystem, false},
        {"ReadAppPathsValue in RefreshMenu, first", 1, RegistryFirst, false},
        {"ReadAppPathsValue in RefreshMenu, again", refreshes - 1, RegistryAgain, false},
    };
    double total = 0;
    for (const Row &row : own) {
        double perCall = Median(fresh[row.step]), perStart = row.calls * perCall;
        if (!row.within)
            total += perStart;
        printf("  %-40s %5.0f %9.3f %9.3f %9.3f %5.1f%%\n", row.label, row.calls, perCall * 1000,
               warm[row.step] * 1000, perStart * 1000, 100 * perStart / reference);
    }
    printf("  %-40s %5s %9s %9s %9.3f %5.1f%%\n", "the menu's own steps", "", "", "", total * 1000,
           100 * total / reference);
    printf("RefreshMenu runs until the menu first waits for input: %.0f (paints %.0f, button notifications %.0f);\n"
           "in the %lu ms after that: paints %.0f, notifications %.0f\n",
           refreshes, Median(paintsAtIdle), Median(notificationsAtIdle), AfterIdleMilliseconds, Median(paintsLater),
           Median(notificationsLater));
    printf("for scale:\n");
    printf("  %-40s %5d %9.3f %9.3f %9.3f %5.1f%%\n", "language library load (reference too)", 1,
           Median(fresh[LanguageLibraryLoad]) * 1000, warm[LanguageLibraryLoad] * 1000,
           Median(fresh[LanguageLibraryLoad]) * 1000, 100 * Median(fresh[LanguageLibraryLoad]) / reference);
    printf("  %-40s %5d %9.3f %9s %9.3f %5.1f%%\n", "menu window, shown, until idle", 1,
           Median(fresh[WindowToIdle]) * 1000, "", Median(fresh[WindowToIdle]) * 1000,
           100 * Median(fresh[WindowToIdle]) / reference);
    return 0;
}
