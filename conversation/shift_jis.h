// Shift-JIS (code page 932) byte classes, for code that walks byte strings
// character by character.
#pragma once

#include <cstddef>

inline bool IsSjisLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

inline bool IsSjisTrailByte(unsigned char byte)
{
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// Length in bytes (1 or 2) of the character that starts at `text`, which holds
// `available` bytes (at least 1). A lead byte without a valid trail byte after
// it stands alone, so a CR, LF, TAB or NUL is never swallowed as a trail byte.
inline size_t SjisCharLength(const char* text, size_t available)
{
    if (available >= 2 && IsSjisLeadByte(static_cast<unsigned char>(text[0])) &&
        IsSjisTrailByte(static_cast<unsigned char>(text[1])))
        return 2;
    return 1;
}
