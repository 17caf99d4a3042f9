#include "app/work_folder.h"

#include <windows.h>

#include "app/folder_rule.h"
#include "settings/settings_store.h"

namespace {

// The current directory, folded, or an empty string if it doesn't fit.
bool ReadCurrentFolder(char* folder)
{
    DWORD length = GetCurrentDirectoryA(kFolderReadCapacity, folder);
    if (length == 0 || length >= kFolderReadCapacity) {
        folder[0] = '\0';
        return false;
    }
    FoldFolderCase(folder);
    return true;
}

// Goes back to the remembered folder. Without one (no settings key yet, or no
// "curpath" in it), the folded current directory stays.
void RestoreRememberedFolder(Settings& settings)
{
    char remembered[kFolderCapacity] = "";
    ReadString(kValueCurPath, remembered, kFolderReadCapacity);
    if (remembered[0] == '\0')
        return;
    lstrcpynA(settings.WorkFolder, remembered, kFolderCapacity);
    SetCurrentDirectoryA(settings.WorkFolder);
}

}  // namespace

void ResolveWorkFolder(Settings& settings)
{
    bool fits = ReadCurrentFolder(settings.WorkFolder);
    if (!fits || IsUnsuitableWorkFolder(settings.WorkFolder))
        RestoreRememberedFolder(settings);
    else
        WriteString(kValueCurPath, settings.WorkFolder);
    ReadString(HKEY_CURRENT_USER, kShellFoldersKey, kValueDesktop, settings.DesktopFolder,
               kFolderReadCapacity);
}
