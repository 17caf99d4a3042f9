// The command table: menu items and PANEL buttons.
#pragma once

#include "app/main_window.h"

// Runs the command; false for an ID that is not a command (the caller passes
// the message on to the default window procedure).
bool DispatchCommand(MainWindow& app, WORD command);
