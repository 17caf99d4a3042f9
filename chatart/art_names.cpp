#include "chatart/art_names.h"

#include <cstring>

namespace {

// The characters of the settings list and the backdrops of the settings list,
// each with the folder of Microsoft's repository that holds it. Art Pack 1 is
// the one the Chat 2.5 zip lacks.
struct PublishedFile {
    const char* name;
    const char* folder;
};

const PublishedFile kPublished[] = {
    {"anna.avb", "comicart"},     {"armando.avb", "comicart"}, {"bolo.avb", "comicart"},
    {"denise.avb", "comicart"},   {"hugh.avb", "comicart"},    {"jordan.avb", "comicart"},
    {"kevin.avb", "artpack1"},    {"kwensa.avb", "artpack1"},  {"lance.avb", "comicart"},
    {"lynnea.avb", "comicart"},   {"margaret.avb", "comicart"}, {"maynard.avb", "artpack1"},
    {"mike.avb", "comicart"},     {"rebecca.avb", "artpack1"}, {"sage.avb", "artpack1"},
    {"scotty.avb", "artpack1"},   {"susan.avb", "comicart"},   {"tiki.avb", "comicart"},
    {"tongtyed.avb", "comicart"}, {"xeno.avb", "comicart"},
    {"den.bgb", "artpack1"},      {"field.bgb", "comicart"},   {"pastoral.bgb", "comicart"},
    {"room.bgb", "comicart"},     {"volcano.bgb", "artpack1"},
};

bool IsNameCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

bool HasPrefix(const std::string& text, const char* prefix)
{
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

}  // namespace

std::string LowerAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool IsSafeArtFileName(const std::string& fileName)
{
    size_t dot = fileName.find('.');
    if (dot == 0 || dot == std::string::npos || dot + 1 == fileName.size())
        return false;
    for (size_t i = 0; i < fileName.size(); ++i)
        if (i != dot && !IsNameCharacter(fileName[i]))
            return false;
    return true;
}

std::string CharacterFileName(const std::string& character)
{
    return character + ".avb";
}

std::vector<std::string> BackdropFileNames(const std::string& backdrop)
{
    if (backdrop.find('.') != std::string::npos)
        return {backdrop};
    return {backdrop + ".bgb", backdrop + ".bmp"};
}

std::string PublishedArtPath(const std::string& fileName)
{
    std::string lower = LowerAscii(fileName);
    for (const PublishedFile& file : kPublished)
        if (lower == file.name)
            return std::string(file.folder) + "/" + file.name;
    return "";
}

std::string ArtSourceBase(const std::string& url)
{
    std::string lower = LowerAscii(url);
    if (!HasPrefix(lower, "http://") && !HasPrefix(lower, "https://"))
        return "";
    if (url.back() == '/')
        return url;
    return url + "/";
}
