#include "chatart/art_folders.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "chatart/art_names.h"
#include "settings/settings_store.h"

namespace {

bool IsFile(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolder(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The program the shell opens ".ccc" files with.
std::string AssociatedProgram()
{
    char program[MAX_PATH];
    DWORD size = MAX_PATH;
    if (AssocQueryStringA(ASSOCF_NOTRUNCATE, ASSOCSTR_EXECUTABLE, ".ccc", "open", program, &size) != S_OK)
        return "";
    return program;
}

}  // namespace

std::string ChatProgramFolder()
{
    std::string program = AssociatedProgram();
    if (!IsFile(program)) {
        char chosen[kChatPathCapacity] = "";
        ReadString(kValueChatPath, chosen, kChatPathCapacity);
        program = chosen;
    }
    return IsFile(program) ? FolderOf(program) : "";
}

std::string ChatArtFolder(const std::string& chatFolder)
{
    if (chatFolder.empty())
        return "";
    std::string art = chatFolder + "\\ComicArt";
    return IsFolder(art) ? art : "";
}

std::string OwnArtFolder()
{
    char local[MAX_PATH];
    if (SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local) != S_OK)
        return "";
    return std::string(local) + "\\Orrindale\\MirthZud\\ComicArt";
}

std::vector<std::string> ArtSearchFolders(const std::vector<std::string>& first)
{
    std::vector<std::string> folders = first;
    std::string chatArt = ChatArtFolder(ChatProgramFolder());
    if (!chatArt.empty()) {
        folders.push_back(chatArt);
        folders.push_back(chatArt + "\\Avatars");
        folders.push_back(chatArt + "\\Backdrop");
    }
    std::string own = OwnArtFolder();
    if (!own.empty())
        folders.push_back(own);
    return folders;
}

std::string FindArtFile(const std::vector<std::string>& folders, const std::string& fileName)
{
    if (!IsSafeArtFileName(fileName))
        return "";
    for (const std::string& folder : folders) {
        std::string path = folder + "\\" + fileName;
        if (IsFile(path))
            return path;
    }
    return "";
}

std::string FindBackdropFile(const std::vector<std::string>& folders, const std::string& backdrop)
{
    for (const std::string& name : BackdropFileNames(backdrop)) {
        std::string path = FindArtFile(folders, name);
        if (!path.empty())
            return path;
    }
    return "";
}
