// Fetches one art file on a worker thread through WinHTTP, with the system's
// proxy settings, so that the window that waits for it keeps answering. The
// file is checked by the reader before it lands in the target folder.
#pragma once

#include <windows.h>

#include <string>

struct ArtFetchFile {
    std::string fileName;  // as the settings name it, "SCOTTY.avb"
    std::string url;
    bool arrived = false;
    std::string error;  // why it did not arrive
};

struct ArtDownload;

// Starts fetching `file` into `folder`.
ArtDownload* StartArtDownload(const ArtFetchFile& file, const std::string& folder);

// Signalled when the download has ended, arrived or failed.
HANDLE ArtDownloadEnded(const ArtDownload* download);

// The bytes received so far.
size_t ArtDownloadBytes(ArtDownload* download);

// Gives the outcome of a download that has ended. One that has not is given
// up: `reason` becomes its error, and the worker, which a blocking network
// call may hold a while longer, lands nothing and cleans up after itself.
void EndArtDownload(ArtDownload* download, ArtFetchFile& file, const char* reason);

// The folder fetched files go to: Chat's ComicArt folder when it is known and
// a file can be made in it, else MirthTool's own art folder, made when needed.
// Empty when neither can be had.
std::string ArtFetchFolder(const std::string& chatArtFolder);
