// Reading a character file (.avb): the header, the tag list and the face,
// torso and body records; and checking every image they name.
#include <array>
#include <cstdio>
#include <set>

#include "chatart/art_file.h"
#include "chatart/byte_cursor.h"
#include "chatart/chat_art.h"
#include "chatart/dib_image.h"
#include "chatart/pose_planes.h"

namespace {

// What checking a character's images may decode in all: far more than any
// character needs (Chat's largest hold some 4 million pixels), and a bound
// on the time a file of offsets to large images would take.
const size_t kMaxCheckedPixels = size_t(16) * kMaxArtImageSide * kMaxArtImageSide;

enum RecordKind { FaceRecords, TorsoRecords, BodyRecords };
const char* const kRecordNames[] = {"face", "torso", "body"};

// Old records (Chat 1.0) end in 16 padding bytes instead of the six format and
// palette bytes. Chat reads them through the same layout, so the first six
// padding bytes act as formats and palette types (zero: BMP files).
const size_t kOldPaddingBytes = 16;
const size_t kFormatBytes = 6;

size_t RecordBytes(RecordKind kind, bool old)
{
    size_t common = 12 + 2 + 1;  // three offsets, emotion, intensity
    size_t fields = kind == FaceRecords ? 12 : 4;
    return common + fields + (old ? kOldPaddingBytes : kFormatBytes);
}

std::string Number(int64_t value)
{
    return std::to_string(value);
}

std::string Hex(uint16_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

// Where the reading stands: the adjustment of the tags read so far.
struct TagReader {
    ByteCursor in;
    Character& character;
    int64_t adjustment = 0;
    std::string what;  // the error, without the file's name

    bool Fail(const std::string& text)
    {
        what = text;
        return false;
    }
};

// An image reference with its offset adjusted and checked against the file.
bool TakeImageRef(TagReader& reader, uint32_t stored, uint8_t format, uint8_t palette, const std::string& name,
                  ArtImageRef& ref)
{
    std::string reason;
    if (!AdjustOffset(stored, reader.adjustment, reader.character.file.size(), ref.offset, reason))
        return reader.Fail(name + " " + reason);
    if (ref.offset == 0)
        return true;
    if (format != FormatBmp && format != FormatDeflate)
        return reader.Fail(name + " format " + Number(format) + " is unknown");
    if (palette > PaletteDualMask)
        return reader.Fail(name + " palette type " + Number(palette) + " is unknown");
    ref.format = format;
    ref.palette = palette;
    return true;
}

bool ReadRecord(TagReader& reader, RecordKind kind, bool old, const std::string& name, PoseRecord& record)
{
    ByteCursor& in = reader.in;
    uint32_t offsets[3];
    for (uint32_t& offset : offsets)
        offset = in.U32();
    record.emotion = in.S16();
    record.intensity = in.U8();
    if (kind != BodyRecords) {
        record.neckX = in.S16();
        record.neckY = in.S16();
    }
    if (kind == FaceRecords) {
        record.deltaX = in.S16();
        record.deltaY = in.S16();
    }
    if (kind != TorsoRecords) {
        record.faceX = in.S16();
        record.faceY = in.S16();
    }
    uint8_t formats[3], palettes[3];
    for (uint8_t& format : formats)
        format = in.U8();
    for (uint8_t& palette : palettes)
        palette = in.U8();
    if (old)
        in.Skip(kOldPaddingBytes - kFormatBytes);

    // As Chat does: a masked-mono drawing holds the mask and the aura, and a
    // dual mask holds the aura; their own offsets are ignored.
    if (palettes[0] == PaletteMaskedMono)
        offsets[1] = offsets[2] = 0;
    else if (palettes[1] == PaletteDualMask && offsets[1] != 0)
        offsets[2] = 0;
    if (offsets[0] == 0)
        return reader.Fail(name + " has no drawing");
    return TakeImageRef(reader, offsets[0], formats[0], palettes[0], name + ": drawing", record.drawing) &&
           TakeImageRef(reader, offsets[1], formats[1], palettes[1], name + ": mask", record.mask) &&
           TakeImageRef(reader, offsets[2], formats[2], palettes[2], name + ": aura", record.aura);
}

bool ReadRecords(TagReader& reader, RecordKind kind, bool old, std::vector<PoseRecord>& records)
{
    ByteCursor& in = reader.in;
    uint16_t count = in.U16();
    size_t recordBytes = RecordBytes(kind, old);
    std::string kindName = kRecordNames[kind];
    if (in.Failed() || size_t(count) * recordBytes > in.Remaining())
        return reader.Fail(Number(count) + " " + kindName + " records of " + Number(recordBytes) +
                           " bytes run past the end of the file (" + Number(in.Size()) + " bytes)");
    records.assign(count, PoseRecord());
    for (size_t i = 0; i < count; ++i)
        if (!ReadRecord(reader, kind, old, kindName + " " + Number(i), records[i]))
            return false;
    return true;
}

bool ReadGlobalPalette(ByteCursor& in, std::vector<uint8_t>& palette, std::string& what)
{
    uint16_t count = in.U16();
    if (count > kMaxPaletteColors) {
        what = "the global palette has " + Number(count) + " colours (at most 2048)";
        return false;
    }
    if (in.Failed() || !in.CopyTo(palette, size_t(count) * 3)) {
        what = "the global palette's " + Number(count) + " colours run past the end of its tag";
        return false;
    }
    return true;
}

// A tag of 256 or more: its payload is `size` bytes, and the next tag follows
// them whatever the payload holds. Unknown ones are skipped.
bool ReadSizedTag(TagReader& reader, uint16_t tag, size_t start)
{
    ByteCursor& in = reader.in;
    uint16_t size = in.U16();
    ByteCursor payload = in.Take(size);
    std::string name = "tag " + Number(tag) + " at " + Number(start);
    if (in.Failed())
        return reader.Fail(name + ": its " + Number(size) + " bytes run past the end of the file");
    switch (tag) {
    case TagIcon: {
        uint32_t offset = payload.U32();
        uint8_t format = payload.U8();
        uint8_t palette = payload.U8();
        if (payload.Failed())
            return reader.Fail(name + " (icon): " + Number(size) + " bytes, 6 needed");
        return TakeImageRef(reader, offset, format, palette, "icon", reader.character.icon);
    }
    case TagPalette:
        return ReadGlobalPalette(payload, reader.character.palette, reader.what);
    case TagOffsetAdjustment: {
        int32_t adjustment = payload.S32();
        if (payload.Failed())
            return reader.Fail(name + " (offset adjustment): " + Number(size) + " bytes, 4 needed");
        reader.adjustment += adjustment;
        return true;
    }
    default:
        return true;
    }
}

// The face, torso and body lists: faces and torsos belong to complex
// characters, bodies to simple ones.
bool ReadListTag(TagReader& reader, uint16_t tag, const std::string& name)
{
    Character& character = reader.character;
    bool complex = character.kind == CharacterKind::Complex;
    bool old = tag == TagOldFaces || tag == TagOldTorsos || tag == TagOldBodies;
    if (complex && (tag == TagOldFaces || tag == TagFaces))
        return ReadRecords(reader, FaceRecords, old, character.faces);
    if (complex && (tag == TagOldTorsos || tag == TagTorsos))
        return ReadRecords(reader, TorsoRecords, old, character.torsos);
    if (!complex && (tag == TagOldBodies || tag == TagBodies))
        return ReadRecords(reader, BodyRecords, old, character.bodies);
    return reader.Fail(name + " is unknown to a " + (complex ? "complex" : "simple") + " character");
}

// A tag below 256, whose content says how long it is.
bool ReadOldTag(TagReader& reader, uint16_t tag, size_t start)
{
    ByteCursor& in = reader.in;
    std::string name = "tag " + Number(tag) + " at " + Number(start);
    switch (tag) {
    case TagName:
        in.String();  // Chat shows the file's name instead
        break;
    case TagFlags:
        reader.character.flags = in.U16() & 0xFF;
        break;
    case TagStyle:
        in.U16();
        break;
    case TagOldIcon: {
        uint32_t offset = in.U32();
        if (!in.Failed())
            return TakeImageRef(reader, offset, FormatBmp, PaletteOwn, "icon", reader.character.icon);
        break;
    }
    default:
        return ReadListTag(reader, tag, name);
    }
    return !in.Failed() || reader.Fail(name + " runs past the end of the file");
}

bool ReadHeader(TagReader& reader)
{
    ByteCursor& in = reader.in;
    uint16_t magic = in.U16();
    uint16_t type = in.U16();
    in.U16();  // version: Chat takes any
    if (in.Failed())
        return reader.Fail("too short for a character file (" + Number(in.Size()) + " bytes)");
    if (magic == kBmpMagic)
        return reader.Fail("a BMP picture, not a character");
    if (magic != kOldArtMagic && magic != kNewArtMagic)
        return reader.Fail("not a character file (it starts with " + Hex(magic) + ")");
    if (type == kBackdropType)
        return reader.Fail("a backdrop, not a character");
    if (type != int(CharacterKind::Simple) && type != int(CharacterKind::Complex))
        return reader.Fail("character type " + Number(type) + " is unknown");
    reader.character.kind = CharacterKind(type);
    return true;
}

bool ReadTags(TagReader& reader)
{
    ByteCursor& in = reader.in;
    for (;;) {
        size_t start = in.Position();
        uint16_t tag = in.U16();
        if (in.Failed())
            return reader.Fail("the tag list runs past the end of the file (no tag 6)");
        if (tag == TagStartData)
            return true;
        bool read = tag >= TagFirstSized ? ReadSizedTag(reader, tag, start) : ReadOldTag(reader, tag, start);
        if (!read)
            return false;
    }
}

bool CheckRecordCounts(TagReader& reader)
{
    const Character& character = reader.character;
    if (character.kind == CharacterKind::Simple)
        return !character.bodies.empty() || reader.Fail("a simple character without bodies");
    if (character.faces.empty())
        return reader.Fail("a complex character without faces");
    return !character.torsos.empty() || reader.Fail("a complex character without torsos");
}

// Records that share a drawing ("ditto" lines) are decoded once.
typedef std::array<uint32_t, 9> PoseKey;

PoseKey KeyOf(const PoseRecord& record)
{
    return {record.drawing.offset, record.drawing.format, record.drawing.palette,
            record.mask.offset,    record.mask.format,    record.mask.palette,
            record.aura.offset,    record.aura.format,    record.aura.palette};
}

bool CheckPose(const Character& character, const PoseRecord& record, const std::string& name,
               std::set<PoseKey>& checked, size_t& decodedPixels, std::string& error)
{
    if (!checked.insert(KeyOf(record)).second)
        return true;
    PosePlanes planes;
    if (!DecodePosePlanes(character, record, planes, error))
        return ArtError(error, character.fileName, name + ": " + error);
    decodedPixels += planes.decodedPixels;
    if (decodedPixels > kMaxCheckedPixels)
        return ArtError(error, character.fileName,
                        "the images up to " + name + " hold more than " + Number(int64_t(kMaxCheckedPixels)) +
                            " pixels in all");
    return true;
}

}  // namespace

bool ReadCharacter(const std::string& fileName, std::vector<uint8_t> file, Character& character, std::string& error)
{
    character = Character();
    character.fileName = fileName;
    if (file.size() > kMaxArtFileBytes)
        return ArtError(error, fileName,
                        "the file is " + Number(file.size()) + " bytes (at most " + Number(kMaxArtFileBytes) + ")");
    character.file = std::move(file);
    TagReader reader = {ByteCursor(character.file), character};
    if (!ReadHeader(reader) || !ReadTags(reader) || !CheckRecordCounts(reader))
        return ArtError(error, fileName, reader.what);
    return true;
}

bool CheckCharacterImages(const Character& character, std::string& error)
{
    std::set<PoseKey> checked;
    size_t decodedPixels = 0;
    if (character.icon.offset != 0) {
        Pixels icon;
        if (!ReadIcon(character, icon, error))
            return false;
    }
    const std::vector<PoseRecord>* lists[] = {&character.faces, &character.torsos, &character.bodies};
    for (int kind = FaceRecords; kind <= BodyRecords; ++kind)
        for (size_t i = 0; i < lists[kind]->size(); ++i)
            if (!CheckPose(character, (*lists[kind])[i], kRecordNames[kind] + (" " + Number(int64_t(i))), checked,
                           decodedPixels, error))
                return false;
    return true;
}
