// Entry: one instance, the main window, and the message loop.
#include <windows.h>

#include <commctrl.h>

#include "app/main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int showMode)
{
    // Loads version 6 of the common controls, which the manifest asks for:
    // the dialogs' buttons, fields and lists are drawn with visual styles.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    if (!previous && !RegisterMainWindowClass(instance))
        return 0;
    // Only one copy runs; a second start ends quietly and leaves the first alone.
    if (FindWindowA(kMainWindowClass, nullptr))
        return 0;
    HWND window = CreateMainWindow(instance);
    if (!window)
        return 0;
    ShowWindow(window, showMode);
    UpdateWindow(window);

    // No dialog navigation: Tab and Enter reach the focused field as characters.
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
