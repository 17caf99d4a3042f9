// Microsoft Chat without a file association: Chat's modern builds come as a
// zip with no installer, so nothing registers ".ccc". The user chooses
// CChat.exe once; the program remembers it under "ChatPath".
#pragma once

#include <windows.h>

// Opens the conversation file at `path` with the remembered Chat program, or
// asks the user to choose it; tells the user where Chat is to be had when
// there is none.
void OpenWithChosenChat(HWND owner, const char* path);
