// Bytes as readable hex ("96 7B 95 B6"), for test messages and raw-byte pins.
#pragma once

#include <string>

inline std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char byte : bytes) {
        if (!hex.empty())
            hex += ' ';
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
    }
    return hex;
}
