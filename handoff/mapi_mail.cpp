#include "handoff/mapi_mail.h"

#include <mapi.h>

#include <cstdio>

#include "handoff/mapi_request.h"
#include "handoff/pe_machine.h"
#include "resources/resource.h"
#include "resources/texts.h"

namespace {

const char kHelper64[] = "MirthMapi64.exe";
const char kHelper32[] = "MirthMapi32.exe";
const char kMailClientsKey[] = "Software\\Clients\\Mail";

// The helper under way, and the files it attaches (named in the messages, a
// line each).
struct PendingMail {
    HANDLE process;
    HANDLE wait;
    std::string paths;
};
PendingMail g_pending;

void Tell(HWND owner, const std::string& message)
{
    MessageBoxA(owner, message.c_str(), kMessageCaption, MB_OK | MB_ICONWARNING);
}

void TellNoDefaultMailer(HWND owner, const std::string& paths)
{
    Tell(owner, std::string(kNoDefaultMailer) + kAttachByHand + paths);
}

void TellMailerFailed(HWND owner, DWORD error, const std::string& paths)
{
    // MAPI results and system errors are small numbers; a crash is an exception code.
    char number[16], message[512];
    std::snprintf(number, sizeof number, error > 0xFFFF ? "0x%08lX" : "%lu", static_cast<unsigned long>(error));
    std::snprintf(message, sizeof message, kMailerFailed, number);
    Tell(owner, message + std::string(kAttachByHand) + paths);
}

std::string FullPath(const std::string& path)
{
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? full : path;
}

// A string value under a mail client key; REG_EXPAND_SZ comes expanded.
bool ReadClientValue(HKEY root, REGSAM view, const std::string& subkey, const char* name, char* value)
{
    HKEY key;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = MAX_PATH;
    LONG result = RegGetValueA(key, nullptr, name, RRF_RT_REG_SZ, nullptr, value, &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && value[0] != '\0';
}

// The library of the default mail program, as the system's MAPI32.DLL finds
// it: the client named by the user's or else the machine's default, in
// either registry view, and its DLLPathEx or DLLPath.
bool FindMailLibrary(char* library)
{
    char client[MAX_PATH];
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        if (!ReadClientValue(HKEY_CURRENT_USER, view, kMailClientsKey, nullptr, client) &&
            !ReadClientValue(HKEY_LOCAL_MACHINE, view, kMailClientsKey, nullptr, client))
            continue;
        std::string key = std::string(kMailClientsKey) + "\\" + client;
        return ReadClientValue(HKEY_LOCAL_MACHINE, view, key, "DLLPathEx", library) ||
               ReadClientValue(HKEY_LOCAL_MACHINE, view, key, "DLLPath", library);
    }
    return false;
}

uint16_t LibraryMachine(const char* library)
{
    HANDLE file = CreateFileA(library, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    unsigned char header[kPeHeaderBytes];
    DWORD got = 0;
    ReadFile(file, header, sizeof header, &got, nullptr);
    CloseHandle(file);
    return PeMachine(header, got);
}

// The helper that can load a library of `machine`, beside MirthTool.exe.
bool HelperFor(uint16_t machine, std::string& helper)
{
    char program[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    helper = program;
    helper.erase(helper.find_last_of('\\') + 1);
    helper += machine == kMachineI386 ? kHelper32 : kHelper64;
    return true;
}

// Starts the helper with the request on its standard input. The pipe is made
// to hold the whole request, so writing it never waits for the helper.
bool StartHelper(const std::string& helper, HWND owner, const std::string& request, HANDLE& process)
{
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    HANDLE input, writer;
    if (!CreatePipe(&input, &writer, &inherited, static_cast<DWORD>(request.size())))
        return false;
    SetHandleInformation(writer, HANDLE_FLAG_INHERIT, 0);
    std::string commandLine = "\"" + helper + "\" " + std::to_string(reinterpret_cast<ULONG_PTR>(owner));
    // The helper's own folder as its current directory: the working folder
    // may be a downloads folder, and no library may come from there.
    std::string folder = helper.substr(0, helper.find_last_of('\\') + 1);
    STARTUPINFOA startup = {sizeof startup};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    PROCESS_INFORMATION started;
    bool ok = CreateProcessA(helper.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(),
                             &startup, &started);
    DWORD error = GetLastError();
    CloseHandle(input);
    if (ok) {
        DWORD written;
        WriteFile(writer, request.data(), static_cast<DWORD>(request.size()), &written, nullptr);
        CloseHandle(started.hThread);
        process = started.hProcess;
    }
    CloseHandle(writer);
    SetLastError(error);
    return ok;
}

// Runs on a thread of the system's pool when the helper ends.
VOID CALLBACK OnHelperEnded(PVOID owner, BOOLEAN)
{
    PostMessageA(static_cast<HWND>(owner), MSG_MAPI_MAIL_ENDED, 0, 0);
}

}  // namespace

bool MapiMailPending()
{
    return g_pending.process != nullptr;
}

bool StartMapiMail(HWND owner, const std::vector<std::string>& paths, const std::string& subject,
                   const std::string& text)
{
    MapiRequest mail = {subject, text, {}};
    std::string list;
    for (const std::string& path : paths) {
        std::string full = FullPath(path);
        mail.attachments.push_back({full, full.substr(full.find_last_of('\\') + 1)});
        list += (list.empty() ? "" : "\n") + full;
    }
    // Decided before any call: the system's MAPI32.DLL would show a box of
    // its own for a missing or other-bitness library.
    char library[MAX_PATH];
    uint16_t machine = FindMailLibrary(library) ? LibraryMachine(library) : 0;
    if (machine == 0) {
        TellNoDefaultMailer(owner, list);
        return false;
    }
    std::string helper;
    HANDLE process = nullptr;
    std::string request = EncodeMapiRequest(mail);
    if (!HelperFor(machine, helper) || !StartHelper(helper, owner, request, process)) {
        TellMailerFailed(owner, GetLastError(), list);
        return false;
    }
    HANDLE wait = nullptr;
    if (!RegisterWaitForSingleObject(&wait, process, OnHelperEnded, owner, INFINITE, WT_EXECUTEONLYONCE)) {
        CloseHandle(process);  // the mail goes on; only its outcome can't be reported
        return true;
    }
    g_pending = PendingMail{process, wait, list};
    return true;
}

void FinishMapiMail(HWND owner)
{
    if (!g_pending.process)
        return;
    UnregisterWaitEx(g_pending.wait, INVALID_HANDLE_VALUE);
    DWORD result = 0;
    GetExitCodeProcess(g_pending.process, &result);
    CloseHandle(g_pending.process);
    std::string paths = g_pending.paths;
    g_pending = PendingMail{};
    switch (result) {
    case SUCCESS_SUCCESS:
    case MAPI_USER_ABORT:
        break;
    case kHelperNoMapi:
        TellNoDefaultMailer(owner, paths);
        break;
    default:
        TellMailerFailed(owner, result, paths);
        break;
    }
}
