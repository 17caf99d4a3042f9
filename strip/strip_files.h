// The files of a strip: where its pictures go and what its last panel says
// when it is cut. Portable.
#pragma once

#include <string>

// The path of the strip's picture `number` (1 for the first): the path given
// for the first, then "-2", "-3"... before its extension ("C:\x\Mirth.png",
// "C:\x\Mirth-2.png").
std::string StripPicturePath(const std::string& firstPicture, int number);

// The last part of a path, after its last '\' or '/'.
std::string FileNameOf(const std::string& path);

// "続きは NAME でご覧ください" for the conversation file's name (Shift-JIS).
std::string StripNoteFor(const std::string& conversationFileName);
