// Resource IDs shared by the resource script and the code.
#pragma once

// Dialog templates and the icon, by name.
#define IDD_MAIN_WINDOW "REDORODA"
#define IDD_PANEL "PANEL"
#define IDD_MAIL "Mail"
#define IDD_CONFIG "CONFIG"
#define IDD_ABOUT "AboutDlg"
#define IDD_ART_FETCH "ARTFETCH"
#define IDI_MIRTHTOOL "REDORODA"

// Menu.
#define IDM_MAIN_MENU 102

// Commands: menu items and the PANEL buttons, which carry the command as their ID.
#define CMD_CREATE_MAIL 1
#define CMD_EXIT 2
#define CMD_ABOUT 3
#define CMD_HOWTO 4
#define CMD_SETTINGS 5
#define CMD_DISPLAY_TEST 105
#define CMD_SHOW_PICTURE 106
#define CMD_CUT 770
#define CMD_COPY 40001
#define CMD_PASTE 40002
#define CMD_DELETE 40003
#define CMD_UNDO 40004
#define CMD_SELECT_ALL 40006

// Mail pane controls.
#define IDC_SUBJECT 1011
#define IDC_DESCRIPTION 1012
#define IDC_BODY 1022
#define IDC_DESCRIPTION_LABEL 1029

// About box controls.
#define IDC_ABOUT_ICON 112
#define IDC_ABOUT_SUMMARY 1031
#define IDC_ABOUT_FRAME 1037
#define IDC_ABOUT_LINE1 104
#define IDC_ABOUT_LINE2 105
#define IDC_ABOUT_LINE3 106
#define IDC_ABOUT_LINE4 107
#define IDC_ABOUT_LINE5 108

// Settings dialog controls.
#define IDC_CONFIG_FRAME 1029
#define IDC_CONFIG_BACKDROP_LABEL 113
#define IDC_CONFIG_CHAR_LABEL 114
#define IDC_CONFIG_NAME_LABEL 115
#define IDC_CONFIG_CHAR2_LABEL 116
#define IDC_CONFIG_NAME2_LABEL 117
#define IDC_CONFIG_MAILSOFT_LABEL 1030
#define IDC_CONFIG_BACKDROP 1032
#define IDC_CONFIG_CHAR 1033
#define IDC_CONFIG_NAME 1034
#define IDC_CONFIG_CHAR2 1035
#define IDC_CONFIG_NAME2 1036
#define IDC_CONFIG_MAILSOFT 1031
#define IDC_CONFIG_ART_FETCH 1040
#define IDC_CONFIG_PREVIEW 1041

// Controls of the window that shows a fetch of art under way.
#define IDC_FETCH_TEXT 1201
#define IDC_FETCH_FILE 1202
#define IDC_FETCH_BAR 1203

// Private window messages of the main window: the end of its set-up after
// creation, the layout again after a change of DPI, and the end of a mail
// handed to the default mail program.
#define MSG_LATE_INIT (WM_USER + 38)
#define MSG_RELAYOUT (WM_USER + 39)
#define MSG_MAPI_MAIL_ENDED (WM_USER + 40)
