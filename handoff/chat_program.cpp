#include "handoff/chat_program.h"

#include <commdlg.h>

#include <string>

#include "handoff/format_fits.h"
#include "resources/texts.h"
#include "settings/settings_store.h"

namespace {

// Two quoted paths of at most MAX_PATH bytes each, a blank between them.
const size_t kChatCommandLineCapacity = 2 * MAX_PATH + 8;

bool IsFile(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void Tell(HWND owner, const std::string& message, UINT icon)
{
    MessageBoxA(owner, message.c_str(), kMessageCaption, MB_OK | icon);
}

// The platform's file-open dialog, filtered to CChat.exe and to programs.
// It must not change the current directory: that is the working folder.
bool ChooseChatProgram(HWND owner, char* chat)
{
    chat[0] = '\0';
    OPENFILENAMEA dialog = {sizeof dialog};
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kChatProgramFilter;
    dialog.lpstrFile = chat;
    dialog.nMaxFile = kChatPathCapacity;
    dialog.lpstrTitle = kChooseChatTitle;
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                   OFN_DONTADDTORECENT;
    return GetOpenFileNameA(&dialog) && IsFile(chat);
}

bool FullPath(const char* path, char* full)
{
    DWORD length = GetFullPathNameA(path, MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH;
}

// Starts Chat by its full quoted path with the file's full path as its one
// argument, in Chat's own folder: Chat finds its ComicArt folder beside it.
bool StartChat(const char* chosen, const char* path)
{
    char chat[MAX_PATH], file[MAX_PATH], commandLine[kChatCommandLineCapacity];
    if (!FullPath(chosen, chat) || !FullPath(path, file) ||
        !FormatFits(commandLine, sizeof commandLine, "\"%s\" \"%s\"", chat, file))
        return false;
    std::string folder = chat;
    folder.erase(folder.find_last_of('\\') + 1);
    STARTUPINFOA startup = {sizeof startup};
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(chat, commandLine, nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace

void OpenWithChosenChat(HWND owner, const char* path)
{
    char chat[kChatPathCapacity] = "";
    ReadString(kValueChatPath, chat, kChatPathCapacity);
    if (!IsFile(chat)) {
        bool chosen = MessageBoxA(owner, kAskForChatProgram, kMessageCaption, MB_YESNO | MB_ICONQUESTION) == IDYES &&
                      ChooseChatProgram(owner, chat);
        if (!chosen) {
            Tell(owner, std::string(kChatNeeded) + kConversationWrittenTo + path + kWhereChatIs, MB_ICONINFORMATION);
            return;
        }
        WriteString(kValueChatPath, chat);
    }
    if (!StartChat(chat, path))
        Tell(owner, kCannotStartChat + std::string(chat) + "\n" + kConversationWrittenTo + path, MB_ICONERROR);
}
