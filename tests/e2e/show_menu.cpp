// Starts the menu, waits until its window shows the picture, and saves a
// screenshot of the window as a PNG; with "close", closes the menu again,
// else waits until the user has.
//
//   show_menu <screenshot.png> [close]

#include "menu_probe.h"

#include <stdio.h>
#include <string.h>

int wmain(int argc, wchar_t **argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: show_menu screenshot.png [close]\n");
        return 2;
    }
    driver::Child child = menu::StartMenu();
    HWND window = menu::WaitForMenuWindow(child);
    if (!window) {
        fprintf(stderr, "show_menu: the menu window did not appear\n");
        driver::Stop(&child);
        return 1;
    }
    driver::Image picture = menu::Picture();
    int mismatches = 0;
    if (!driver::WaitUntil([&] { return menu::ShowsPicture(window, picture, &mismatches); }, 10000))
        fprintf(stderr, "show_menu: %d pixels on screen differ from bitmap 127 (%dx%d)\n", mismatches,
                picture.width, picture.height);
    RECT frame;
    GetWindowRect(window, &frame);
    if (!driver::WritePng(driver::CaptureScreen(frame), argv[1])) {
        fprintf(stderr, "show_menu: cannot write the screenshot\n");
        driver::Stop(&child);
        return 1;
    }
    long code = argc > 2 && wcscmp(argv[2], L"close") == 0 ? menu::CloseMenu(child, window)
                                                          : driver::WaitForExit(child, INFINITE);
    driver::Stop(&child);
    return code == 0 ? 0 : 1;
}
