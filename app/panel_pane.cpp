#include "app/panes.h"

#include "resources/resource.h"

namespace {

INT_PTR CALLBACK PanelPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
        PostMessageA(GetParent(pane), WM_COMMAND, wParam, lParam);
    return FALSE;
}

}  // namespace

HWND CreatePanelPane(HINSTANCE instance, HWND mainWindow)
{
    return CreateDialogParamA(instance, IDD_PANEL, mainWindow, PanelPaneProc, 0);
}
