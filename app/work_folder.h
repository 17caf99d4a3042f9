// The working folder: where the conversation file, the help page and the
// script runner's scripts are found.
#pragma once

#include "settings/settings.h"

// Resolves settings.WorkFolder and makes it the current directory: a fit
// current directory is remembered under "curpath"; an unfit one (the Windows
// folder and its like, a drive root, or one too long for the buffer) gives
// way to the remembered folder when there is one. Then reads DesktopFolder.
void ResolveWorkFolder(Settings& settings);
