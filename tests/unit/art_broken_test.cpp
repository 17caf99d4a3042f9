// Broken art files: each gives an error that names the file and says what is
// wrong; none crashes, hangs or allocates from an unchecked size (the ASan
// build runs these too).
#include <gtest/gtest.h>

#include "chatart/chat_art.h"
#include "tests/common/art_samples.h"
#include "tests/unit/art_test_support.h"

namespace {

using namespace art_samples;

// Where things stand in ComplexCharacter(5): the header (6 bytes), flags
// (4), icon (10), the face list (4 + 33), the torso list (4 + 25), tag 6, and
// the head's image block; in that block the fields of the bitmap header, the
// two sizes and the zlib stream.
const size_t kFaceCountAt = 22;
const size_t kFaceAt = 24;
const size_t kHeadAt = 88;
const size_t kWidth = 4, kHeight = 8, kBitsPerPixel = 14, kInflatedSize = 40, kCompressedSize = 44, kZlib = 48;

void Put32(Bytes& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.at(at + size_t(i)) = uint8_t(value >> 8 * i);
}

// Expects the whole read of `file` to fail with "broken.avb: " and `what` in the error.
void ExpectError(const Bytes& file, const std::string& what)
{
    std::string error;
    EXPECT_FALSE(ReadWhole("broken.avb", file, error)) << "want an error with: " << what;
    EXPECT_EQ(error.rfind("broken.avb: ", 0), 0u) << error;
    EXPECT_NE(error.find(what), std::string::npos) << "got: " << error << "\nwant: " << what;
}

TEST(BrokenArt, EveryTruncationIsAnErrorNamingTheFile)
{
    // Every byte is needed but the final tag 7 of the art files.
    struct Sample {
        const char* name;
        Bytes file;
        size_t unneeded;
    } samples[] = {{"complex", ComplexCharacter(5), 2}, {"chat 1.0", OldCharacter(), 2},
                   {"simple", SimpleCharacter(), 2},    {"bgb", Backdrop(), 2},
                   {"bmp", BmpBackdrop(), 0}};
    for (const Sample& sample : samples) {
        size_t needed = sample.file.size() - sample.unneeded;
        for (size_t size = 0; size < needed; ++size) {
            std::string error;
            Bytes cut(sample.file.begin(), sample.file.begin() + long(size));
            ASSERT_FALSE(ReadWhole("broken.avb", cut, error)) << sample.name << " cut to " << size << " bytes";
            ASSERT_EQ(error.rfind("broken.avb: ", 0), 0u) << error;
        }
    }
}

TEST(BrokenArt, HugeSizesAndOffsetsPastTheEnd)
{
    Bytes file = ComplexCharacter(5);
    Character character;
    std::string error;
    Bytes broken = file;
    Put32(broken, kFaceAt, 123456);
    EXPECT_FALSE(ReadCharacter("broken.avb", broken, character, error));
    EXPECT_EQ(error, "broken.avb: face 0: drawing offset 123456 lies past the end of the file (" +
                         std::to_string(file.size()) + " bytes)");

    struct Case {
        size_t at;
        uint32_t value;
        const char* what;
    } cases[] = {
        {kHeadAt + kWidth, 100000, "face 0: drawing: the image is 100000 x 3 pixels (1 to 4096 a side)"},
        {kHeadAt + kHeight, uint32_t(-5000), "the image is 4 x -5000 pixels"},
        {kHeadAt + kInflatedSize, 0xFFFFFFFF, "said to inflate to 4294967295 bytes; 4 x 3 pixels at 2 bits take 12"},
        {kHeadAt + kCompressedSize, 0xFFFFFFF0, "the compressed bits (4294967280 bytes) run past the end of the file"},
        {kHeadAt + kBitsPerPixel, 24 << 16 | 1, "deflated bits with BMP compression 24"},
        {kHeadAt + kBitsPerPixel, 8, "the masked-mono drawing has 8 bits a pixel, not 2"},
    };
    for (const Case& c : cases) {
        broken = file;
        Put32(broken, c.at, c.value);
        ExpectError(broken, c.what);
    }

    broken = file;
    broken[kFaceCountAt] = broken[kFaceCountAt + 1] = 0xFF;
    ExpectError(broken, "65535 face records of 33 bytes run past the end of the file");

    ExpectError(Bytes(kMaxArtFileBytes + 1, 0), "the file is 8388609 bytes (at most 8388608)");
}

TEST(BrokenArt, CheckingStopsAtSixteenLargestImagesOfPixels)
{
    // Seventeen faces, each with its own 4096 x 4096 drawing.
    ArtFile file(0x8181, 2);
    Bytes huge = DeflatedImage(4096, 4096, 2, Bytes(size_t(4096) * 4096, 0));
    std::vector<Record> faces(17);
    for (Record& face : faces) {
        face.drawing = file.AddImage(huge);
        face.fields = {0, 0, 0, 0, 0, 0};
    }
    Record body = faces[0];
    body.fields = {0, 0};
    PutRecords(file, 10, faces);
    PutRecords(file, 11, {body});
    ExpectError(file.Finish(), "broken.avb: the images up to face 16 hold more than 268435456 pixels in all");
}

TEST(BrokenArt, BrokenZlibAndBitsOfTheWrongSize)
{
    Bytes file = ComplexCharacter(5);
    Bytes broken = file;
    broken[kHeadAt + kZlib] ^= 0xFF;
    ExpectError(broken, "face 0: drawing: the zlib data is broken (incorrect header check)");
    broken = file;
    size_t zlibEnd = kHeadAt + kZlib + broken[kHeadAt + kCompressedSize];
    broken[zlibEnd - 1] ^= 0xFF;  // the checksum
    ExpectError(broken, "face 0: drawing: the zlib data is broken (incorrect data check)");

    // The head's 4 x 3 pixels take 12 bytes; the streams hold 8 and 16.
    for (size_t size : {8, 16}) {
        ArtFile odd(0x8181, 2);
        Bytes packed = Compress(Bytes(size, 0));
        Bytes block;
        PutInfoHeader(block, 4, 3, 2, 0, 0);
        PutU32(block, 12);
        PutU32(block, uint32_t(packed.size()));
        PutBytes(block, packed);
        Record face, body;
        face.drawing = body.drawing = odd.AddImage(block);
        face.fields = {0, 0, 0, 0, 0, 0};
        body.fields = {0, 0};
        PutRecords(odd, 10, {face});
        PutRecords(odd, 11, {body});
        ExpectError(odd.Finish(), size == 8 ? "the bits inflate to 8 bytes, not 12"
                                            : "the bits inflate to more than 12 bytes");
    }
}

TEST(BrokenArt, RleThatRunsPastTheImage)
{
    const Bytes colours = {0, 0, 0, 255, 255, 255};
    struct Case {
        Bytes rle;
        const char* what;
    } cases[] = {
        {{0, 0, 0, 0, 2, 1, 0, 1}, "the RLE data runs past the last row"},           // 2 rows, a run on a third
        {{0, 2, 0, 5, 1, 1, 0, 1}, "the RLE data runs past the last row"},           // moved down past it
        {{5, 1, 0, 1}, "an RLE run passes the end of row 0 from the bottom"},         // 5 pixels in a row of 4
        {{0, 5, 1, 1, 1, 1, 1, 0, 0, 1}, "an RLE run passes the end of row 0"},       // a literal of 5
        {{2, 1, 0, 0}, "the RLE data ends without an end mark"},
        {{0, 9, 1, 1}, "the RLE data ends without an end mark"},                      // a literal cut short
    };
    for (const Case& c : cases)
        ExpectError(BmpFile(3, 2, 8, colours, c.rle, 1), c.what);
    ExpectError(BmpFile(3, 2, 4, colours, {9, 0x11, 0, 1}, 2), "an RLE run passes the end of row 0");
    ExpectError(BmpFile(3, -2, 4, colours, {2, 0x11, 0, 1}, 2), "BMP compression 2 with 4 bits a pixel, top row first,");
}

TEST(BrokenArt, BadStructure)
{
    Bytes file = ComplexCharacter(5);
    struct Case {
        size_t at;
        uint8_t value;
        const char* what;
    } cases[] = {
        {0, 0x42, "not a character file (it starts with 0x8142)"},
        {2, 3, "tag 2 at 6 has no place in a backdrop file"},
        {2, 7, "character type 7 is unknown"},
        {6, 99, "tag 99 at 6 is unknown to a complex character"},
        {kFaceCountAt - 2, 12, "tag 12 at 20 is unknown to a complex character"},
        {18, 9, "icon format 9 is unknown"},
        {19, 6, "icon palette type 6 is unknown"},
        {kHeadAt, 32, "bitmap header of 32 bytes (40 to 240 expected)"},
    };
    for (const Case& c : cases) {
        Bytes broken = file;
        broken[c.at] = c.value;
        ExpectError(broken, c.what);
    }

    Character character;
    Pixels backdrop;
    std::string error;
    EXPECT_FALSE(ReadCharacter("broken.avb", Backdrop(), character, error));
    EXPECT_EQ(error, "broken.avb: a backdrop, not a character");
    EXPECT_FALSE(ReadBackdrop("broken.bgb", file, backdrop, error));
    EXPECT_EQ(error, "broken.bgb: file type 2, not a backdrop (3)");

    ArtFile noImage(0x8181, 3);
    noImage.SizedTag(259, Bytes{'(', 'c', ')', 0});
    EXPECT_FALSE(ReadBackdrop("broken.bgb", noImage.Finish(), backdrop, error));
    EXPECT_EQ(error, "broken.bgb: no backdrop image (tag 258) before the image data");
    EXPECT_FALSE(ReadBackdrop("broken.bgb", BmpFile(1, 1, 8, {0, 0, 0}, {0, 0, 0, 0}, 3), backdrop, error));
    EXPECT_EQ(error, "broken.bgb: backdrop image: BMP compression 3 with 8 bits a pixel is not supported");
}

}  // namespace
