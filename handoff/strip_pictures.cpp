#include "handoff/strip_pictures.h"

#include "chatart/art_folders.h"
#include "resources/texts.h"
#include "strip/strip_files.h"
#include "strip/strip_render.h"

std::vector<std::string> MakeStripPictures(HWND owner, const std::string& conversationPath,
                                           std::vector<std::string>* missingArt)
{
    std::string picture = conversationPath.substr(0, conversationPath.find_last_of('.')) + ".png";
    StripOutcome outcome;
    switch (RenderStrip(conversationPath, picture, ArtSearchFolders(), outcome)) {
    case StripStatus::Written:
        break;
    case StripStatus::MissingArt:
        if (missingArt)
            *missingArt = outcome.missingArt;
        break;
    case StripStatus::Unreadable:
    case StripStatus::WriteError:
        MessageBoxA(owner, (kCannotWritePicture + outcome.error).c_str(), kMessageCaption, MB_OK | MB_ICONWARNING);
        break;
    }
    return outcome.pictures;
}

std::string PictureNames(const std::vector<std::string>& pictures)
{
    std::string names;
    for (const std::string& picture : pictures)
        names += (names.empty() ? "" : "、") + FileNameOf(picture);
    return names;
}
