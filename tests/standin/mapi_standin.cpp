// Stands in for the default mail program's Simple MAPI library in the tests,
// registered under HKLM\Software\Clients\Mail; built for x86-64 and i686.
// Each call of MAPISendMail or MAPISendMailW writes <MIRTH_MAPI_LOG>\mapi-call.txt,
// one "name TAB value" line per field with every value in hex:
//   entry (A or W), bits, subject, text (Shift-JIS), recipients, files, path,
//   name, position, flags, owner, session, attachment (the file's bytes at the call);
//   for a second file and on: path2, name2, position2, attachment2, path3...
// and then does what MIRTH_MAPI_RESULT says: "success", "abort" (the user
// cancelled), "failure", "block" (returns only once <log>\release exists) or
// "crash".
#include <windows.h>

#include <string>

#include "handoff/mapi_wide.h"

namespace {

std::string Environment(const char* name)
{
    char value[MAX_PATH] = "";
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? value : "";
}

std::string Hex(const std::string& bytes)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char byte : bytes) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 15];
    }
    return hex;
}

std::string Narrow(const WCHAR* text)
{
    if (!text)
        return "(null)";
    int length = WideCharToMultiByte(932, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(length > 0 ? length : 1, '\0');
    WideCharToMultiByte(932, 0, text, -1, &bytes[0], length, nullptr, nullptr);
    bytes.resize(bytes.size() - 1);
    return bytes;
}

std::string Narrow(const char* text)
{
    return text ? text : "(null)";
}

std::string FileBytes(const std::string& path)
{
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "(no file)";
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

template <typename Message>
ULONG Record(const char* entry, LHANDLE session, ULONG_PTR owner, Message* message, FLAGS flags)
{
    std::string log = Environment("MIRTH_MAPI_LOG");
    std::string path = message->nFileCount ? Narrow(message->lpFiles[0].lpszPathName) : "";
    std::string lines;
    auto add = [&](const char* name, const std::string& value) { lines += std::string(name) + "\t" + Hex(value) + "\r\n"; };
    add("entry", entry);
    add("bits", std::to_string(sizeof(void*) * 8));
    add("subject", Narrow(message->lpszSubject));
    add("text", Narrow(message->lpszNoteText));
    add("recipients", std::to_string(message->nRecipCount));
    add("files", std::to_string(message->nFileCount));
    add("path", path);
    add("name", message->nFileCount ? Narrow(message->lpFiles[0].lpszFileName) : "");
    add("position", message->nFileCount ? std::to_string(message->lpFiles[0].nPosition) : "");
    add("flags", std::to_string(flags));
    add("owner", std::to_string(owner));
    add("session", std::to_string(session));
    add("attachment", FileBytes(path));
    for (ULONG i = 1; i < message->nFileCount; ++i) {
        std::string n = std::to_string(i + 1), more = Narrow(message->lpFiles[i].lpszPathName);
        add(("path" + n).c_str(), more);
        add(("name" + n).c_str(), Narrow(message->lpFiles[i].lpszFileName));
        add(("position" + n).c_str(), std::to_string(message->lpFiles[i].nPosition));
        add(("attachment" + n).c_str(), FileBytes(more));
    }
    // Written whole under another name first: the test reads it as soon as it appears.
    std::string record = log + "\\mapi-call.txt", partial = record + ".part";
    HANDLE file = CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(file, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
    CloseHandle(file);
    MoveFileExA(partial.c_str(), record.c_str(), MOVEFILE_REPLACE_EXISTING);

    std::string result = Environment("MIRTH_MAPI_RESULT");
    if (result == "abort")
        return MAPI_USER_ABORT;
    if (result == "failure")
        return MAPI_E_FAILURE;
    if (result == "crash")
        *static_cast<volatile int*>(nullptr) = 1;
    if (result == "block")
        for (int i = 0; i < 1200 && GetFileAttributesA((log + "\\release").c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
            Sleep(50);
    return SUCCESS_SUCCESS;
}

}  // namespace

extern "C" __declspec(dllexport) ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR owner, lpMapiMessage message,
                                                            FLAGS flags, ULONG)
{
    return Record("A", session, owner, message, flags);
}

extern "C" __declspec(dllexport) ULONG WINAPI MAPISendMailW(LHANDLE session, ULONG_PTR owner, MapiMessageW* message,
                                                             FLAGS flags, ULONG)
{
    return Record("W", session, owner, message, flags);
}
