#include "chatart/art_download.h"

#include <shlobj.h>
#include <winhttp.h>

#include <cstdint>
#include <cstdio>

#include "chatart/art_folders.h"
#include "chatart/fetched_art.h"
#include "resources/texts.h"

struct ArtFetch {
    std::vector<ArtFetchFile> files;
    std::string folder;
    HANDLE thread = nullptr;
    CRITICAL_SECTION lock;
    // Shared with the waiting thread, under the lock:
    size_t current = 0;
    size_t bytes = 0;
    DWORD started = 0;             // tick count at the start of the current file
    HINTERNET request = nullptr;   // the current request, closed to abort it
    bool cancelled = false;
    bool timedOut = false;
};

namespace {

const DWORD kFileTimeLimitMs = 15000;
const size_t kReadChunk = 16384;

std::wstring Wide(const std::string& text)
{
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], length);
    wide.resize(wide.size() - 1);
    return wide;
}

std::string Format(const char* format, unsigned long number)
{
    char text[256];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

// Closing the request from the waiting thread makes the worker's blocking
// WinHTTP call return; only one side closes it.
void AbortRequest(ArtFetch& fetch)
{
    if (fetch.request) {
        WinHttpCloseHandle(fetch.request);
        fetch.request = nullptr;
    }
}

bool Stopped(ArtFetch& fetch, std::string& error)
{
    EnterCriticalSection(&fetch.lock);
    bool stopped = fetch.cancelled || fetch.timedOut;
    if (stopped)
        error = fetch.cancelled ? kArtFetchCancelled : kArtFetchTimedOut;
    LeaveCriticalSection(&fetch.lock);
    return stopped;
}

// The reason a WinHTTP call failed: the abort from the waiting thread, or the
// system's error.
std::string Failure(ArtFetch& fetch)
{
    DWORD code = GetLastError();
    std::string error;
    if (Stopped(fetch, error))
        return error;
    return Format(kArtFetchNetworkError, code);
}

bool Receive(ArtFetch& fetch, HINTERNET request, std::vector<uint8_t>& bytes, std::string& error)
{
    for (;;) {
        size_t old = bytes.size();
        // One byte more than allowed shows a file that is too large.
        if (old > kMaxFetchedArtBytes) {
            error = kArtFetchTooLarge;
            return false;
        }
        bytes.resize(old + kReadChunk);
        DWORD read = 0;
        if (!WinHttpReadData(request, bytes.data() + old, kReadChunk, &read)) {
            error = Failure(fetch);
            return false;
        }
        bytes.resize(old + read);
        EnterCriticalSection(&fetch.lock);
        fetch.bytes = bytes.size();
        LeaveCriticalSection(&fetch.lock);
        if (read == 0)
            return true;
    }
}

bool Download(ArtFetch& fetch, HINTERNET session, const std::string& url, std::vector<uint8_t>& bytes,
              std::string& error)
{
    std::wstring wideUrl = Wide(url);
    URL_COMPONENTS parts = {sizeof parts};
    parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(wideUrl.c_str(), 0, 0, &parts)) {
        error = kArtFetchBadAddress;
        return false;
    }
    std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength + parts.dwExtraInfoLength);
    HINTERNET connection = WinHttpConnect(session, host.c_str(), parts.nPort, 0);
    if (!connection) {
        error = Failure(fetch);
        return false;
    }
    DWORD secure = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
    HINTERNET request = WinHttpOpenRequest(connection, L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                           WINHTTP_DEFAULT_ACCEPT_TYPES, secure);
    bool ok = false;
    if (!request) {
        error = Failure(fetch);
    } else {
        EnterCriticalSection(&fetch.lock);
        fetch.request = request;
        LeaveCriticalSection(&fetch.lock);
        WinHttpSetTimeouts(request, kFileTimeLimitMs, kFileTimeLimitMs, kFileTimeLimitMs, kFileTimeLimitMs);
        DWORD status = 0, size = sizeof status;
        if (!WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
            !WinHttpReceiveResponse(request, nullptr) ||
            !WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                 WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
            error = Failure(fetch);
        else if (status != 200)
            error = Format(kArtFetchHttpStatus, status);
        else
            ok = Receive(fetch, request, bytes, error);
        EnterCriticalSection(&fetch.lock);
        AbortRequest(fetch);
        LeaveCriticalSection(&fetch.lock);
    }
    WinHttpCloseHandle(connection);
    return ok;
}

// Written as a temporary file in the target folder, then renamed: Chat never
// sees half a file, and an existing file is never replaced.
bool Store(const std::string& folder, const std::string& fileName, const std::vector<uint8_t>& bytes,
           std::string& error)
{
    char temporary[MAX_PATH];
    if (!GetTempFileNameA(folder.c_str(), "art", 0, temporary)) {
        error = Format(kArtFetchCannotWrite, GetLastError());
        return false;
    }
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool ok = file != INVALID_HANDLE_VALUE &&
              WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    if (file != INVALID_HANDLE_VALUE)
        ok = CloseHandle(file) && ok;
    std::string target = folder + "\\" + fileName;
    if (ok && MoveFileExA(temporary, target.c_str(), MOVEFILE_WRITE_THROUGH))
        return true;
    DWORD code = GetLastError();
    DeleteFileA(temporary);
    if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS)
        return true;  // it came meanwhile; the one there stays
    error = Format(kArtFetchCannotWrite, code);
    return false;
}

HINTERNET OpenSession()
{
    // The automatic proxy (Windows 8.1 and later) follows the system's proxy
    // settings; older systems take WinHTTP's own.
    HINTERNET session = WinHttpOpen(L"MirthTool", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                                    WINHTTP_NO_PROXY_BYPASS, 0);
    if (!session)
        session = WinHttpOpen(L"MirthTool", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                              WINHTTP_NO_PROXY_BYPASS, 0);
    return session;
}

void FetchOne(ArtFetch& fetch, HINTERNET session, ArtFetchFile& file)
{
    std::vector<uint8_t> bytes;
    if (Stopped(fetch, file.error))
        return;
    if (!Download(fetch, session, file.url, bytes, file.error))
        return;
    std::string detail;
    if (!CheckFetchedArt(file.fileName, bytes, detail)) {
        file.error = kArtFetchBroken + detail;
        return;
    }
    file.arrived = Store(fetch.folder, file.fileName, bytes, file.error);
}

DWORD WINAPI FetchFiles(void* parameter)
{
    ArtFetch& fetch = *static_cast<ArtFetch*>(parameter);
    HINTERNET session = OpenSession();
    for (size_t i = 0; i < fetch.files.size(); ++i) {
        EnterCriticalSection(&fetch.lock);
        fetch.current = i;
        fetch.bytes = 0;
        fetch.started = GetTickCount();
        fetch.timedOut = false;
        LeaveCriticalSection(&fetch.lock);
        if (session)
            FetchOne(fetch, session, fetch.files[i]);
        else
            fetch.files[i].error = Format(kArtFetchNetworkError, GetLastError());
    }
    EnterCriticalSection(&fetch.lock);
    fetch.current = fetch.files.size();
    LeaveCriticalSection(&fetch.lock);
    if (session)
        WinHttpCloseHandle(session);
    return 0;
}

bool CanMakeFiles(const std::string& folder)
{
    char probe[MAX_PATH];
    if (folder.empty() || !GetTempFileNameA(folder.c_str(), "art", 0, probe))
        return false;
    DeleteFileA(probe);
    return true;
}

}  // namespace

ArtFetch* StartArtFetch(const std::vector<ArtFetchFile>& files, const std::string& folder)
{
    ArtFetch* fetch = new ArtFetch;
    fetch->files = files;
    fetch->folder = folder;
    InitializeCriticalSection(&fetch->lock);
    fetch->thread = CreateThread(nullptr, 0, FetchFiles, fetch, 0, nullptr);
    if (!fetch->thread)
        FetchFiles(fetch);  // no thread: fetched here, with the window waiting
    return fetch;
}

HANDLE ArtFetchDone(const ArtFetch* fetch)
{
    return fetch->thread;
}

size_t ArtFetchPosition(ArtFetch* fetch, size_t& bytes)
{
    EnterCriticalSection(&fetch->lock);
    size_t current = fetch->current;
    bytes = fetch->bytes;
    LeaveCriticalSection(&fetch->lock);
    return current;
}

void EnforceArtFetchTimeLimit(ArtFetch* fetch)
{
    EnterCriticalSection(&fetch->lock);
    if (fetch->current < fetch->files.size() && GetTickCount() - fetch->started >= kFileTimeLimitMs) {
        fetch->timedOut = true;
        AbortRequest(*fetch);
    }
    LeaveCriticalSection(&fetch->lock);
}

void CancelArtFetch(ArtFetch* fetch)
{
    EnterCriticalSection(&fetch->lock);
    fetch->cancelled = true;
    AbortRequest(*fetch);
    LeaveCriticalSection(&fetch->lock);
}

std::vector<ArtFetchFile> EndArtFetch(ArtFetch* fetch)
{
    if (fetch->thread) {
        WaitForSingleObject(fetch->thread, INFINITE);
        CloseHandle(fetch->thread);
    }
    DeleteCriticalSection(&fetch->lock);
    std::vector<ArtFetchFile> files = fetch->files;
    delete fetch;
    return files;
}

std::string ArtFetchFolder(const std::string& chatArtFolder)
{
    if (CanMakeFiles(chatArtFolder))
        return chatArtFolder;
    std::string own = OwnArtFolder();
    if (own.empty())
        return "";
    SHCreateDirectoryExA(nullptr, own.c_str(), nullptr);
    return CanMakeFiles(own) ? own : "";
}
