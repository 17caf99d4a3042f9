#include "strip/strip_files.h"

#include "conversation/shift_jis.h"

namespace {

// Where the last folder separator is, by characters: the second byte of a
// double-byte character may be 0x5C, the code of '\'.
size_t LastSeparator(const std::string& path)
{
    size_t last = std::string::npos;
    for (size_t at = 0; at < path.size();) {
        if (path[at] == '\\' || path[at] == '/')
            last = at;
        at += SjisCharLength(path.data() + at, path.size() - at);
    }
    return last;
}

}  // namespace

std::string FileNameOf(const std::string& path)
{
    size_t separator = LastSeparator(path);
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string StripPicturePath(const std::string& firstPicture, int number)
{
    if (number <= 1)
        return firstPicture;
    size_t nameStart = LastSeparator(firstPicture);
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    size_t dot = firstPicture.rfind('.');
    if (dot == std::string::npos || dot < nameStart)
        dot = firstPicture.size();
    return firstPicture.substr(0, dot) + "-" + std::to_string(number) + firstPicture.substr(dot);
}

std::string StripNoteFor(const std::string& conversationFileName)
{
    // 続きは ... でご覧ください
    return "\x91\xB1\x82\xAB\x82\xCD " + conversationFileName +
           " \x82\xC5\x82\xB2\x97\x97\x82\xAD\x82\xBE\x82\xB3\x82\xA2";
}
