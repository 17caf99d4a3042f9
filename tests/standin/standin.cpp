// Stands in for an outside program in the tests: Microsoft Chat (the ".ccc"
// association), the mail program ("mailto:"), Becky!, the script runner and
// the browser. Each start appends one line to <MIRTH_STANDIN_LOG>\starts.txt:
//   name TAB milliseconds TAB command line TAB current folder TAB copy TAB value TAB code page
// where name is the stand-in's own file name, copy is the file name, in the
// log folder, of a copy of <MIRTH_STANDIN_WATCH> taken at the start ("-" if
// there was no such file), and value is "+" if the registry value
// HKCU\<MIRTH_STANDIN_WATCH_KEY>\<MIRTH_STANDIN_WATCH_VALUE> existed at the
// start, "-" if not, and code page is its ANSI code page. Then it ends with
// exit code 0.
#include <windows.h>

#include <string>

namespace {

std::string Environment(const char* name)
{
    char value[MAX_PATH] = "";
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? value : "";
}

std::string OwnName()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string name = path;
    name = name.substr(name.find_last_of('\\') + 1);
    return name.substr(0, name.rfind('.'));
}

void Append(const std::string& path, const std::string& line)
{
    // Another stand-in may be writing at the same moment; try again briefly.
    for (int attempt = 0; attempt < 100; ++attempt) {
        HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written;
            WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            CloseHandle(file);
            return;
        }
        Sleep(10);
    }
}

}  // namespace

int main()
{
    std::string log = Environment("MIRTH_STANDIN_LOG");
    if (log.empty())
        return 0;
    std::string copy = "-";
    std::string watched = Environment("MIRTH_STANDIN_WATCH");
    if (!watched.empty() && GetFileAttributesA(watched.c_str()) != INVALID_FILE_ATTRIBUTES) {
        copy = "copy-" + std::to_string(GetCurrentProcessId()) + ".ccc";
        if (!CopyFileA(watched.c_str(), (log + "\\" + copy).c_str(), FALSE))
            copy = "-";
    }
    bool valueExists = RegGetValueA(HKEY_CURRENT_USER, Environment("MIRTH_STANDIN_WATCH_KEY").c_str(),
                                    Environment("MIRTH_STANDIN_WATCH_VALUE").c_str(), RRF_RT_ANY, nullptr,
                                    nullptr, nullptr) == ERROR_SUCCESS;
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof folder, folder);
    Append(log + "\\starts.txt", OwnName() + "\t" + std::to_string(GetTickCount64()) + "\t" + GetCommandLineA() +
                                     "\t" + folder + "\t" + copy + "\t" + (valueExists ? "+" : "-") + "\t" +
                                     std::to_string(GetACP()) + "\r\n");
    return 0;
}
