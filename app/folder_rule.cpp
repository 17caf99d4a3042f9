#include "app/folder_rule.h"

#include <cstring>

#include "conversation/shift_jis.h"

void FoldFolderCase(char* folder)
{
    size_t length = std::strlen(folder);
    for (size_t at = 0; at < length;) {
        size_t size = SjisCharLength(folder + at, length - at);
        if (size == 1 && folder[at] >= 'A' && folder[at] <= 'Z')
            folder[at] = static_cast<char>(folder[at] - 'A' + 'a');
        at += size;
    }
}

const char* FindOnCharBoundary(const char* text, const char* needle)
{
    size_t length = std::strlen(text);
    size_t needleLength = std::strlen(needle);
    for (size_t at = 0; at + needleLength <= length;) {
        if (std::memcmp(text + at, needle, needleLength) == 0)
            return text + at;
        at += SjisCharLength(text + at, length - at);
    }
    return nullptr;
}

bool IsUnsuitableWorkFolder(const char* folded)
{
    if (FindOnCharBoundary(folded, ":\\win"))
        return true;
    // A drive root: one single-byte character, then exactly ":\".
    size_t length = std::strlen(folded);
    return length > 0 && SjisCharLength(folded, length) == 1 && std::strcmp(folded + 1, ":\\") == 0;
}
