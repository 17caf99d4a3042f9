// Whole files, folders and pictures, for the Windows tests and the renderer's
// benchmark alike (no GoogleTest here).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

void DeleteTree(const std::string& folder);
bool Exists(const std::string& path);
bool ReadWholeFile(const std::string& path, std::string& bytes);
bool WriteWholeFile(const std::string& path, const std::string& bytes);

// A picture file as its pixels.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> bgra;  // top row first

    int Grey(int x, int y) const
    {
        const uint8_t* p = &bgra[(static_cast<size_t>(y) * width + x) * 4];
        return (p[0] + p[1] + p[2]) / 3;
    }
};

// Decodes a picture file with WIC; false (with the reason) when it can't.
bool Decode(const std::string& path, Picture& picture, std::string& error);
