// Waiting for a fetch of art files with the window still answering.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "chatart/art_download.h"

// Fetches `files` into `folder` while the owner's messages run, with the owner
// disabled as under a modal window. A fetch that takes longer than half a
// second shows a small progress window, owned by `owner`, whose Cancel stops
// it. Gives the outcome of each file.
std::vector<ArtFetchFile> FetchArtFiles(HWND owner, const std::vector<ArtFetchFile>& files, const std::string& folder);
