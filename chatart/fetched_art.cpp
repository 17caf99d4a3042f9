#include "chatart/fetched_art.h"

#include "chatart/art_names.h"
#include "chatart/chat_art.h"

namespace {

bool EndsWith(const std::string& text, const char* suffix)
{
    std::string tail = suffix;
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

bool CheckFetchedArt(const std::string& fileName, const std::vector<uint8_t>& bytes, std::string& error)
{
    if (bytes.size() > kMaxFetchedArtBytes) {
        error = fileName + ": larger than 2 MiB";
        return false;
    }
    std::string lower = LowerAscii(fileName);
    if (EndsWith(lower, ".avb")) {
        Character character;
        return ReadCharacter(fileName, bytes, character, error) && CheckCharacterImages(character, error);
    }
    Pixels backdrop;
    return ReadBackdrop(fileName, bytes, backdrop, error);
}
