#include "chatart/dib_image.h"

#include <zlib.h>

#include <iterator>

#include "chatart/byte_cursor.h"

namespace {

const uint32_t kInfoHeaderBytes = 40;
const uint32_t kCoreHeaderBytes = 12;    // the OS/2 header
const uint32_t kMaxInfoHeaderBytes = 240;  // Chat's bound for deflated images
const uint16_t kPaletteTag = 257;

enum { CompressionNone = 0, CompressionRle8 = 1, CompressionRle4 = 2 };

const uint8_t kMonoPalette[] = {255, 255, 255, 0, 0, 0};
// The 2-bit pose images: their indices carry planes; these colours only show
// what Chat's own table holds.
const uint8_t kTwoBitPalette[] = {255, 255, 255, 0, 0, 0, 128, 0, 0, 0, 0, 128};

struct DibHeader {
    int64_t width = 0;
    int64_t height = 0;  // negative: top row first
    int bitsPerPixel = 0;
    uint32_t compression = CompressionNone;
    uint32_t colorsUsed = 0;
};

bool Fail(std::string& error, const std::string& what)
{
    error = what;
    return false;
}

std::string Number(int64_t value)
{
    return std::to_string(value);
}

size_t Stride(int width, int bitsPerPixel)
{
    return (size_t(width) * size_t(bitsPerPixel) + 31) / 32 * 4;
}

// The fields after biSize; `headerBytes` counts biSize too.
void ReadInfoHeader(ByteCursor& in, uint32_t headerBytes, DibHeader& header)
{
    header.width = in.S32();
    header.height = in.S32();
    in.U16();  // planes: ignored, as Chat does
    header.bitsPerPixel = in.U16();
    header.compression = in.U32();
    in.Skip(12);  // image size, resolution
    header.colorsUsed = in.U32();
    in.Skip(headerBytes - 36);  // colours important, and what a longer header adds
}

// OS/2 core headers carry no compression field: their bits are plain.
void ReadCoreHeader(ByteCursor& in, DibHeader& header)
{
    header.width = in.U16();
    header.height = in.U16();
    in.U16();
    header.bitsPerPixel = in.U16();
}

bool CheckHeader(const DibHeader& header, std::string& error)
{
    int bits = header.bitsPerPixel;
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return Fail(error, Number(bits) + " bits a pixel are not supported");
    int64_t height = header.height < 0 ? -header.height : header.height;
    if (header.width <= 0 || height == 0 || header.width > kMaxArtImageSide || height > kMaxArtImageSide)
        return Fail(error, "the image is " + Number(header.width) + " x " + Number(header.height) +
                               " pixels (1 to " + Number(kMaxArtImageSide) + " a side)");
    return true;
}

// A BMP file's colour table: B, G, R and (except in core headers) a reserved byte.
bool ReadColorTable(ByteCursor& in, const DibHeader& header, bool core, std::vector<uint8_t>& palette)
{
    if (header.bitsPerPixel > 8)
        return true;
    uint32_t full = 1u << header.bitsPerPixel;
    uint32_t count = header.colorsUsed != 0 && header.colorsUsed < full ? header.colorsUsed : full;
    for (uint32_t i = 0; i < count && !in.Failed(); ++i) {
        uint8_t blue = in.U8(), green = in.U8(), red = in.U8();
        if (!core)
            in.U8();
        palette.insert(palette.end(), {red, green, blue});
    }
    return !in.Failed();
}

bool ReadLocalPalette(ByteCursor& in, std::vector<uint8_t>& palette, std::string& error)
{
    uint16_t tag = in.U16();
    in.U16();  // the record's size; the count says how many colours follow
    uint16_t count = in.U16();
    if (in.Failed())
        return Fail(error, "the palette record runs past the end of the file");
    if (tag != kPaletteTag)
        return Fail(error, "no palette record (tag " + Number(tag) + " instead of 257)");
    if (count > kMaxPaletteColors)
        return Fail(error, "palette of " + Number(count) + " colours (at most 2048)");
    if (!in.CopyTo(palette, size_t(count) * 3))
        return Fail(error, "the palette's " + Number(count) + " colours run past the end of the file");
    return true;
}

bool ChoosePalette(ByteCursor& in, int paletteType, const std::vector<uint8_t>& globalPalette,
                   std::vector<uint8_t>& palette, std::string& error)
{
    switch (paletteType) {
    case PaletteOwn:
        return Fail(error, "deflated bits need a palette type other than 0");
    case PaletteGlobal:
        if (globalPalette.empty())
            return Fail(error, "the image uses the global palette, which the file lacks");
        palette = globalPalette;
        return true;
    case PaletteLocal:
        return ReadLocalPalette(in, palette, error);
    case PaletteMono:
        palette.assign(std::begin(kMonoPalette), std::end(kMonoPalette));
        return true;
    default:
        palette.assign(std::begin(kTwoBitPalette), std::end(kTwoBitPalette));
        return true;
    }
}

// Inflates a zlib stream into `bits`, which must come out exactly full.
bool Inflate(const uint8_t* packed, size_t packedSize, std::vector<uint8_t>& bits, std::string& error)
{
    z_stream stream = {};
    if (inflateInit(&stream) != Z_OK)
        return Fail(error, "zlib could not start");
    stream.next_in = const_cast<Bytef*>(packed);
    stream.avail_in = uInt(packedSize);
    stream.next_out = bits.data();
    stream.avail_out = uInt(bits.size());
    int result = inflate(&stream, Z_FINISH);
    std::string message = stream.msg ? stream.msg : "";
    size_t produced = stream.total_out;
    inflateEnd(&stream);
    if (result == Z_STREAM_END && produced == bits.size())
        return true;
    if (result == Z_STREAM_END)
        return Fail(error, "the bits inflate to " + Number(produced) + " bytes, not " + Number(bits.size()));
    if (result == Z_BUF_ERROR && stream.avail_out == 0)
        return Fail(error, "the bits inflate to more than " + Number(bits.size()) + " bytes");
    if (result == Z_BUF_ERROR)
        return Fail(error, "the zlib data ends early");
    return Fail(error, "the zlib data is broken (" + (message.empty() ? "code " + Number(result) : message) + ")");
}

// DIB rows (bottom row first unless the height is negative) into the image.
void Unpack(const std::vector<uint8_t>& bits, const DibHeader& header, DibImage& image)
{
    int width = image.width = int(header.width);
    int height = image.height = int(header.height < 0 ? -header.height : header.height);
    int depth = image.bitsPerPixel = header.bitsPerPixel;
    size_t stride = Stride(width, depth);
    size_t pixels = size_t(width) * size_t(height);
    if (depth <= 8)
        image.index.assign(pixels, 0);
    else
        image.rgb.assign(pixels * 3, 0);
    for (int y = 0; y < height; ++y) {
        size_t row = size_t(header.height < 0 ? y : height - 1 - y) * stride;
        size_t out = size_t(y) * size_t(width);
        for (int x = 0; x < width; ++x, ++out) {
            switch (depth) {
            case 1:
                image.index[out] = (bits[row + x / 8] >> (7 - x % 8)) & 1;
                break;
            case 2:
                image.index[out] = (bits[row + x / 4] >> (6 - 2 * (x % 4))) & 3;
                break;
            case 4:
                image.index[out] = (bits[row + x / 2] >> (x % 2 ? 0 : 4)) & 15;
                break;
            case 8:
                image.index[out] = bits[row + x];
                break;
            case 16: {  // 5-5-5
                unsigned value = bits[row + 2 * x] | bits[row + 2 * x + 1] << 8;
                unsigned fields[3] = {(value >> 10) & 31, (value >> 5) & 31, value & 31};
                for (int c = 0; c < 3; ++c)
                    image.rgb[out * 3 + c] = uint8_t(fields[c] << 3 | fields[c] >> 2);
                break;
            }
            default: {  // 24 and 32: B, G, R (, unused)
                size_t at = row + size_t(x) * (depth / 8);
                for (int c = 0; c < 3; ++c)
                    image.rgb[out * 3 + c] = bits[at + 2 - c];
                break;
            }
            }
        }
    }
}

// A complete BMP file at the cursor: file header, info or core header, colour
// table, and the bits at the file header's offset from the block's start.
bool DecodeBmp(ByteCursor& in, DibImage& image, std::string& error)
{
    size_t start = in.Position();
    uint16_t magic = in.U16();
    in.Skip(8);  // file size and reserved: the headers say what there is
    uint32_t bitsOffset = in.U32();
    uint32_t headerBytes = in.U32();
    if (in.Failed())
        return Fail(error, "the BMP header runs past the end of the file");
    if (magic != kBmpMagic)
        return Fail(error, "no BMP file here (no \"BM\")");
    DibHeader header;
    bool core = headerBytes == kCoreHeaderBytes;
    if (core)
        ReadCoreHeader(in, header);
    else if (headerBytes == kInfoHeaderBytes)
        ReadInfoHeader(in, headerBytes, header);
    else
        return Fail(error, "BMP header of " + Number(headerBytes) + " bytes (40 or 12 expected)");
    if (in.Failed())
        return Fail(error, "the BMP header runs past the end of the file");
    if (!CheckHeader(header, error))
        return false;
    if (!ReadColorTable(in, header, core, image.palette))
        return Fail(error, "the BMP colour table runs past the end of the file");
    if (bitsOffset >= in.Size() - start || !in.Seek(start + bitsOffset))
        return Fail(error, "the BMP bits (at " + Number(bitsOffset) + ") lie past the end of the file");

    size_t stride = Stride(int(header.width), header.bitsPerPixel);
    size_t height = size_t(header.height < 0 ? -header.height : header.height);
    std::vector<uint8_t> bits;
    bool rle8 = header.compression == CompressionRle8 && header.bitsPerPixel == 8;
    bool rle4 = header.compression == CompressionRle4 && header.bitsPerPixel == 4;
    if (header.compression == CompressionNone) {
        if (!in.CopyTo(bits, stride * height))
            return Fail(error, "the BMP bits (" + Number(stride * height) + " bytes) run past the end of the file");
    } else if ((rle8 || rle4) && header.height > 0) {
        ByteCursor data = in.Take(in.Remaining());
        if (!ExpandRle(data, header.bitsPerPixel, int(height), stride, bits, error))
            return false;
    } else {
        return Fail(error, "BMP compression " + Number(header.compression) + " with " +
                               Number(header.bitsPerPixel) + " bits a pixel" +
                               (header.height < 0 ? ", top row first," : "") + " is not supported");
    }
    Unpack(bits, header, image);
    return true;
}

// Deflated DIB bits at the cursor: [local palette], the bitmap header without
// a colour table, the inflated and the compressed size, the zlib stream.
bool DecodeDeflated(ByteCursor& in, int paletteType, const std::vector<uint8_t>& globalPalette,
                    DibImage& image, std::string& error)
{
    if (!ChoosePalette(in, paletteType, globalPalette, image.palette, error))
        return false;
    uint32_t headerBytes = in.U32();
    if (!in.Failed() && (headerBytes < kInfoHeaderBytes || headerBytes > kMaxInfoHeaderBytes))
        return Fail(error, "bitmap header of " + Number(headerBytes) + " bytes (40 to 240 expected)");
    DibHeader header;
    ReadInfoHeader(in, headerBytes, header);
    uint32_t declared = in.U32();
    uint32_t packedSize = in.U32();
    if (in.Failed())
        return Fail(error, "the image header runs past the end of the file");
    if (!CheckHeader(header, error))
        return false;
    if (header.compression != CompressionNone)
        return Fail(error, "deflated bits with BMP compression " + Number(header.compression));
    size_t stride = Stride(int(header.width), header.bitsPerPixel);
    size_t want = stride * size_t(header.height < 0 ? -header.height : header.height);
    if (declared != want)
        return Fail(error, "the bits are said to inflate to " + Number(declared) + " bytes; " +
                               Number(header.width) + " x " + Number(header.height) + " pixels at " +
                               Number(header.bitsPerPixel) + " bits take " + Number(want));
    const uint8_t* packed = in.Bytes(packedSize);
    if (!packed)
        return Fail(error, "the compressed bits (" + Number(packedSize) + " bytes) run past the end of the file");
    std::vector<uint8_t> bits(want);
    if (!Inflate(packed, packedSize, bits, error))
        return false;
    Unpack(bits, header, image);
    return true;
}

void PutPixel(std::vector<uint8_t>& bits, size_t stride, int bitsPerPixel, size_t x, size_t y, uint8_t value)
{
    uint8_t& byte = bits[y * stride + (bitsPerPixel == 8 ? x : x / 2)];
    if (bitsPerPixel == 8)
        byte = value;
    else if (x % 2 == 0)
        byte = uint8_t((byte & 0x0F) | value << 4);
    else
        byte = uint8_t((byte & 0xF0) | value);
}

}  // namespace

void ImageColor(const DibImage& image, size_t pixel, uint8_t rgb[3])
{
    if (image.bitsPerPixel > 8) {
        for (int c = 0; c < 3; ++c)
            rgb[c] = image.rgb[pixel * 3 + c];
        return;
    }
    size_t at = size_t(image.index[pixel]) * 3;
    for (int c = 0; c < 3; ++c)
        rgb[c] = at + 2 < image.palette.size() ? image.palette[at + c] : 0;
}

bool ExpandRle(ByteCursor& data, int bitsPerPixel, int height, size_t stride, std::vector<uint8_t>& bits,
               std::string& error)
{
    bits.assign(stride * size_t(height), 0);
    size_t rowPixels = stride * 8 / size_t(bitsPerPixel);
    size_t x = 0, y = 0;  // y counts rows from the bottom, as they are stored
    for (;;) {
        uint8_t count = data.U8();
        uint8_t value = data.U8();
        if (data.Failed())
            return Fail(error, "the RLE data ends without an end mark");
        size_t run = count;
        ByteCursor literal(nullptr, 0);
        if (count == 0) {
            if (value == 0) {  // end of line
                x = 0;
                ++y;
                continue;
            }
            if (value == 1)  // end of picture
                return true;
            if (value == 2) {  // move right and up
                x += data.U8();
                y += data.U8();
                if (data.Failed())
                    return Fail(error, "the RLE data ends without an end mark");
                continue;
            }
            // `value` pixels given one by one, padded to an even number of bytes
            run = value;
            size_t bytes = bitsPerPixel == 8 ? run : (run + 1) / 2;
            literal = data.Take(bytes);
            data.Skip(bytes % 2);
            if (data.Failed())
                return Fail(error, "the RLE data ends without an end mark");
        }
        if (y >= size_t(height))
            return Fail(error, "the RLE data runs past the last row");
        if (x + run > rowPixels)
            return Fail(error, "an RLE run passes the end of row " + Number(int64_t(y)) + " from the bottom");
        uint8_t pair = value;  // RLE4: the two indices that take turns
        for (size_t i = 0; i < run; ++i, ++x) {
            if (count == 0 && (bitsPerPixel == 8 || i % 2 == 0))
                pair = literal.U8();
            uint8_t pixel = bitsPerPixel == 8 ? pair : (i % 2 == 0 ? pair >> 4 : pair & 15);
            PutPixel(bits, stride, bitsPerPixel, x, y, pixel);
        }
    }
}

bool DecodeImage(const std::vector<uint8_t>& file, const ArtImageRef& ref,
                 const std::vector<uint8_t>& globalPalette, DibImage& image, std::string& error)
{
    image = DibImage();
    if (ref.format != FormatBmp && ref.format != FormatDeflate)
        return Fail(error, "image format " + Number(ref.format) + " is unknown");
    if (ref.palette > PaletteDualMask)
        return Fail(error, "palette type " + Number(ref.palette) + " is unknown");
    ByteCursor in(file);
    if (ref.offset >= file.size() || !in.Seek(ref.offset))
        return Fail(error, "offset " + Number(ref.offset) + " lies past the end of the file (" +
                               Number(file.size()) + " bytes)");
    if (ref.format == FormatBmp)
        return DecodeBmp(in, image, error);
    return DecodeDeflated(in, ref.palette, globalPalette, image, error);
}
