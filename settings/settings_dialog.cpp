#include "settings/settings_dialog.h"

#include <string>

#include "resources/resource.h"
#include "settings/art_preview.h"
#include "resources/texts.h"
#include "settings/settings_store.h"

namespace {

const char* const kBackdrops[] = {"DEN.bgb", "FIELD.bgb", "PASTORAL.bgb", "ROOM.bgb", "VOLCANO.bgb"};

// Spelled as Microsoft Chat's character files are named (MARGARET.AVB...):
// Chat finds a character by its file name.
const char* const kCharacters[] = {
    "ANNA", "ARMANDO", "BOLO", "DENISE", "HUGH", "JORDAN", "KEVIN", "KWENSA", "LANCE", "LYNNEA",
    "MARGARET", "MAYNARD", "MIKE", "REBECCA", "SAGE", "SCOTTY", "SUSAN", "TIKI", "TONGTYED", "XENO",
};

// What the dialog keeps while it is open.
struct DialogState {
    Settings* settings;
    bool artFetchChecked;  // the box as it opened
    ArtPreview* preview;
    std::string backdrop, own, quoted;  // as the boxes show them now
};

template <size_t count>
void FillBox(HWND dialog, int box, const char* text, const char* const (&entries)[count])
{
    SetDlgItemTextA(dialog, box, text);
    for (const char* entry : entries)
        SendDlgItemMessageA(dialog, box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
}

bool ArtFetchChecked(HWND dialog)
{
    return IsDlgButtonChecked(dialog, IDC_CONFIG_ART_FETCH) == BST_CHECKED;
}

// The picture's text says what it shows, or that art is missing.
void ShowArt(HWND dialog, const DialogState& state)
{
    HWND picture = GetDlgItem(dialog, IDC_CONFIG_PREVIEW);
    std::string text = ArtPreviewComplete(state.preview, state.backdrop, state.own, state.quoted)
                           ? state.own + " / " + state.quoted + " / " + state.backdrop
                           : kArtPreviewMissing;
    SetWindowTextA(picture, text.c_str());
    InvalidateRect(picture, nullptr, FALSE);
}

void OnInitDialog(HWND dialog, DialogState& state)
{
    const Settings& settings = *state.settings;
    FillBox(dialog, IDC_CONFIG_BACKDROP, settings.backstr, kBackdrops);
    FillBox(dialog, IDC_CONFIG_CHAR, settings.charstr, kCharacters);
    SetDlgItemTextA(dialog, IDC_CONFIG_NAME, settings.namestr);
    FillBox(dialog, IDC_CONFIG_CHAR2, settings.charstr2, kCharacters);
    SetDlgItemTextA(dialog, IDC_CONFIG_NAME2, settings.namestr2);
    for (const char* label : kMailSoftLabels)
        SendDlgItemMessageA(dialog, IDC_CONFIG_MAILSOFT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label));
    // A stored kind outside the list shows no selection.
    if (settings.MailSoft <= DefaultMapiMailer)
        SendDlgItemMessageA(dialog, IDC_CONFIG_MAILSOFT, CB_SETCURSEL, settings.MailSoft, 0);
    CheckDlgButton(dialog, IDC_CONFIG_ART_FETCH,
                   ReadDword(kValueArtFetch, kArtFetchAsk) == kArtFetchAlways ? BST_CHECKED : BST_UNCHECKED);
    state.artFetchChecked = ArtFetchChecked(dialog);
    state.backdrop = settings.backstr;
    state.own = settings.charstr;
    state.quoted = settings.charstr2;
    ShowArt(dialog, state);
}

// A box's text as it is about to show: a selection in the list reaches the
// edit field only after its notification.
std::string BoxText(HWND dialog, int box, WORD notification)
{
    char text[kTextSettingCapacity] = "";
    LRESULT selected = SendDlgItemMessageA(dialog, box, CB_GETCURSEL, 0, 0);
    if (notification == CBN_SELCHANGE && selected != CB_ERR &&
        SendDlgItemMessageA(dialog, box, CB_GETLBTEXTLEN, selected, 0) < static_cast<LRESULT>(sizeof text))
        SendDlgItemMessageA(dialog, box, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text));
    else
        GetDlgItemTextA(dialog, box, text, sizeof text);
    return text;
}

// The picture follows the backdrop and character boxes at once.
void OnArtChange(HWND dialog, DialogState& state, int box, WORD notification)
{
    std::string& name = box == IDC_CONFIG_BACKDROP ? state.backdrop : box == IDC_CONFIG_CHAR ? state.own : state.quoted;
    name = BoxText(dialog, box, notification);
    ShowArt(dialog, state);
}

// Reads a text back into its field (at most 127 bytes) and stores it.
void TakeText(HWND dialog, int control, char* field, const char* valueName)
{
    GetDlgItemTextA(dialog, control, field, kTextSettingCapacity);
    WriteString(valueName, field);
}

void OnOk(HWND dialog, const DialogState& state)
{
    Settings& settings = *state.settings;
    // No selection gives CB_ERR (-1), stored as 0xFFFFFFFF.
    LRESULT selected = SendDlgItemMessageA(dialog, IDC_CONFIG_MAILSOFT, CB_GETCURSEL, 0, 0);
    settings.MailSoft = static_cast<uint32_t>(selected);
    WriteDword(kValueMailSoft, settings.MailSoft);
    TakeText(dialog, IDC_CONFIG_BACKDROP, settings.backstr, kValueBackstr);
    TakeText(dialog, IDC_CONFIG_CHAR, settings.charstr, kValueCharstr);
    TakeText(dialog, IDC_CONFIG_NAME, settings.namestr, kValueNamestr);
    TakeText(dialog, IDC_CONFIG_CHAR2, settings.charstr2, kValueCharstr2);
    TakeText(dialog, IDC_CONFIG_NAME2, settings.namestr2, kValueNamestr2);
    // An untouched box leaves "ArtFetch" as it was, absent included.
    bool checked = ArtFetchChecked(dialog);
    if (checked != state.artFetchChecked)
        WriteDword(kValueArtFetch, checked ? kArtFetchAlways : kArtFetchNever);
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        OnInitDialog(dialog, *reinterpret_cast<DialogState*>(lParam));
        return FALSE;  // no control gets the focus
    case WM_DRAWITEM:
        if (wParam == IDC_CONFIG_PREVIEW) {
            DialogState& state = *reinterpret_cast<DialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
            DrawArtPreview(state.preview, *reinterpret_cast<DRAWITEMSTRUCT*>(lParam), state.backdrop, state.own,
                           state.quoted);
            return TRUE;
        }
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_CONFIG_BACKDROP:
        case IDC_CONFIG_CHAR:
        case IDC_CONFIG_CHAR2:
            if (HIWORD(wParam) == CBN_SELCHANGE || HIWORD(wParam) == CBN_EDITCHANGE)
                OnArtChange(dialog, *reinterpret_cast<DialogState*>(GetWindowLongPtrA(dialog, DWLP_USER)),
                            LOWORD(wParam), HIWORD(wParam));
            return FALSE;
        case IDOK:
            OnOk(dialog, *reinterpret_cast<DialogState*>(GetWindowLongPtrA(dialog, DWLP_USER)));
            EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 1);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

}  // namespace

void ShowSettingsDialog(HINSTANCE instance, HWND owner, Settings& settings)
{
    DialogState state = {&settings, false, CreateArtPreview(), "", "", ""};
    DialogBoxParamA(instance, IDD_CONFIG, owner, SettingsDialogProc, reinterpret_cast<LPARAM>(&state));
    DestroyArtPreview(state.preview);
}
