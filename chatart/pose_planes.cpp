#include "chatart/pose_planes.h"

#include "chatart/dib_image.h"

namespace {

bool Decode(const Character& character, const ArtImageRef& ref, const char* plane, DibImage& image,
            PosePlanes& planes, std::string& error)
{
    if (DecodeImage(character.file, ref, character.palette, image, error)) {
        planes.decodedPixels += size_t(image.width) * size_t(image.height);
        return true;
    }
    error = std::string(plane) + ": " + error;
    return false;
}

bool RequireTwoBits(const DibImage& image, const char* what, std::string& error)
{
    if (image.bitsPerPixel == 2)
        return true;
    error = std::string(what) + " has " + std::to_string(image.bitsPerPixel) + " bits a pixel, not 2";
    return false;
}

// A plane of `image`'s size taken to the drawing's size, nearest pixel.
std::vector<uint8_t> Stretch(const std::vector<uint8_t>& plane, const DibImage& image, const PosePlanes& planes)
{
    if (image.width == planes.width && image.height == planes.height)
        return plane;
    std::vector<uint8_t> stretched(size_t(planes.width) * size_t(planes.height));
    for (int y = 0; y < planes.height; ++y) {
        size_t from = size_t(y) * size_t(image.height) / size_t(planes.height) * size_t(image.width);
        for (int x = 0; x < planes.width; ++x)
            stretched[size_t(y) * planes.width + x] =
                plane[from + size_t(x) * size_t(image.width) / size_t(planes.width)];
    }
    return stretched;
}

// Two bits a pixel, the high one the mask: ink inside the mask where both are
// set, the halo wherever either is.
void SplitMaskedMono(const DibImage& image, PosePlanes& planes)
{
    size_t pixels = image.index.size();
    planes.color.assign(pixels * 3, 255);
    planes.mask.assign(pixels, 0);
    planes.aura.assign(pixels, 0);
    for (size_t i = 0; i < pixels; ++i) {
        uint8_t value = image.index[i];
        if (value == 3)
            planes.color[i * 3] = planes.color[i * 3 + 1] = planes.color[i * 3 + 2] = 0;
        planes.mask[i] = value >> 1;
        planes.aura[i] = value != 0;
    }
}

// Two bits a pixel: the low one the mask, the high one the aura.
void SplitDualMask(const DibImage& image, PosePlanes& planes)
{
    std::vector<uint8_t> mask(image.index.size()), aura(image.index.size());
    for (size_t i = 0; i < image.index.size(); ++i) {
        mask[i] = image.index[i] & 1;
        aura[i] = image.index[i] >> 1;
    }
    planes.mask = Stretch(mask, image, planes);
    planes.aura = Stretch(aura, image, planes);
}

std::vector<uint8_t> BlackPixels(const DibImage& image, const PosePlanes& planes)
{
    std::vector<uint8_t> plane(size_t(image.width) * size_t(image.height));
    uint8_t rgb[3];
    for (size_t i = 0; i < plane.size(); ++i) {
        ImageColor(image, i, rgb);
        plane[i] = rgb[0] == 0 && rgb[1] == 0 && rgb[2] == 0;
    }
    return Stretch(plane, image, planes);
}

}  // namespace

bool DecodePosePlanes(const Character& character, const ArtImageRef& drawing, const ArtImageRef& mask,
                      const ArtImageRef& aura, PosePlanes& planes, std::string& error)
{
    planes = PosePlanes();
    if (drawing.offset == 0) {
        error = "no drawing";
        return false;
    }
    DibImage image;
    if (!Decode(character, drawing, "drawing", image, planes, error))
        return false;
    planes.width = image.width;
    planes.height = image.height;
    if (drawing.palette == PaletteMaskedMono) {
        if (!RequireTwoBits(image, "the masked-mono drawing", error))
            return false;
        SplitMaskedMono(image, planes);
        return true;
    }
    planes.color.assign(size_t(image.width) * size_t(image.height) * 3, 0);
    for (size_t i = 0; i < planes.color.size() / 3; ++i)
        ImageColor(image, i, &planes.color[i * 3]);

    if (mask.offset != 0) {
        if (!Decode(character, mask, "mask", image, planes, error))
            return false;
        if (mask.palette == PaletteDualMask) {
            if (!RequireTwoBits(image, "the dual mask", error))
                return false;
            SplitDualMask(image, planes);
            return true;
        }
        planes.mask = BlackPixels(image, planes);
    }
    if (aura.offset != 0) {
        if (!Decode(character, aura, "aura", image, planes, error))
            return false;
        planes.aura = BlackPixels(image, planes);
    }
    return true;
}
