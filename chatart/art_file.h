// What the character and the backdrop files share: the header, the tags,
// offsets and their adjustment, and the form of an error.
#pragma once

#include <cstdint>
#include <string>

#include "chatart/chat_art.h"

const uint16_t kOldArtMagic = 0x0081;  // Chat 1.0
const uint16_t kNewArtMagic = 0x8181;  // Chat 2.x
const uint16_t kBackdropType = 3;

// Tags below 256 have no size word; their length follows from their content.
enum ArtTag {
    TagName = 1,
    TagFlags = 2,
    TagOldIcon = 3,
    TagOldFaces = 4,
    TagOldTorsos = 5,
    TagStartData = 6,
    TagStyle = 8,
    TagOldBodies = 9,
    TagFaces = 10,
    TagTorsos = 11,
    TagBodies = 12,
    TagFirstSized = 256,
    TagIcon = 256,
    TagPalette = 257,
    TagBackdrop = 258,
    TagOffsetAdjustment = 263,
};

inline bool ArtError(std::string& error, const std::string& fileName, const std::string& what)
{
    error = fileName + ": " + what;
    return false;
}

// A stored offset with the adjustment of the tags before it (0 stays 0: no
// image). False, with the reason in `what`, when it lies outside the file.
inline bool AdjustOffset(uint32_t stored, int64_t adjustment, size_t fileSize, uint32_t& offset, std::string& what)
{
    offset = 0;
    if (stored == 0)
        return true;
    int64_t adjusted = int64_t(stored) + adjustment;
    if (adjusted <= 0 || uint64_t(adjusted) >= fileSize) {
        what = "offset " + std::to_string(adjusted) +
               (adjusted <= 0 ? " lies before the start of the file" : " lies past the end of the file") + " (" +
               std::to_string(fileSize) + " bytes)";
        return false;
    }
    offset = uint32_t(adjusted);
    return true;
}

inline void ClearPixels(Pixels& pixels, int width, int height)
{
    pixels.width = width;
    pixels.height = height;
    pixels.stride = width * 4;
    pixels.bytes.assign(size_t(pixels.stride) * size_t(height), 0);
}
