// Reading a backdrop: a .bgb file, or a BMP file as Chat takes it.
#include "chatart/art_file.h"
#include "chatart/byte_cursor.h"
#include "chatart/chat_art.h"
#include "chatart/dib_image.h"

namespace {

std::string Number(int64_t value)
{
    return std::to_string(value);
}

// The backdrop's image in a .bgb file, read from after the magic number:
// the rest of the header, then only sized tags,
// and tag 258 (with any offset adjustment before it) names the image.
bool FindBackdropImage(ByteCursor& in, ArtImageRef& ref, std::string& what)
{
    uint16_t type = in.U16();
    in.U16();  // version: Chat takes any
    if (in.Failed()) {
        what = "too short for a backdrop file (" + Number(in.Size()) + " bytes)";
        return false;
    }
    if (type != kBackdropType) {
        what = "file type " + Number(type) + ", not a backdrop (3)";
        return false;
    }
    int64_t adjustment = 0;
    for (;;) {
        size_t start = in.Position();
        uint16_t tag = in.U16();
        std::string name = "tag " + Number(tag) + " at " + Number(start);
        if (in.Failed()) {
            what = "the tag list runs past the end of the file";
            return false;
        }
        if (tag == TagStartData) {
            what = "no backdrop image (tag 258) before the image data";
            return false;
        }
        if (tag < TagFirstSized) {
            what = name + " has no place in a backdrop file";
            return false;
        }
        uint16_t size = in.U16();
        ByteCursor payload = in.Take(size);
        if (in.Failed()) {
            what = name + ": its " + Number(size) + " bytes run past the end of the file";
            return false;
        }
        if (tag == TagOffsetAdjustment) {
            adjustment += payload.S32();
        } else if (tag == TagBackdrop) {
            uint32_t stored = payload.U32();
            ref.format = payload.U8();
            ref.palette = payload.U8();
            if (payload.Failed()) {
                what = name + " (backdrop): " + Number(size) + " bytes, 6 needed";
                return false;
            }
            if (ref.palette != PaletteLocal && ref.palette != PaletteOwn) {
                what = "backdrop palette type " + Number(ref.palette) + " (0 or 2 expected)";
                return false;
            }
            if (!AdjustOffset(stored, adjustment, in.Size(), ref.offset, what)) {
                what = "backdrop image " + what;
                return false;
            }
            if (ref.offset == 0) {
                what = "the backdrop image's offset is 0";
                return false;
            }
            return true;
        }
        if (payload.Failed()) {
            what = name + ": " + Number(size) + " bytes are too few";
            return false;
        }
    }
}

void ToOpaquePixels(const DibImage& image, Pixels& pixels)
{
    ClearPixels(pixels, image.width, image.height);
    size_t count = size_t(image.width) * size_t(image.height);
    for (size_t i = 0; i < count; ++i) {
        uint8_t rgb[3];
        ImageColor(image, i, rgb);
        for (int c = 0; c < 3; ++c)
            pixels.bytes[i * 4 + c] = rgb[c];
        pixels.bytes[i * 4 + 3] = 255;
    }
}

}  // namespace

bool ReadBackdrop(const std::string& fileName, const std::vector<uint8_t>& file, Pixels& backdrop,
                  std::string& error)
{
    backdrop = Pixels();
    if (file.size() > kMaxArtFileBytes)
        return ArtError(error, fileName,
                        "the file is " + Number(file.size()) + " bytes (at most " + Number(kMaxArtFileBytes) + ")");
    ByteCursor in(file);
    uint16_t magic = in.U16();
    ArtImageRef ref;  // a BMP file: the whole file, with its own colours
    std::string what;
    if (magic == kNewArtMagic) {
        if (!FindBackdropImage(in, ref, what))
            return ArtError(error, fileName, what);
    } else if (magic != kBmpMagic || in.Failed()) {
        return ArtError(error, fileName, "neither a BMP picture nor a backdrop file");
    }
    DibImage image;
    if (!DecodeImage(file, ref, std::vector<uint8_t>(), image, what))
        return ArtError(error, fileName, "backdrop image: " + what);
    ToOpaquePixels(image, backdrop);
    return true;
}
