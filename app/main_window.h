// The main window: the one top-level window, and the state it owns for the run.
#pragma once

#include <windows.h>

#include <string>

#include "settings/settings.h"

const char kMainWindowClass[] = "REDORODA";

struct MainWindow {
    HINSTANCE instance;
    HWND window;
    HWND panel;  // PanelPane: the strip of buttons
    HWND mail;   // MailPane: the description, subject and body fields
    Settings settings;
};

// Registers the window class that backs the main window's dialog template.
bool RegisterMainWindowClass(HINSTANCE instance);

// Creates the main window from its template; null on failure.
HWND CreateMainWindow(HINSTANCE instance);

// Stores the description field's text (at most 1023 bytes) under "Read".
void StoreDescription(const MainWindow& app);

// The whole text of a field of the Mail pane.
std::string FieldText(const MainWindow& app, int id);
