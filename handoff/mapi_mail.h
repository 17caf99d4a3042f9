// Mail creation through Simple MAPI: the default mail program of today's
// Windows (Thunderbird, Outlook, Becky! 2...) opens a new mail with the
// conversation file attached, as Explorer's "Send to > Mail recipient" does.
// A helper process of the mail library's bitness makes the call, and its end
// is awaited without blocking the window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// True while a mail handed over earlier is still with the mail program.
bool MapiMailPending();

// Hands a mail with `subject`, `text` and the files at `paths` (the
// conversation file, then the pictures) to the default mail program; `owner` owns the mail program's window and gets
// MSG_MAPI_MAIL_ENDED when the mail program is done. False, after telling the
// user why, when no mail could be handed over.
bool StartMapiMail(HWND owner, const std::vector<std::string>& paths, const std::string& subject,
                   const std::string& text);

// On MSG_MAPI_MAIL_ENDED: tells the user if the mail program failed.
void FinishMapiMail(HWND owner);
