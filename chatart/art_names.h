// Which art files a conversation needs, which names may be looked up at all,
// and which of them Microsoft publishes. Portable: no windows.h.
#pragma once

#include <string>
#include <vector>

// A file name of ASCII letters, digits, '_' and '-', with one '.' before a
// non-empty extension. Anything else (a path, a drive, "..") is never looked
// up or fetched: conversation files from elsewhere name art too.
bool IsSafeArtFileName(const std::string& fileName);

// The file of a character: "SCOTTY" gives "SCOTTY.avb".
std::string CharacterFileName(const std::string& character);

// The files a backdrop value may name, in the order they are looked for: the
// value itself when it has an extension, else NAME.bgb and NAME.bmp.
std::vector<std::string> BackdropFileNames(const std::string& backdrop);

// Where Microsoft publishes an art file, relative to the art source: the
// folder and the lower-case name ("artpack1/scotty.avb"). Empty for a file
// it does not publish. Names are compared without regard to case.
std::string PublishedArtPath(const std::string& fileName);

// The art source's address with one '/' at its end; empty unless it is an
// http or https address.
std::string ArtSourceBase(const std::string& url);

const char kDefaultArtSource[] = "https://raw.githubusercontent.com/microsoft/comic-chat/main/v2.5-beta-1/";

// ASCII letters folded to lower case.
std::string LowerAscii(std::string text);
