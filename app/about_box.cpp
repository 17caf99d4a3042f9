#include "app/about_box.h"

#include "resources/resource.h"

namespace {

// OK, Escape and the close box all end the box.
INT_PTR CALLBACK AboutBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(box, 1);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void ShowAboutBox(HINSTANCE instance, HWND owner)
{
    DialogBoxParamA(instance, IDD_ABOUT, owner, AboutBoxProc, 0);
}
