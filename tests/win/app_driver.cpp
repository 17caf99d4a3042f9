#include "tests/win/app_driver.h"

#include <gtest/gtest.h>

#include "settings/settings.h"
#include "tests/win/standins.h"

std::string BuildFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string ProgramPath()
{
    return "C:\\mirth-program\\MirthTool.exe";
}

bool InstallProgram()
{
    CreateDirectoryA("C:\\mirth-program", nullptr);
    for (const char* file : {"MirthTool.exe", "MirthMapi64.exe", "MirthMapi32.exe"})
        if (!CopyFileA((BuildFolder() + "\\" + file).c_str(), (std::string("C:\\mirth-program\\") + file).c_str(),
                       FALSE))
            return false;
    return true;
}

namespace {

// Once per test program: the program and the stand-ins in place. The test
// program is per-monitor DPI aware, as the program is: Wine, like Windows,
// gives a program that is not aware the rectangles of other programs'
// windows scaled to 96 dpi.
class TestBed : public testing::Environment {
public:
    void SetUp() override
    {
        SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
        ASSERT_TRUE(InstallProgram());
        InstallStandIns();
    }
};

testing::Environment* const g_testBed = testing::AddGlobalTestEnvironment(new TestBed);

}  // namespace

void ClearSettings()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
}

bool StoredDword(const char* name, DWORD& value)
{
    DWORD size = sizeof value;
    return RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) ==
           ERROR_SUCCESS;
}

bool StoredString(const char* name, std::string& value)
{
    char buffer[4096];
    DWORD size = sizeof buffer;
    if (RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return false;
    value = buffer;
    return true;
}

void StoreDword(const char* name, DWORD value)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, name, REG_DWORD, &value, sizeof value);
}

void StoreString(const char* name, const std::string& value)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, name, REG_SZ, value.c_str(),
                    static_cast<DWORD>(value.size() + 1));
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() > end)
            return false;
        Sleep(20);
    }
    return true;
}

namespace {

bool HasClass(HWND window, const char* name)
{
    char className[64];
    return GetClassNameA(window, className, sizeof className) && std::string(className) == name;
}

// The first top-level window that `matches`, waiting for one up to `timeoutMs`.
HWND WaitForTopLevel(const std::function<bool(HWND)>& matches, DWORD timeoutMs)
{
    struct Search {
        const std::function<bool(HWND)>* matches;
        HWND found;
    } search = {&matches, nullptr};
    WaitUntil([&] {
        EnumWindows(
            [](HWND window, LPARAM context) -> BOOL {
                Search* search = reinterpret_cast<Search*>(context);
                if (!(*search->matches)(window))
                    return TRUE;
                search->found = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    }, timeoutMs);
    return search.found;
}

// The child dialog of the main window that holds control `id`.
HWND PaneWith(HWND window, int id)
{
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgItem(child, id))
            return child;
    return nullptr;
}

// Wine builds a new process's Unix environment from its Windows one, so a
// Unix locale set here reaches the program (and what it starts).
bool CreateProgram(const std::string& exe, const std::string& folder, WORD showMode, PROCESS_INFORMATION& process,
                   const char* unixLocale = nullptr)
{
    char previous[64] = "";
    bool hadLocale = GetEnvironmentVariableA("LC_ALL", previous, sizeof previous) > 0;
    if (unixLocale)
        SetEnvironmentVariableA("LC_ALL", unixLocale);
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup = {sizeof startup};
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showMode;
    bool started = CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                  folder.c_str(), &startup, &process);
    if (unixLocale)
        SetEnvironmentVariableA("LC_ALL", hadLocale ? previous : nullptr);
    return started;
}

}  // namespace

MirthApp::~MirthApp()
{
    if (!process_.hProcess)
        return;
    if (Running()) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
}

bool MirthApp::Start(const std::string& folder, WORD showMode, const char* unixLocale)
{
    if (FindWindowA("REDORODA", nullptr)) {
        ADD_FAILURE() << "a MirthTool window is still open from an earlier test";
        return false;
    }
    if (!CreateProgram(exe_, folder, showMode, process_, unixLocale)) {
        ADD_FAILURE() << "MirthTool.exe did not start: error " << GetLastError();
        return false;
    }
    WaitForInputIdle(process_.hProcess, 10000);
    window_ = WaitForTopLevel([&](HWND window) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        return process == process_.dwProcessId && HasClass(window, "REDORODA");
    }, 10000);
    if (!window_) {
        ADD_FAILURE() << "no main window";
        return false;
    }
    thread_ = GetWindowThreadProcessId(window_, nullptr);
    // The window may be found while it is still creating its panes; the late
    // initialisation has run once the description is filled in.
    bool ready = WaitUntil([&] {
        panel_ = PaneWith(window_, 105);
        mail_ = PaneWith(window_, 1022);
        return panel_ && mail_ && !WindowText(Field(1012)).empty();
    }, 10000);
    if (!ready) {
        ADD_FAILURE() << "no description: panel " << panel_ << ", mail " << mail_;
        return false;
    }
    return true;
}

DWORD MirthApp::StartAndWait(const std::string& folder, DWORD timeoutMs)
{
    if (!CreateProgram(exe_, folder, SW_SHOWNORMAL, process_))
        return STILL_ACTIVE;
    return WaitForExit(timeoutMs);
}

void MirthApp::Post(int command) const
{
    PostMessageA(window_, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void MirthApp::Send(int command) const
{
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void MirthApp::PressKey(HWND control, WORD virtualKey, BYTE scanCode) const
{
    // The keyboard state of the program's thread must know the key is down
    // for TranslateMessage; lParam carries repeat count 1 and the scan code.
    LPARAM down = 1 | (static_cast<LPARAM>(scanCode) << 16);
    LPARAM up = down | (1 << 30) | (static_cast<LPARAM>(1) << 31);
    PostMessageA(control, WM_KEYDOWN, virtualKey, down);
    PostMessageA(control, WM_KEYUP, virtualKey, up);
}

void MirthApp::Click(HWND control) const
{
    PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

void MirthApp::SendDpiChanged(UINT dpi, const RECT& suggested) const
{
    // The suggested rectangle travels by pointer, so it is placed in the
    // program's memory.
    void* remote = VirtualAllocEx(process_.hProcess, nullptr, sizeof suggested, MEM_COMMIT, PAGE_READWRITE);
    ASSERT_TRUE(remote);
    ASSERT_TRUE(WriteProcessMemory(process_.hProcess, remote, &suggested, sizeof suggested, nullptr));
    SendMessageA(window_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote));
    VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
}

HWND MirthApp::FocusedControl() const
{
    GUITHREADINFO info = {sizeof info};
    GetGUIThreadInfo(thread_, &info);
    return info.hwndFocus;
}

HWND MirthApp::WaitForOwnedDialog(DWORD timeoutMs) const
{
    return WaitForTopLevel([&](HWND window) {
        return GetWindow(window, GW_OWNER) == window_ && IsWindowVisible(window) && HasClass(window, "#32770");
    }, timeoutMs);
}

bool MirthApp::Running() const
{
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD MirthApp::Close()
{
    PostMessageA(window_, WM_CLOSE, 0, 0);
    return WaitForExit();
}

DWORD MirthApp::WaitForExit(DWORD timeoutMs)
{
    if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

// GetWindowText doesn't read the text of another program's controls; the
// messages do.
std::string WindowText(HWND window)
{
    LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(length + 1, '\0');
    text.resize(SendMessageA(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0])));
    return text;
}

void SetText(HWND window, const std::string& text)
{
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

RECT WindowRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

std::string Describe(const RECT& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + ")";
}

RECT RectInParent(HWND child)
{
    RECT rect = WindowRect(child);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

namespace {

BOOL CALLBACK CollectLongestStatic(HWND child, LPARAM context)
{
    std::string* longest = reinterpret_cast<std::string*>(context);
    char className[64];
    if (GetClassNameA(child, className, sizeof className) && lstrcmpiA(className, "Static") == 0) {
        std::string text = WindowText(child);
        if (text.size() > longest->size())
            *longest = text;
    }
    return TRUE;
}

}  // namespace

std::string MessageText(HWND box)
{
    std::string longest;
    EnumChildWindows(box, CollectLongestStatic, reinterpret_cast<LPARAM>(&longest));
    return longest;
}

void PressButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool PressAndClose(HWND dialog, int id)
{
    PressButton(dialog, id);
    return WaitUntil([&] { return !IsWindow(dialog); });
}
