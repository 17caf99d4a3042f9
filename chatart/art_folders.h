// Where Chat's art is found: the ComicArt folder of the Chat that the display
// test opens, then MirthTool's own art folder.
#pragma once

#include <string>
#include <vector>

// The folder of the Chat program the display test opens: the program
// associated with ".ccc", or else the one stored as "ChatPath". Empty when
// neither names a file.
std::string ChatProgramFolder();

// Chat's ComicArt folder beside its program, when it exists; else empty.
std::string ChatArtFolder(const std::string& chatFolder);

// %LOCALAPPDATA%\Orrindale\MirthZud\ComicArt (not created here).
std::string OwnArtFolder();

// The folders searched, in order: `first` (folders the caller names), Chat's
// ComicArt with both of Chat's layouts (ComicArt itself for Chat 2.5; its
// Avatars and Backdrop folders for Chat 1.0), then MirthTool's own.
std::vector<std::string> ArtSearchFolders(const std::vector<std::string>& first = {});

// The full path of the first file of that name in the folders; empty when no
// folder holds it or the name is not one that may be looked up. Windows'
// file names ignore case, so "scotty.AVB" finds SCOTTY.avb.
std::string FindArtFile(const std::vector<std::string>& folders, const std::string& fileName);

// The first of a backdrop value's candidate files that is found.
std::string FindBackdropFile(const std::vector<std::string>& folders, const std::string& backdrop);
