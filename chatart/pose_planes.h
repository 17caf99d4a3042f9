// A pose as Chat draws it: the drawing, and the mask and aura (halo) planes,
// whichever way the file encodes them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "chatart/chat_art.h"

// The planes at the drawing's size, top row first.
struct PosePlanes {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> color;  // the drawing, R G B a pixel
    std::vector<uint8_t> mask;   // 1 where set; empty when the pose has none
    std::vector<uint8_t> aura;
    size_t decodedPixels = 0;  // of the images decoded for them
};

// Decodes a pose from its three image references (mask and aura offsets 0:
// none). A masked-mono drawing (palette type 4) carries all three planes; a
// dual-mask mask (5) carries mask and aura; other mask and aura images are
// set where they are black. A mask or aura of another size than the drawing
// is stretched to it, as Chat draws it into the drawing's box.
bool DecodePosePlanes(const Character& character, const ArtImageRef& drawing, const ArtImageRef& mask,
                      const ArtImageRef& aura, PosePlanes& planes, std::string& error);

inline bool DecodePosePlanes(const Character& character, const PoseRecord& record, PosePlanes& planes,
                             std::string& error)
{
    return DecodePosePlanes(character, record.drawing, record.mask, record.aura, planes, error);
}
