// Drives the real MirthTool.exe as a user would: starts it, finds its window
// and fields, sends keys and commands, and reads what it leaves behind.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The folder of the test program, where MirthTool.exe and the stand-in are built.
std::string BuildFolder();

// The program under test runs as a copy in a folder of its own: the platform
// looks in the program's folder first for programs and (under Wine) for
// documents opened by relative name, and the build folder holds both.
std::string ProgramPath();
bool InstallProgram();

// Removes the program's settings key, so a test starts as a first run.
void ClearSettings();

// Values under the program's settings key, read independently of the program.
bool StoredDword(const char* name, DWORD& value);
bool StoredString(const char* name, std::string& value);
void StoreDword(const char* name, DWORD value);
void StoreString(const char* name, const std::string& value);

// Polls `done` until it holds or `timeoutMs` passes.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

class MirthApp {
public:
    ~MirthApp();

    // Runs this copy of the program instead of the one at ProgramPath().
    void UseProgram(const std::string& exe) { exe_ = exe; }

    // Starts the program in `folder` with the show mode the launcher asks for,
    // and waits for its main window and its late initialisation. A Unix
    // locale (LC_ALL), when given, is the system locale Wine gives it.
    bool Start(const std::string& folder, WORD showMode = SW_SHOWNORMAL, const char* unixLocale = nullptr);
    // Starts it and waits for it to end; for starts that must not open a window.
    DWORD StartAndWait(const std::string& folder, DWORD timeoutMs = 10000);

    HWND window() const { return window_; }
    HWND panel() const { return panel_; }
    HWND mail() const { return mail_; }
    HWND Field(int id) const { return GetDlgItem(mail_, id); }
    HANDLE Process() const { return process_.hProcess; }

    // A command as the menu or a button gives it: posted.
    void Post(int command) const;
    // A command run to its end before this returns (no modal window in it).
    void Send(int command) const;
    // A key pressed in `control`: WM_KEYDOWN and WM_KEYUP, as the keyboard
    // gives them; the program's own loop makes the character.
    void PressKey(HWND control, WORD virtualKey, BYTE scanCode) const;

    // What Windows sends when the window moves to a monitor of another
    // scaling: the new DPI and the rectangle it suggests.
    void SendDpiChanged(UINT dpi, const RECT& suggested) const;

    // A click with the left button into `control`.
    void Click(HWND control) const;

    HWND FocusedControl() const;
    // The modal dialog or message box the program shows over its main window.
    HWND WaitForOwnedDialog(DWORD timeoutMs = 5000) const;

    bool Running() const;
    // Closes the window from its frame, as the close box does, and returns
    // the exit code.
    DWORD Close();
    // The exit code, or STILL_ACTIVE when it doesn't end within the time.
    DWORD WaitForExit(DWORD timeoutMs = 10000);

private:
    std::string exe_ = ProgramPath();
    PROCESS_INFORMATION process_ = {};
    HWND window_ = nullptr;
    HWND panel_ = nullptr;
    HWND mail_ = nullptr;
    DWORD thread_ = 0;
};

std::string WindowText(HWND window);
void SetText(HWND window, const std::string& text);
// The text of a message box: its longest static text.
std::string MessageText(HWND box);
// Presses the button `id` of a dialog or message box (IDYES, IDNO, IDOK...).
void PressButton(HWND dialog, int id);
// Presses it and says whether the dialog then closed.
bool PressAndClose(HWND dialog, int id);
RECT WindowRect(HWND window);
// "(left, top)-(right, bottom)", for messages.
std::string Describe(const RECT& rect);
// A child window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND child);
