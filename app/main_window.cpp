#include "app/main_window.h"

#include "app/commands.h"
#include "app/dpi.h"
#include "app/panes.h"
#include "app/window_placement.h"
#include "app/work_folder.h"
#include "handoff/mapi_mail.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "settings/settings_store.h"

namespace {

// The program-wide state, owned by the main window for the whole run.
MainWindow g_main;

void LoadTextSettings(Settings& settings)
{
    LoadTextSetting(kValueBackstr, settings.backstr, kDefaultBackstr);
    LoadTextSetting(kValueNamestr, settings.namestr, kDefaultNamestr);
    LoadTextSetting(kValueCharstr, settings.charstr, kDefaultCharstr);
    LoadTextSetting(kValueNamestr2, settings.namestr2, kDefaultNamestr2);
    LoadTextSetting(kValueCharstr2, settings.charstr2, kDefaultCharstr2);
}

void OnCreate(HWND window)
{
    g_main.window = window;
    ResolveWorkFolder(g_main.settings);
    g_main.settings.MailSoft = ReadDword(kValueMailSoft, kDefaultMailSoft);
    bool firstStart = ApplyStoredPlacement(window, g_main.settings.WindowPlacement);
    g_main.panel = CreatePanelPane(g_main.instance, window);
    g_main.mail = CreateMailPane(g_main.instance, window);
    if (firstStart)
        FitFirstWindow(window, {g_main.panel, g_main.mail});
    LoadTextSettings(g_main.settings);
    PostMessageA(window, MSG_LATE_INIT, 0, 0);
}

// The gap between the button strip and the Mail pane, in 96-dpi pixels.
const int kPaneGap = 5;

// The button strip keeps its height; the Mail pane fills the rest, a gap below it.
void OnSize(HWND window)
{
    if (!g_main.panel || !g_main.mail)
        return;
    RECT client, panel;
    GetClientRect(window, &client);
    GetWindowRect(g_main.panel, &panel);
    int panelHeight = panel.bottom - panel.top;
    int gap = ScaleToDpi(kPaneGap, WindowDpi(window));
    int mailHeight = client.bottom - panelHeight - gap;
    MoveWindow(g_main.panel, 0, 0, client.right, panelHeight, TRUE);
    MoveWindow(g_main.mail, 0, panelHeight + gap, client.right, mailHeight > 0 ? mailHeight : 0, TRUE);
}

// Moved to a monitor of another scaling: the window takes the rectangle that
// Windows suggests. Windows (10 1703 and later) rescales the panes, which are
// dialogs made from templates, and their fonts as the change reaches them;
// the layout runs again once that is done.
void OnDpiChanged(HWND window, const RECT& suggested)
{
    SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    PostMessageA(window, MSG_RELAYOUT, 0, 0);
}

// The Mail pane may keep its size while its body rule has changed with the DPI.
void OnRelayout(HWND window)
{
    OnSize(window);
    SendMessageA(g_main.mail, WM_SIZE, SIZE_RESTORED, 0);
}

void OnLateInit()
{
    char description[kDescriptionCapacity] = "";
    ReadString(kValueRead, description, kDescriptionCapacity);
    if (description[0] == '\0')
        lstrcpynA(description, kDefaultDescription, kDescriptionCapacity);
    SetDlgItemTextA(g_main.mail, IDC_DESCRIPTION, description);
    SubclassSubjectField(g_main.mail);
    SetFocus(GetDlgItem(g_main.mail, IDC_SUBJECT));
}

void OnDestroy(HWND window)
{
    RestoreSubjectField(g_main.mail);
    StorePlacement(window, g_main.settings.WindowPlacement);
    PostQuitMessage(0);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        return 0;
    case WM_SIZE:
        OnSize(window);
        return 0;
    case MSG_LATE_INIT:
        OnLateInit();
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(window, *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case MSG_RELAYOUT:
        OnRelayout(window);
        return 0;
    case MSG_MAPI_MAIL_ENDED:
        FinishMapiMail(window);
        return 0;
    case WM_COMMAND:
        if (DispatchCommand(g_main, LOWORD(wParam)))
            return 0;
        break;
    case WM_DESTROY:
        OnDestroy(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool RegisterMainWindowClass(HINSTANCE instance)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.cbWndExtra = DLGWINDOWEXTRA;  // the class backs a dialog template
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, IDI_MIRTHTOOL);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kMainWindowClass;
    return RegisterClassA(&windowClass) != 0;
}

HWND CreateMainWindow(HINSTANCE instance)
{
    g_main.instance = instance;
    // No dialog procedure: the class's window procedure handles every message.
    return CreateDialogParamA(instance, IDD_MAIN_WINDOW, nullptr, nullptr, 0);
}

void StoreDescription(const MainWindow& app)
{
    char description[kDescriptionCapacity] = "";
    GetDlgItemTextA(app.mail, IDC_DESCRIPTION, description, kDescriptionCapacity);
    WriteString(kValueRead, description);
}

std::string FieldText(const MainWindow& app, int id)
{
    HWND field = GetDlgItem(app.mail, id);
    std::string text(GetWindowTextLengthA(field), '\0');
    text.resize(GetWindowTextA(field, &text[0], static_cast<int>(text.size() + 1)));
    return text;
}
