#include "app/commands.h"

#include <shellapi.h>

#include "app/about_box.h"
#include "handoff/handoff.h"
#include "resources/resource.h"
#include "settings/settings_dialog.h"

namespace {

void Exit(MainWindow& app)
{
    StoreDescription(app);
    DestroyWindow(app.window);
}

// The texts of the Mail pane, for the hand-off.
MailTexts TypedTexts(const MainWindow& app)
{
    return MailTexts{FieldText(app, IDC_SUBJECT), FieldText(app, IDC_DESCRIPTION), FieldText(app, IDC_BODY)};
}

void CreateMailCommand(MainWindow& app)
{
    switch (CreateMail(app.window, app.settings, TypedTexts(app))) {
    case AfterMail::Nothing: break;
    case AfterMail::StoreDescription: StoreDescription(app); break;
    case AfterMail::StoreDescriptionAndClose: Exit(app); break;
    }
}

// The help page lies in the working folder, which is the current directory.
void ShowHelp(const MainWindow& app)
{
    ShellExecuteA(app.window, "open", "MirthZud.htm", nullptr, nullptr, SW_SHOWNORMAL);
}

// The editing commands act on the body field, whichever field has the focus.
void EditBody(const MainWindow& app, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    SendDlgItemMessageA(app.mail, IDC_BODY, message, wParam, lParam);
}

}  // namespace

bool DispatchCommand(MainWindow& app, WORD command)
{
    switch (command) {
    case CMD_CREATE_MAIL: CreateMailCommand(app); break;
    case CMD_EXIT: Exit(app); break;
    case CMD_ABOUT: ShowAboutBox(app.instance, app.window); break;
    case CMD_HOWTO: ShowHelp(app); break;
    case CMD_SETTINGS: ShowSettingsDialog(app.instance, app.window, app.settings); break;
    case CMD_DISPLAY_TEST: DisplayTest(app.window, app.settings, FieldText(app, IDC_BODY)); break;
    case CMD_SHOW_PICTURE: ShowStripPicture(app.window, app.settings, FieldText(app, IDC_BODY)); break;
    case CMD_CUT: EditBody(app, WM_CUT); break;
    case CMD_COPY: EditBody(app, WM_COPY); break;
    case CMD_PASTE: EditBody(app, WM_PASTE); break;
    case CMD_DELETE: EditBody(app, WM_CLEAR); break;
    case CMD_UNDO: EditBody(app, EM_UNDO); break;
    case CMD_SELECT_ALL: EditBody(app, EM_SETSEL, 0, -1); break;
    default: return false;
    }
    return true;
}
