// The two child panes of the main window.
#pragma once

#include <windows.h>

// The strip of buttons; it forwards every command to the main window.
HWND CreatePanelPane(HINSTANCE instance, HWND mainWindow);

// The description, subject and body fields; it forwards every command to the
// main window and keeps the body field sized to the pane.
HWND CreateMailPane(HINSTANCE instance, HWND mainWindow);

// Tab or Enter in the subject field moves the focus to the body field.
void SubclassSubjectField(HWND mailPane);
void RestoreSubjectField(HWND mailPane);
