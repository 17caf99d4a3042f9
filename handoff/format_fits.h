// Formatting into the hand-off's fixed buffers.
#pragma once

#include <cstddef>
#include <cstdio>

// Formats into `buffer` and says whether the whole text fit; a text that
// doesn't fit is refused, never cut.
template <typename... Args>
bool FormatFits(char* buffer, size_t capacity, const char* format, Args... args)
{
    int length = std::snprintf(buffer, capacity, format, args...);
    return length >= 0 && static_cast<size_t>(length) < capacity;
}
