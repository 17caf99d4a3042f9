// Reads art files whole and prints one line each: OK, or the reader's error.
//   mirth_artcheck [--png DIR] FILE...
// A character is read with every image it names, its first neutral figure and
// its icon; a backdrop (.bgb or BMP) is decoded. With --png, the neutral
// figure (also flipped), the icon and each backdrop are written to DIR as PNG,
// figures over a pale blue.
#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "chatart/chat_art.h"

namespace {

const uint8_t kBackground[3] = {200, 220, 255};

bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

void PutU32(std::string& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += char(value >> shift);
}

void PutChunk(std::string& out, const char* type, const std::string& data)
{
    PutU32(out, uint32_t(data.size()));
    std::string body = type + data;
    out += body;
    PutU32(out, uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()))));
}

// An 8-bit RGB PNG of the pixels over kBackground.
bool WritePng(const std::string& path, const Pixels& pixels)
{
    std::string rows;
    for (int y = 0; y < pixels.height; ++y) {
        rows += '\0';  // no filter
        for (int x = 0; x < pixels.width; ++x) {
            size_t at = size_t(y) * pixels.stride + size_t(x) * 4;
            for (int c = 0; c < 3; ++c)
                rows += char(pixels.bytes[at + 3] ? pixels.bytes[at + c] : kBackground[c]);
        }
    }
    std::vector<Bytef> packed(compressBound(uLong(rows.size())));
    uLongf packedSize = packed.size();
    if (compress2(packed.data(), &packedSize, reinterpret_cast<const Bytef*>(rows.data()), uLong(rows.size()), 9) != Z_OK)
        return false;
    std::string header;
    PutU32(header, uint32_t(pixels.width));
    PutU32(header, uint32_t(pixels.height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace
    std::string png = "\x89PNG\r\n\x1a\n";
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", std::string(packed.begin(), packed.begin() + packedSize));
    PutChunk(png, "IEND", "");
    std::ofstream out(path, std::ios::binary);
    out << png;
    return bool(out);
}

std::string BaseName(const std::string& path)
{
    std::string name = path.substr(path.find_last_of('/') + 1);
    return name.substr(0, name.find_last_of('.'));
}

bool IsBackdrop(const std::vector<uint8_t>& file)
{
    if (file.size() >= 2 && file[0] == 'B' && file[1] == 'M')
        return true;
    return file.size() >= 4 && file[0] == 0x81 && file[1] == 0x81 && file[2] == 3 && file[3] == 0;
}

bool CheckBackdrop(const std::string& path, const std::vector<uint8_t>& file, const std::string& pngDir,
                   std::string& result)
{
    Pixels backdrop;
    if (!ReadBackdrop(path, file, backdrop, result))
        return false;
    result = "backdrop " + std::to_string(backdrop.width) + " x " + std::to_string(backdrop.height);
    if (!pngDir.empty())
        WritePng(pngDir + "/" + BaseName(path) + "_backdrop.png", backdrop);
    return true;
}

bool CheckCharacter(const std::string& path, std::vector<uint8_t> file, const std::string& pngDir,
                    std::string& result)
{
    Character character;
    if (!ReadCharacter(path, std::move(file), character, result) || !CheckCharacterImages(character, result))
        return false;
    bool simple = character.kind == CharacterKind::Simple;
    Pose neutral;
    neutral.face = NextNeutral(simple ? character.bodies : character.faces, -1);
    neutral.torso = simple ? 0 : NextNeutral(character.torsos, -1);
    Figure figure, flipped;
    Pixels icon;
    if (!ComposeFigure(character, neutral, false, figure, result) ||
        !ComposeFigure(character, neutral, true, flipped, result))
        return false;
    bool hasIcon = character.icon.offset != 0;
    if (hasIcon && !ReadIcon(character, icon, result))
        return false;
    result = simple ? "simple, " + std::to_string(character.bodies.size()) + " bodies"
                    : "complex, " + std::to_string(character.faces.size()) + " faces, " +
                          std::to_string(character.torsos.size()) + " torsos";
    result += ", neutral " + std::to_string(neutral.face) + (simple ? "" : "+" + std::to_string(neutral.torso)) +
              " " + std::to_string(figure.pixels.width) + " x " + std::to_string(figure.pixels.height) +
              (hasIcon ? "" : ", no icon");
    if (!pngDir.empty()) {
        std::string stem = pngDir + "/" + BaseName(path);
        WritePng(stem + "_neutral.png", figure.pixels);
        WritePng(stem + "_flipped.png", flipped.pixels);
        if (hasIcon)
            WritePng(stem + "_icon.png", icon);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string pngDir;
    int first = 1;
    if (argc > 2 && std::string(argv[1]) == "--png") {
        pngDir = argv[2];
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: mirth_artcheck [--png DIR] FILE...\n");
        return 2;
    }
    int failed = 0;
    for (int i = first; i < argc; ++i) {
        std::string path = argv[i], result;
        std::vector<uint8_t> file;
        bool ok;
        if (!ReadFile(path, file)) {
            ok = false;
            result = path + ": cannot be read";
        } else if (IsBackdrop(file)) {
            ok = CheckBackdrop(path, file, pngDir, result);
        } else {
            ok = CheckCharacter(path, std::move(file), pngDir, result);
        }
        if (ok)
            std::printf("OK    %s: %s\n", path.c_str(), result.c_str());
        else
            std::printf("FAIL  %s\n", result.c_str());
        failed += !ok;
    }
    std::printf("%d files, %d OK, %d failed\n", argc - first, argc - first - failed, failed);
    return failed ? 1 : 0;
}
