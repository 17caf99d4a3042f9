// The two commands the program exists for: the display test and mail creation.
// They take what they need from the main window (its handle as the owner of
// their messages, the settings and the texts typed) and tell it what to do
// afterwards; they never reach into the window themselves.
#pragma once

#include <windows.h>

#include <string>

#include "settings/settings.h"

// The texts of the Mail pane at the moment of the command.
struct MailTexts {
    std::string subject;
    std::string description;
    std::string body;
};

// What the main window does once mail creation has handed the mail over.
enum class AfterMail {
    Nothing,
    StoreDescription,
    StoreDescriptionAndClose,
};

// Writes the conversation file from `body`, and its strip as pictures beside
// it, and opens it with the program associated with it (Microsoft Chat); says
// so when there is none.
void DisplayTest(HWND owner, const Settings& settings, const std::string& body);

// Writes the conversation file and its strip as pictures (Mirth.png...) into
// the display test's folder and opens the first picture with the shell's
// program for pictures; names the missing art when no picture could be made.
void ShowStripPicture(HWND owner, const Settings& settings, const std::string& body);

// After the user's confirmation, writes the conversation file and its
// pictures and prepares a mail for the chosen mail program; for OtherMailer,
// tells the user to attach the files from the desktop.
AfterMail CreateMail(HWND owner, const Settings& settings, const MailTexts& texts);
