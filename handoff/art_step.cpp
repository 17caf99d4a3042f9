#include "handoff/art_step.h"

#include <string>
#include <vector>

#include "chatart/art_folders.h"
#include "chatart/art_names.h"
#include "handoff/fetch_progress.h"
#include "resources/texts.h"
#include "settings/settings_store.h"

namespace {

const size_t kArtUrlCapacity = 1024;

bool Listed(const std::vector<ArtFetchFile>& files, const std::string& fileName)
{
    for (const ArtFetchFile& file : files)
        if (LowerAscii(file.fileName) == LowerAscii(fileName))
            return true;
    return false;
}

// A file no art folder holds, that may be looked up and that Microsoft
// publishes, joins the list.
void AddIfMissing(std::vector<ArtFetchFile>& files, const std::vector<std::string>& folders, const std::string& base,
                  const std::string& fileName)
{
    std::string published = PublishedArtPath(fileName);
    if (!IsSafeArtFileName(fileName) || published.empty() || !FindArtFile(folders, fileName).empty() ||
        Listed(files, fileName))
        return;
    ArtFetchFile file;
    file.fileName = fileName;
    file.url = base + published;
    files.push_back(file);
}

std::vector<ArtFetchFile> MissingArt(const Settings& settings, const std::string& base)
{
    std::vector<std::string> folders = ArtSearchFolders();
    std::vector<ArtFetchFile> files;
    AddIfMissing(files, folders, base, CharacterFileName(settings.charstr));
    AddIfMissing(files, folders, base, CharacterFileName(settings.charstr2));
    if (FindBackdropFile(folders, settings.backstr).empty())
        AddIfMissing(files, folders, base, BackdropFileNames(settings.backstr).front());
    return files;
}

// "ArtURL" for mirrors and tests, else Microsoft's repository.
std::string ArtSource()
{
    char url[kArtUrlCapacity] = "";
    ReadString(kValueArtUrl, url, kArtUrlCapacity);
    return url[0] ? ArtSourceBase(url) : kDefaultArtSource;
}

std::string FileList(const std::vector<ArtFetchFile>& files, bool withReasons)
{
    std::string list;
    for (const ArtFetchFile& file : files)
        if (!file.arrived)
            list += "    " + file.fileName + (withReasons ? ": " + file.error : "") + "\n";
    return list;
}

// The stored answer, or the user's answer to the question, stored.
bool MayFetch(HWND owner, const std::vector<ArtFetchFile>& files)
{
    switch (ReadDword(kValueArtFetch, kArtFetchAsk)) {
    case kArtFetchNever: return false;
    case kArtFetchAlways: return true;
    }
    std::string question = kAskToFetchArt + FileList(files, false) + kAskToFetchArtSource;
    bool yes = MessageBoxA(owner, question.c_str(), kMessageCaption, MB_YESNO | MB_ICONQUESTION) == IDYES;
    WriteDword(kValueArtFetch, yes ? kArtFetchAlways : kArtFetchNever);
    return yes;
}

void TellNotFetched(HWND owner, const std::vector<ArtFetchFile>& files)
{
    std::string list = FileList(files, true);
    if (list.empty())
        return;
    std::string message = kArtNotFetched + list + kArtNotFetchedEnd;
    MessageBoxA(owner, message.c_str(), kMessageCaption, MB_OK | MB_ICONWARNING);
}

}  // namespace

void FetchMissingArt(HWND owner, const Settings& settings)
{
    std::string base = ArtSource();
    std::vector<ArtFetchFile> files = MissingArt(settings, base);
    if (files.empty() || !MayFetch(owner, files))
        return;
    std::string folder = ArtFetchFolder(ChatArtFolder(ChatProgramFolder()));
    if (base.empty() || folder.empty()) {
        for (ArtFetchFile& file : files)
            file.error = base.empty() ? kArtFetchBadAddress : kArtFetchNoFolder;
    } else {
        files = FetchArtFiles(owner, files, folder);
    }
    TellNotFetched(owner, files);
}
