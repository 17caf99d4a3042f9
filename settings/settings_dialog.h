// The settings dialog ("基本設定"): backdrop, characters, names, mail program.
#pragma once

#include <windows.h>

#include "settings/settings.h"

// Opens the dialog over `owner`. On OK, `settings` takes the new values and
// each is stored; Cancel changes nothing.
void ShowSettingsDialog(HINSTANCE instance, HWND owner, Settings& settings);
