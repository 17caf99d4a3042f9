// What the tests of the art reader share: pictures spelled out as letters and
// the whole read of a file, as the program will do it.
#pragma once

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "chatart/chat_art.h"

// One letter a pixel, rows ended by '\n': '.' transparent, w white, k black,
// r red, g green, b blue, ? any other colour.
inline std::string Picture(const Pixels& pixels)
{
    std::string picture;
    for (int y = 0; y < pixels.height; ++y) {
        for (int x = 0; x < pixels.width; ++x) {
            const uint8_t* p = &pixels.bytes[size_t(y) * pixels.stride + size_t(x) * 4];
            char letter = '?';
            if (p[3] == 0)
                letter = '.';
            else if (p[3] != 255)
                letter = '?';
            else if (p[0] == 255 && p[1] == 255 && p[2] == 255)
                letter = 'w';
            else if (p[0] == 0 && p[1] == 0 && p[2] == 0)
                letter = 'k';
            else if (p[0] == 255 && p[1] == 0 && p[2] == 0)
                letter = 'r';
            else if (p[0] == 0 && p[1] == 255 && p[2] == 0)
                letter = 'g';
            else if (p[0] == 0 && p[1] == 0 && p[2] == 255)
                letter = 'b';
            picture += letter;
        }
        picture += '\n';
    }
    return picture;
}

// A backdrop (the file starts with "BM", or is a .bgb: type 3) or a character.
inline bool IsBackdropFile(const std::vector<uint8_t>& file)
{
    if (file.size() >= 2 && file[0] == 'B' && file[1] == 'M')
        return true;
    return file.size() >= 4 && file[0] == 0x81 && file[1] == 0x81 && file[2] == 3 && file[3] == 0;
}

// Reads a file whole: a backdrop; or a character with every image it names,
// its first neutral figure, flipped too, and its icon.
inline bool ReadWhole(const std::string& name, const std::vector<uint8_t>& file, std::string& error)
{
    if (IsBackdropFile(file)) {
        Pixels backdrop;
        return ReadBackdrop(name, file, backdrop, error);
    }
    Character character;
    if (!ReadCharacter(name, file, character, error) || !CheckCharacterImages(character, error))
        return false;
    bool simple = character.kind == CharacterKind::Simple;
    Pose pose;
    pose.face = NextNeutral(simple ? character.bodies : character.faces, -1);
    pose.torso = simple ? 0 : NextNeutral(character.torsos, -1);
    Figure figure;
    Pixels icon;
    return ComposeFigure(character, pose, false, figure, error) &&
           ComposeFigure(character, pose, true, figure, error) &&
           (character.icon.offset == 0 || ReadIcon(character, icon, error));
}

inline std::vector<uint8_t> LoadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
