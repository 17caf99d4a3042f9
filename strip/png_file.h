// Writing a picture as a PNG file through the Windows Imaging Component.
#pragma once

#include <cstdint>
#include <string>

// Writes a top-down 32-bit BGRX bitmap (`stride` bytes a row) as a PNG with a
// palette of the picture's colours (8-bit RGB where the encoder takes no
// palette). On failure `error` holds the system's error code in hexadecimal.
bool WritePngFile(const std::string& path, const uint8_t* bgrx, int width, int height, int stride,
                  std::string& error);
