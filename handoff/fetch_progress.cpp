#include "handoff/fetch_progress.h"

#include <commctrl.h>

#include <cstdio>

#include "resources/resource.h"
#include "resources/texts.h"

namespace {

const DWORD kQuietMs = 500;       // a fetch this quick shows no window
const DWORD kRefreshMs = 100;

struct Progress {
    ArtFetch* fetch;
    const std::vector<ArtFetchFile>* files;
};

INT_PTR CALLBACK ProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            CancelArtFetch(reinterpret_cast<Progress*>(GetWindowLongPtrA(dialog, DWLP_USER))->fetch);
            EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

void ShowPosition(HWND dialog, ArtFetch* fetch, const std::vector<ArtFetchFile>& files)
{
    size_t bytes = 0;
    size_t current = ArtFetchPosition(fetch, bytes);
    char line[512] = "";
    if (current < files.size())
        std::snprintf(line, sizeof line, kFetchingArtFile, files[current].fileName.c_str(),
                      static_cast<unsigned long>(bytes / 1024));
    SetDlgItemTextA(dialog, IDC_FETCH_FILE, line);
    SendDlgItemMessageA(dialog, IDC_FETCH_BAR, PBM_SETRANGE32, 0, static_cast<LPARAM>(files.size()));
    SendDlgItemMessageA(dialog, IDC_FETCH_BAR, PBM_SETPOS, current, 0);
}

HWND ShowProgressWindow(HWND owner, Progress& progress)
{
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
    HWND dialog = CreateDialogParamA(instance, IDD_ART_FETCH, owner, ProgressProc,
                                     reinterpret_cast<LPARAM>(&progress));
    if (dialog) {
        ShowPosition(dialog, progress.fetch, *progress.files);
        ShowWindow(dialog, SW_SHOW);
    }
    return dialog;
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
    ArtFetch* fetch = StartArtFetch(files, folder);
    HANDLE done = ArtFetchDone(fetch);
    Progress progress = {fetch, &files};
    bool ownerWasEnabled = !EnableWindow(owner, FALSE);
    DWORD start = GetTickCount();
    HWND dialog = nullptr;
    bool quit = false;
    int quitCode = 0;
    while (done && MsgWaitForMultipleObjects(1, &done, FALSE, kRefreshMs, QS_ALLINPUT) != WAIT_OBJECT_0) {
        RunMessages(dialog, quit, quitCode);
        EnforceArtFetchTimeLimit(fetch);
        if (!dialog && GetTickCount() - start >= kQuietMs) {
            dialog = ShowProgressWindow(owner, progress);
        } else if (dialog) {
            ShowPosition(dialog, fetch, files);
        }
    }
    // The owner comes back before the progress window goes, so it is the
    // window that is activated.
    if (ownerWasEnabled)
        EnableWindow(owner, TRUE);
    if (dialog)
        DestroyWindow(dialog);
    if (quit)
        PostQuitMessage(quitCode);
    return EndArtFetch(fetch);
}
