// MirthTool's Simple MAPI helper: hands one mail to the default mail program,
// in a process of its own, so that a mail library that crashes or hangs never
// takes down the window that holds the user's text. MirthTool starts the
// helper of the mail library's bitness (MirthMapi64.exe or MirthMapi32.exe):
//   MirthMapi64.exe OWNER
// OWNER is the main window's handle in decimal; the mail's texts and its
// attachments come on standard input (mapi_request.h). The exit code is the
// result of MAPISendMail, or kHelperNoMapi / kHelperBadRequest.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "handoff/mapi_request.h"
#include "handoff/mapi_wide.h"

namespace {

const UINT kShiftJis = 932;

std::string ReadAll(HANDLE input)
{
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(input, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    return bytes;
}

// Exact conversion of a Shift-JIS text; false for bytes that are no Shift-JIS.
bool Widen(const std::string& text, std::wstring& wide)
{
    wide.clear();
    if (text.empty())
        return true;
    int length = MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                                     nullptr, 0);
    if (length <= 0)
        return false;
    wide.resize(length);
    return MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), &wide[0],
                               length) == length;
}

// An entry of the MAPI library, of its declared type.
template <typename Function>
Function Entry(HMODULE mapi, const char* name)
{
    // Through a plain function pointer: FARPROC's type is no function's own.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(mapi, name)));
}

const FLAGS kFlags = MAPI_DIALOG | MAPI_LOGON_UI;  // the user finishes the mail; the client may ask to log on

// Through MAPISendMailW, which carries the texts whatever the system's code
// page is; false (and no call) when the library lacks it or a text isn't Shift-JIS.
bool SendWide(HMODULE mapi, ULONG_PTR owner, MapiRequest& request, ULONG& result)
{
    MapiSendMailW send = Entry<MapiSendMailW>(mapi, "MAPISendMailW");
    std::wstring subject, text;
    size_t count = request.attachments.size();
    std::vector<std::wstring> paths(count), names(count);
    if (!send || !Widen(request.subject, subject) || !Widen(request.text, text))
        return false;
    std::vector<MapiFileDescW> files(count);
    for (size_t i = 0; i < count; ++i) {
        if (!Widen(request.attachments[i].path, paths[i]) || !Widen(request.attachments[i].name, names[i]))
            return false;
        files[i] = {0, 0, static_cast<ULONG>(-1), &paths[i][0], &names[i][0], nullptr};
    }
    MapiMessageW message = {};
    message.lpszSubject = &subject[0];
    message.lpszNoteText = &text[0];
    message.nFileCount = static_cast<ULONG>(count);
    message.lpFiles = count ? files.data() : nullptr;
    result = send(0, owner, &message, kFlags, 0);
    return true;
}

// Through MAPISendMail, with the Shift-JIS bytes as they are.
bool SendAnsi(HMODULE mapi, ULONG_PTR owner, MapiRequest& request, ULONG& result)
{
    LPMAPISENDMAIL send = Entry<LPMAPISENDMAIL>(mapi, "MAPISendMail");
    if (!send)
        return false;
    std::vector<MapiFileDesc> files;
    for (MapiAttachment& attachment : request.attachments)
        files.push_back({0, 0, static_cast<ULONG>(-1), &attachment.path[0], &attachment.name[0], nullptr});
    MapiMessage message = {};
    message.lpszSubject = &request.subject[0];
    message.lpszNoteText = &request.text[0];
    message.nFileCount = static_cast<ULONG>(files.size());
    message.lpFiles = files.empty() ? nullptr : files.data();
    result = send(0, owner, &message, kFlags, 0);
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    // A crash ends this process quietly; MirthTool reports it.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    // Libraries that the mail library loads are never taken from the current directory.
    SetDllDirectoryA("");
    ULONG_PTR owner = static_cast<ULONG_PTR>(std::strtoull(commandLine, nullptr, 10));
    MapiRequest request;
    if (!DecodeMapiRequest(ReadAll(GetStdHandle(STD_INPUT_HANDLE)), request))
        return kHelperBadRequest;
    // The system's MAPI32.DLL only: it dispatches to the default mail program's library.
    HMODULE mapi = LoadLibraryExA("MAPI32.DLL", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    ULONG result = 0;
    if (!mapi || !(SendWide(mapi, owner, request, result) || SendAnsi(mapi, owner, request, result)))
        return kHelperNoMapi;
    return static_cast<int>(result);
}
