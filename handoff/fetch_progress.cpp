#include "handoff/fetch_progress.h"

#include <commctrl.h>

#include <cstdio>

#include "resources/resource.h"
#include "resources/texts.h"

namespace {

const DWORD kQuietMs = 500;         // a fetch this quick shows no window
const DWORD kRefreshMs = 100;
const DWORD kFileTimeLimitMs = 15000;

// The fetch under way, as the progress window shows it.
struct Progress {
    const std::vector<ArtFetchFile>* files;
    size_t current = 0;
    ArtDownload* download = nullptr;
    bool cancelled = false;
    HWND window = nullptr;
};

INT_PTR CALLBACK ProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            reinterpret_cast<Progress*>(GetWindowLongPtrA(dialog, DWLP_USER))->cancelled = true;
            EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

void ShowPosition(const Progress& progress)
{
    char line[512] = "";
    const std::vector<ArtFetchFile>& files = *progress.files;
    if (progress.download)
        std::snprintf(line, sizeof line, kFetchingArtFile, files[progress.current].fileName.c_str(),
                      static_cast<unsigned long>(ArtDownloadBytes(progress.download) / 1024));
    SetDlgItemTextA(progress.window, IDC_FETCH_FILE, line);
    SendDlgItemMessageA(progress.window, IDC_FETCH_BAR, PBM_SETRANGE32, 0, static_cast<LPARAM>(files.size()));
    SendDlgItemMessageA(progress.window, IDC_FETCH_BAR, PBM_SETPOS, progress.current, 0);
}

void ShowProgressWindow(HWND owner, Progress& progress)
{
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
    progress.window =
        CreateDialogParamA(instance, IDD_ART_FETCH, owner, ProgressProc, reinterpret_cast<LPARAM>(&progress));
    if (progress.window) {
        ShowPosition(progress);
        ShowWindow(progress.window, SW_SHOW);
    }
}

// Dispatches what is waiting; a WM_QUIT is kept for the program's own loop.
void RunMessages(HWND dialog, bool& quit, int& quitCode)
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            quitCode = static_cast<int>(message.wParam);
            continue;
        }
        if (dialog && IsDialogMessageA(dialog, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace

std::vector<ArtFetchFile> FetchArtFiles(HWND owner, const std::vector<ArtFetchFile>& files, const std::string& folder)
{
    std::vector<ArtFetchFile> outcome = files;
    Progress progress;
    progress.files = &files;
    bool ownerWasEnabled = !EnableWindow(owner, FALSE);
    DWORD start = GetTickCount();
    bool quit = false;
    int quitCode = 0;
    for (; progress.current < files.size(); ++progress.current) {
        ArtFetchFile& file = outcome[progress.current];
        if (progress.cancelled) {
            file.error = kArtFetchCancelled;
            continue;
        }
        progress.download = StartArtDownload(file, folder);
        HANDLE ended = ArtDownloadEnded(progress.download);
        DWORD fileStart = GetTickCount();
        const char* reason = nullptr;
        while (ended && MsgWaitForMultipleObjects(1, &ended, FALSE, kRefreshMs, QS_ALLINPUT) != WAIT_OBJECT_0) {
            RunMessages(progress.window, quit, quitCode);
            if (progress.cancelled) {
                reason = kArtFetchCancelled;
                break;
            }
            if (GetTickCount() - fileStart >= kFileTimeLimitMs) {
                reason = kArtFetchTimedOut;
                break;
            }
            if (!progress.window && GetTickCount() - start >= kQuietMs)
                ShowProgressWindow(owner, progress);
            else if (progress.window)
                ShowPosition(progress);
        }
        EndArtDownload(progress.download, file, reason ? reason : kArtFetchCancelled);
        progress.download = nullptr;
    }
    // The owner comes back before the progress window goes, so it is the
    // window that is activated.
    if (ownerWasEnabled)
        EnableWindow(owner, TRUE);
    if (progress.window)
        DestroyWindow(progress.window);
    if (quit)
        PostQuitMessage(quitCode);
    return outcome;
}
