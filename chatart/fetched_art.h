// Whether a fetched art file may be kept. Portable: no windows.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

const size_t kMaxFetchedArtBytes = 2u << 20;

// A fetched file is kept only when it is at most 2 MiB and the reader reads
// it whole: every pose and the icon of a character, the picture of a backdrop.
bool CheckFetchedArt(const std::string& fileName, const std::vector<uint8_t>& bytes, std::string& error);
