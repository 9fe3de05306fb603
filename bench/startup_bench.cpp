// Start-up of the menu against a minimal Win32 program with one window of
// the same size, both under the same Wine: the time from the process start
// until its window is shown, painted and the program waits for input.
// Runs alternate between the two, so that a busy machine slows both; the
// medians, their ratio and the median of the ratios of neighbouring runs
// are printed, with the size of autorun.exe.

#include "menu_probe.h"

#include <stdio.h>

#include <algorithm>
#include <vector>

namespace {

const int Runs = 15;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

// One start: seconds until the window is up and idle, or -1.
double TimeStart(const std::wstring &program, const wchar_t *className, const wchar_t *title)
{
    LARGE_INTEGER start, shown;
    QueryPerformanceCounter(&start);
    driver::Child child = menu::StartMenu(std::wstring(), program);
    WaitForInputIdle(child.process, 30000);
    HWND window = driver::WaitForTopWindow(className, title, child.processId, 30000);
    QueryPerformanceCounter(&shown);
    double seconds = window ? Seconds(start, shown) : -1;
    if (window)
        menu::CloseMenu(child, window);
    driver::Stop(&child);
    return seconds;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main()
{
    std::wstring minimal = driver::ProgramFolder() + L"minimal_window.exe";
    // The first start of each warms Wine's caches and is not counted.
    TimeStart(menu::AutorunPath(), menu::WindowName, menu::WindowName);
    TimeStart(minimal, L"MinimalWindow", L"Minimal");

    std::vector<double> menuTimes, minimalTimes, ratios;
    for (int i = 0; i < Runs; i++) {
        double a = TimeStart(menu::AutorunPath(), menu::WindowName, menu::WindowName);
        double b = TimeStart(minimal, L"MinimalWindow", L"Minimal");
        if (a < 0 || b < 0) {
            fprintf(stderr, "startup_bench: a window did not appear\n");
            return 1;
        }
        menuTimes.push_back(a);
        minimalTimes.push_back(b);
        ratios.push_back(a / b);
    }
    double menuMedian = Median(menuTimes), minimalMedian = Median(minimalTimes);
    printf("start-up to a painted, idle window (median of %d runs):\n", Runs);
    printf("  autorun.exe         %.3f s\n", menuMedian);
    printf("  minimal window      %.3f s\n", minimalMedian);
    printf("  ratio of the medians %.3f (target: at most 1.10)\n", menuMedian / minimalMedian);
    printf("  median of the ratios %.3f\n", Median(ratios));

    WIN32_FILE_ATTRIBUTE_DATA file;
    if (GetFileAttributesExW(menu::AutorunPath().c_str(), GetFileExInfoStandard, &file))
        printf("autorun.exe size: %lu bytes (target: under 102400)\n", file.nFileSizeLow);
    return 0;
}
