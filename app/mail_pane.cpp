#include "app/panes.h"

#include "app/dpi.h"
#include "resources/resource.h"

namespace {

// The subject field's own window procedure, while the subject-key procedure
// stands in front of it.
WNDPROC g_subjectProc = nullptr;

// The body field stands 5 x (menu-bar height) - 15 pixels below the top of
// the pane's client area and fills the rest of it; the menu bar is the one of
// the pane's DPI.
void OnSize(HWND pane)
{
    HWND body = GetDlgItem(pane, IDC_BODY);
    if (!body)
        return;
    int top = 5 * MenuBarHeight(WindowDpi(pane)) - 15;
    RECT client;
    GetClientRect(pane, &client);
    int height = client.bottom - top;
    MoveWindow(body, 0, top, client.right, height > 0 ? height : 0, TRUE);
}

INT_PTR CALLBACK MailPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        PostMessageA(GetParent(pane), WM_COMMAND, wParam, lParam);
        break;
    case WM_SIZE:
        OnSize(pane);
        break;
    }
    return FALSE;
}

// Tab or Enter (as characters) move the focus to the body and are swallowed.
LRESULT CALLBACK SubjectKeyProc(HWND subject, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CHAR && (wParam == '\t' || wParam == '\r')) {
        SetFocus(GetDlgItem(GetParent(subject), IDC_BODY));
        return 1;
    }
    return CallWindowProcA(g_subjectProc, subject, message, wParam, lParam);
}

}  // namespace

HWND CreateMailPane(HINSTANCE instance, HWND mainWindow)
{
    HWND pane = CreateDialogParamA(instance, IDD_MAIL, mainWindow, MailPaneProc, 0);
    // A multi-line edit field takes 32,767 characters by default (30,000
    // under Wine) and drops the rest of a paste without a word; 0 lifts the
    // limit to the largest the control allows.
    SendDlgItemMessageA(pane, IDC_BODY, EM_SETLIMITTEXT, 0, 0);
    return pane;
}

void SubclassSubjectField(HWND mailPane)
{
    HWND subject = GetDlgItem(mailPane, IDC_SUBJECT);
    g_subjectProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(subject, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubjectKeyProc)));
}

void RestoreSubjectField(HWND mailPane)
{
    if (!g_subjectProc)
        return;
    SetWindowLongPtrA(GetDlgItem(mailPane, IDC_SUBJECT), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_subjectProc));
    g_subjectProc = nullptr;
}
