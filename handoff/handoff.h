// The two commands the program exists for: the display test and mail creation.
#pragma once

#include "app/main_window.h"

// Writes the conversation file and opens it with the program associated with
// it (Microsoft Chat); says so when there is none.
void DisplayTest(const MainWindow& app);

// After the user's confirmation, writes the conversation file and prepares a
// mail for the chosen mail program; for OtherMailer, tells the user to attach
// the file from the desktop and ends the program.
void CreateMail(MainWindow& app);
