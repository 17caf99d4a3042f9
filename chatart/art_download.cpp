#include "chatart/art_download.h"

#include <shlobj.h>
#include <winhttp.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "app/wide_text.h"
#include "chatart/art_folders.h"
#include "chatart/fetched_art.h"
#include "resources/texts.h"

// Shared by the worker and the waiting thread; the last of the two to let go
// deletes it.
struct ArtDownload {
    ArtFetchFile file;
    std::string folder;
    HANDLE thread = nullptr;
    LONG holders = 2;
    CRITICAL_SECTION lock;
    // Under the lock:
    size_t bytes = 0;
    bool givenUp = false;
    bool landed = false;
    HINTERNET request = nullptr;  // closed by whoever gives the download up first
};

namespace {

const DWORD kTimeoutMs = 15000;
const size_t kReadChunk = 16384;

void LetGo(ArtDownload* download)
{
    if (InterlockedDecrement(&download->holders) > 0)
        return;
    if (download->thread)
        CloseHandle(download->thread);
    DeleteCriticalSection(&download->lock);
    delete download;
}

std::string Format(const char* format, unsigned long number)
{
    char text[256];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

void CloseRequest(ArtDownload& download)
{
    EnterCriticalSection(&download.lock);
    if (download.request)
        WinHttpCloseHandle(download.request);
    download.request = nullptr;
    LeaveCriticalSection(&download.lock);
}

bool Receive(ArtDownload& download, HINTERNET request, std::vector<uint8_t>& bytes, std::string& error)
{
    for (;;) {
        size_t old = bytes.size();
        // A byte more than allowed shows a file that is too large.
        if (old > kMaxFetchedArtBytes) {
            error = kArtFetchTooLarge;
            return false;
        }
        bytes.resize(old + kReadChunk);
        DWORD read = 0;
        if (!WinHttpReadData(request, bytes.data() + old, kReadChunk, &read)) {
            error = Format(kArtFetchNetworkError, GetLastError());
            return false;
        }
        bytes.resize(old + read);
        EnterCriticalSection(&download.lock);
        download.bytes = bytes.size();
        LeaveCriticalSection(&download.lock);
        if (read == 0)
            return true;
    }
}

bool Request(ArtDownload& download, HINTERNET connection, const std::wstring& path, bool secure,
             std::vector<uint8_t>& bytes, std::string& error)
{
    HINTERNET request = WinHttpOpenRequest(connection, L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                           WINHTTP_DEFAULT_ACCEPT_TYPES, secure ? WINHTTP_FLAG_SECURE : 0);
    if (!request) {
        error = Format(kArtFetchNetworkError, GetLastError());
        return false;
    }
    EnterCriticalSection(&download.lock);
    download.request = request;
    LeaveCriticalSection(&download.lock);
    WinHttpSetTimeouts(request, kTimeoutMs, kTimeoutMs, kTimeoutMs, kTimeoutMs);
    DWORD status = 0, size = sizeof status;
    bool ok = false;
    if (!WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !WinHttpReceiveResponse(request, nullptr) ||
        !WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
        error = Format(kArtFetchNetworkError, GetLastError());
    else if (status != 200)
        error = Format(kArtFetchHttpStatus, status);
    else
        ok = Receive(download, request, bytes, error);
    CloseRequest(download);
    return ok;
}

bool Download(ArtDownload& download, std::vector<uint8_t>& bytes, std::string& error)
{
    std::wstring url = WideFromAnsi(download.file.url);
    URL_COMPONENTS parts = {sizeof parts};
    parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(url.c_str(), 0, 0, &parts)) {
        error = kArtFetchBadAddress;
        return false;
    }
    // The automatic proxy (Windows 8.1 and later) follows the system's proxy
    // settings; older systems take WinHTTP's own.
    HINTERNET session = WinHttpOpen(L"MirthTool", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                                    WINHTTP_NO_PROXY_BYPASS, 0);
    if (!session)
        session = WinHttpOpen(L"MirthTool", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                              WINHTTP_NO_PROXY_BYPASS, 0);
    HINTERNET connection = session ? WinHttpConnect(session, std::wstring(parts.lpszHostName,
                                                                          parts.dwHostNameLength).c_str(),
                                                    parts.nPort, 0)
                                   : nullptr;
    bool ok = false;
    if (!connection)
        error = Format(kArtFetchNetworkError, GetLastError());
    else
        ok = Request(download, connection,
                     std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength + parts.dwExtraInfoLength),
                     parts.nScheme == INTERNET_SCHEME_HTTPS, bytes, error);
    if (connection)
        WinHttpCloseHandle(connection);
    if (session)
        WinHttpCloseHandle(session);
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

DWORD WINAPI DownloadFile(void* parameter)
{
    ArtDownload& download = *static_cast<ArtDownload*>(parameter);
    std::vector<uint8_t> bytes;
    std::string error, detail;
    bool arrived = false;
    if (Download(download, bytes, error)) {
        if (!CheckFetchedArt(download.file.fileName, bytes, detail))
            error = kArtFetchBroken + detail;
        else {
            // Under the lock: a download given up lands nothing.
            EnterCriticalSection(&download.lock);
            if (!download.givenUp)
                arrived = download.landed = Store(download.folder, download.file.fileName, bytes, error);
            LeaveCriticalSection(&download.lock);
        }
    }
    download.file.arrived = arrived;
    download.file.error = error;
    LetGo(&download);
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

ArtDownload* StartArtDownload(const ArtFetchFile& file, const std::string& folder)
{
    ArtDownload* download = new ArtDownload;
    download->file = file;
    download->folder = folder;
    InitializeCriticalSection(&download->lock);
    download->thread = CreateThread(nullptr, 0, DownloadFile, download, 0, nullptr);
    if (!download->thread) {
        download->file.error = Format(kArtFetchNetworkError, GetLastError());
        download->holders = 1;
    }
    return download;
}

HANDLE ArtDownloadEnded(const ArtDownload* download)
{
    return download->thread;
}

size_t ArtDownloadBytes(ArtDownload* download)
{
    EnterCriticalSection(&download->lock);
    size_t bytes = download->bytes;
    LeaveCriticalSection(&download->lock);
    return bytes;
}

void EndArtDownload(ArtDownload* download, ArtFetchFile& file, const char* reason)
{
    bool ended = !download->thread || WaitForSingleObject(download->thread, 0) == WAIT_OBJECT_0;
    if (ended) {
        file = download->file;
    } else {
        EnterCriticalSection(&download->lock);
        download->givenUp = true;
        file.arrived = download->landed;  // it landed just before
        LeaveCriticalSection(&download->lock);
        // Makes a blocking call return where the platform allows it.
        CloseRequest(*download);
        file.error = file.arrived ? "" : reason;
    }
    LetGo(download);
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
