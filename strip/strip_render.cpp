#include "strip/strip_render.h"

#include <windows.h>

#include "chatart/art_folders.h"
#include "chatart/art_names.h"
#include "strip/art_cast.h"
#include "strip/conversation_reader.h"
#include "strip/gdi_text.h"
#include "strip/png_file.h"
#include "strip/strip_files.h"
#include "strip/strip_layout.h"
#include "strip/strip_painter.h"

namespace {

// Far more than any mail makes (a 4 MiB mail gives 5.2 MB).
const DWORD kMaxConversationBytes = 64u << 20;

std::string SystemError(const char* what, DWORD code)
{
    return std::string(what) + " (error " + std::to_string(code) + ")";
}

bool ReadConversationFile(const std::string& path, std::string& bytes, std::string& error)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = SystemError("can't be opened", GetLastError());
        return false;
    }
    LARGE_INTEGER size = {};
    bool ok = GetFileSizeEx(file, &size) != 0;
    if (!ok) {
        error = SystemError("can't be read", GetLastError());
    } else if (size.QuadPart > kMaxConversationBytes) {
        error = "larger than " + std::to_string(kMaxConversationBytes >> 20) + " MiB";
        ok = false;
    } else {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        ok = bytes.empty() || (ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr) &&
                               got == bytes.size());
        if (!ok)
            error = SystemError("can't be read", GetLastError());
    }
    CloseHandle(file);
    return ok;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Deletes the pictures from `first` on: every one up to the most a strip
// makes, and any older one beyond while they follow on.
void DeletePictures(const std::string& picturePath, int first)
{
    for (int number = first; number <= kMaxPictures || Exists(StripPicturePath(picturePath, number)); ++number)
        DeleteFileA(StripPicturePath(picturePath, number).c_str());
}

// Looks the needed art up; the files no folder holds go into `missing`.
ArtPaths FindArt(const NeededArt& needed, const std::vector<std::string>& folders, std::vector<std::string>& missing)
{
    ArtPaths paths;
    for (const std::string& character : needed.characters) {
        std::string path = FindArtFile(folders, CharacterFileName(character));
        if (path.empty())
            missing.push_back(CharacterFileName(character));
        else
            paths.characters[character] = path;
    }
    for (const std::string& backdrop : needed.backdrops) {
        std::string path = FindBackdropFile(folders, backdrop);
        if (!path.empty())
            paths.backdrops[backdrop] = path;
        else {
            std::vector<std::string> names = BackdropFileNames(backdrop);
            missing.push_back(names.empty() ? backdrop : names.front());
        }
    }
    return paths;
}

std::string FullPath(const std::string& path)
{
    char full[MAX_PATH * 2];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? std::string(full, length) : path;
}

StripStatus Fail(StripStatus status, const std::string& picturePath, StripOutcome& outcome)
{
    outcome.pictures.clear();
    DeletePictures(picturePath, 1);
    return status;
}

}  // namespace

StripStatus RenderStrip(const std::string& conversationPath, const std::string& picturePathGiven,
                        const std::vector<std::string>& artFolders, StripOutcome& outcome)
{
    outcome = StripOutcome();
    std::string picturePath = FullPath(picturePathGiven);
    std::string bytes, error;
    std::vector<ConversationRecord> records;
    if (!ReadConversationFile(conversationPath, bytes, error) ||
        !ReadConversation(bytes.data(), bytes.size(), records, error)) {
        outcome.error = conversationPath + ": " + error;
        return Fail(StripStatus::Unreadable, picturePath, outcome);
    }
    std::string().swap(bytes);

    ArtCast art(FindArt(FindNeededArt(records), artFolders, outcome.missingArt));
    if (!outcome.missingArt.empty())
        return Fail(StripStatus::MissingArt, picturePath, outcome);

    GdiTextMeasure text;
    StripOptions options;
    options.note = StripNoteFor(FileNameOf(conversationPath));
    StripLayout layout(records, text, art, options);
    PictureLayout picture;
    while (layout.NextPicture(picture)) {
        art.NextPicture();
        std::string path = StripPicturePath(picturePath, picture.number);
        PaintedPicture painted;
        bool written = PaintPicture(picture, art, text, painted, error) &&
                       WritePngFile(path, painted.pixels.bytes, painted.pixels.width, painted.pixels.height,
                                    painted.pixels.stride, error);
        FreePicture(painted);
        if (!written) {
            outcome.unreadableArt = art.Problems();
            outcome.error = path + ": " + error;
            return Fail(StripStatus::WriteError, picturePath, outcome);
        }
        outcome.pictures.push_back(path);
    }
    outcome.unreadableArt = art.Problems();
    DeletePictures(picturePath, static_cast<int>(outcome.pictures.size()) + 1);
    return StripStatus::Written;
}
