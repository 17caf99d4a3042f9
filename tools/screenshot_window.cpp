// For the screenshot command: finds MirthTool's main window, optionally gives
// it a command that opens a dialog, and prints the rectangle of the window to
// show as ImageMagick geometry (WIDTHxHEIGHT+X+Y):
//   mirth_screenshot_window.exe [COMMAND_ID]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

struct Search {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM context)
{
    Search* search = reinterpret_cast<Search*>(context);
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (GetWindow(window, GW_OWNER) != search->owner || !IsWindowVisible(window) || lstrcmpA(className, "#32770"))
        return TRUE;
    search->found = window;
    return FALSE;
}

// Polls for up to ten seconds.
template <typename Find>
HWND WaitFor(Find find)
{
    for (int tries = 0; tries < 200; ++tries) {
        if (HWND window = find())
            return window;
        Sleep(50);
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv)
{
    // Window rectangles in the display's own pixels at any scaling.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    HWND shown = WaitFor([] { return FindWindowA("REDORODA", nullptr); });
    if (!shown)
        return 1;
    if (argc > 1) {
        HWND main = shown;
        PostMessageA(main, WM_COMMAND, MAKEWPARAM(std::atoi(argv[1]), 0), 0);
        shown = WaitFor([main] {
            Search search = {main, nullptr};
            EnumWindows(FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
            return search.found;
        });
        if (!shown)
            return 1;
    }
    Sleep(1000);  // let it paint
    RECT rect;
    GetWindowRect(shown, &rect);
    std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left, rect.top);
    return 0;
}
