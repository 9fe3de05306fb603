// Start-up of the menu against two yardsticks under the same Wine: the
// reference menu (the same window, buttons, texts and picture, without the
// menu's own start-up), and a bare window of the same size. Each time is
// from the process start until the window is shown, painted and the program
// waits for input. Each round starts all three, in an order that rotates
// from round to round, so that a busy machine slows them alike; for each
// pair the medians, their ratio and the median of the ratios within the
// rounds are printed, with the size of autorun.exe.
//
// Before timing, the reference's window is checked against the menu's:
// same caption, place and style, same controls with the same texts, styles,
// places and states, and the menu's picture on screen in both.

#include "menu_probe.h"

#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const int Rounds = 25;
const wchar_t BareClass[] = L"MinimalWindow";
const wchar_t BareTitle[] = L"Minimal";

struct Program {
    const char *label;
    std::wstring path;
    const wchar_t *className;
    const wchar_t *title;
};

struct Started {
    driver::Child child;
    HWND window = nullptr;
    double seconds = -1;
};

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

// Starts the program and waits until its window is up and it is idle.
Started Start(const Program &program)
{
    Started started;
    LARGE_INTEGER start, shown;
    QueryPerformanceCounter(&start);
    started.child = menu::StartMenu(std::wstring(), program.path);
    WaitForInputIdle(started.child.process, 30000);
    started.window = driver::WaitForTopWindow(program.className, program.title, started.child.processId, 30000);
    QueryPerformanceCounter(&shown);
    if (started.window)
        started.seconds = Seconds(start, shown);
    return started;
}

void Close(Started *started)
{
    if (started->window)
        menu::CloseMenu(started->child, started->window);
    driver::Stop(&started->child);
}

// One start: seconds until the window is up and idle, or -1.
double TimeStart(const Program &program)
{
    Started started = Start(program);
    Close(&started);
    return started.seconds;
}

// What a user sees of a window: its caption, place, style, controls, and
// whether it shows the menu's picture.
struct Appearance {
    std::wstring caption;
    RECT rect = {};
    LONG style = 0;
    std::vector<driver::Control> controls;
    bool showsPicture = false;
};

Appearance Look(HWND window, const driver::Image &picture)
{
    Appearance look;
    look.caption = driver::WindowText(window);
    GetWindowRect(window, &look.rect);
    look.style = GetWindowLongW(window, GWL_STYLE);
    look.controls = driver::ReadControls(window);
    look.showsPicture = menu::ShowsPicture(window, picture);
    return look;
}

bool SameRect(const RECT &a, const RECT &b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// What differs between the two, or an empty string.
std::string Difference(const Appearance &a, const Appearance &b)
{
    if (a.caption != b.caption)
        return "caption";
    if (!SameRect(a.rect, b.rect))
        return "window rectangle";
    if (a.style != b.style)
        return "window style";
    if (a.controls.size() != b.controls.size())
        return "number of controls";
    for (size_t i = 0; i < a.controls.size(); i++) {
        const driver::Control &m = a.controls[i], &r = b.controls[i];
        if (m.id != r.id || m.className != r.className || m.text != r.text || !SameRect(m.rect, r.rect) ||
            m.style != r.style || m.enabled != r.enabled || m.visible != r.visible)
            return "control " + std::to_string(i + 1);
    }
    if (!a.showsPicture || !b.showsPicture)
        return "picture";
    return std::string();
}

// Each window is looked at alone on the screen, as the runs show them.
bool ReferenceShowsTheMenu(const Program &menuProgram, const Program &referenceProgram)
{
    driver::Image picture = menu::Picture();
    Appearance looks[2];
    const Program *programs[2] = {&menuProgram, &referenceProgram};
    for (int i = 0; i < 2; i++) {
        Started started = Start(*programs[i]);
        if (!started.window) {
            fprintf(stderr, "startup_bench: a window did not appear\n");
            return false;
        }
        looks[i] = Look(started.window, picture);
        Close(&started);
    }
    std::string difference = Difference(looks[0], looks[1]);
    if (!difference.empty())
        fprintf(stderr, "startup_bench: the reference menu differs from the menu: %s\n", difference.c_str());
    return difference.empty();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The spread of the ratios (their quartiles) says how far one run's median
// of them can be trusted on a busy machine.
void PrintPair(const char *label, const std::vector<double> &a, const std::vector<double> &b, const char *target)
{
    std::vector<double> ratios;
    for (size_t i = 0; i < a.size(); i++)
        ratios.push_back(a[i] / b[i]);
    std::sort(ratios.begin(), ratios.end());
    size_t n = ratios.size();
    printf("  %-24s %6.3f %6.3f   (quartiles %.3f-%.3f)%s\n", label, Median(a) / Median(b), ratios[n / 2],
           ratios[n / 4], ratios[3 * n / 4], target);
}

}  // namespace

int main()
{
    const Program programs[] = {
        {"autorun.exe", menu::AutorunPath(), menu::WindowName, menu::WindowName},
        {"reference menu", menu::BinFolder() + L"reference_menu.exe", menu::WindowName, menu::WindowName},
        {"bare window", driver::ProgramFolder() + L"minimal_window.exe", BareClass, BareTitle},
    };
    const int count = sizeof programs / sizeof programs[0];
    enum { Menu, Reference, Bare };

    // The first start of each warms Wine's caches and is not counted.
    for (const Program &program : programs)
        TimeStart(program);
    if (!ReferenceShowsTheMenu(programs[Menu], programs[Reference]))
        return 1;

    std::vector<double> times[count];
    for (int round = 0; round < Rounds; round++)
        for (int k = 0; k < count; k++) {
            int which = (round + k) % count;
            double seconds = TimeStart(programs[which]);
            if (seconds < 0) {
                fprintf(stderr, "startup_bench: a window did not appear\n");
                return 1;
            }
            times[which].push_back(seconds);
        }

    printf("start-up to a painted, idle window (median of %d rounds):\n", Rounds);
    for (int k = 0; k < count; k++)
        printf("  %-26s %.3f s\n", programs[k].label, Median(times[k]));
    printf("ratios:                   of the medians, median of the ratios\n");
    PrintPair("menu / reference menu", times[Menu], times[Reference], "  target: median of the ratios <= 1.05");
    PrintPair("menu / bare window", times[Menu], times[Bare], "  the former yardstick");
    PrintPair("reference / bare window", times[Reference], times[Bare], "  what the menu shows");

    WIN32_FILE_ATTRIBUTE_DATA file;
    if (GetFileAttributesExW(menu::AutorunPath().c_str(), GetFileExInfoStandard, &file))
        printf("autorun.exe size: %lu bytes (target: under 102400)\n", file.nFileSizeLow);
    return 0;
}
