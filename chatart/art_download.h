// Fetches art files on a worker thread through WinHTTP, with the system's
// proxy settings and a time limit for each file, so the window that waits for
// them keeps answering. Each file is checked by the reader before it lands.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ArtFetchFile {
    std::string fileName;  // as the settings name it, "SCOTTY.avb"
    std::string url;
    bool arrived = false;
    std::string error;  // why it did not arrive
};

struct ArtFetch;

// Starts fetching `files` into `folder`.
ArtFetch* StartArtFetch(const std::vector<ArtFetchFile>& files, const std::string& folder);

// Signalled when every file has arrived or failed.
HANDLE ArtFetchDone(const ArtFetch* fetch);

// The file under way (files.size() once all are through) and its bytes so far.
size_t ArtFetchPosition(ArtFetch* fetch, size_t& bytes);

// Gives up the file under way once it has taken 15 seconds; called by the
// waiting thread from time to time.
void EnforceArtFetchTimeLimit(ArtFetch* fetch);

// The files not yet in fail as cancelled.
void CancelArtFetch(ArtFetch* fetch);

// Waits for the end and gives the outcome of each file.
std::vector<ArtFetchFile> EndArtFetch(ArtFetch* fetch);

// The folder fetched files go to: Chat's ComicArt folder when it is known and
// a file can be made in it, else MirthTool's own art folder, made when needed.
// Empty when neither can be had.
std::string ArtFetchFolder(const std::string& chatArtFolder);
