#include "tests/win/test_art.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/common/art_samples.h"
#include "tests/win/test_support.h"

namespace {

// A Unix path as Wine's drive Z: shows it.
std::string FromUnix(std::string path)
{
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return "Z:" + path;
}

}  // namespace

std::string TestArt(const std::string& name)
{
    std::string bytes;
    if (ReadWholeFile(FromUnix(MIRTH_SHARED_ART_DIR) + "\\" + name, bytes))
        return bytes;
    art_samples::Bytes made = name.find(".avb") != std::string::npos ? art_samples::ComplexCharacter(5)
                                                                      : art_samples::Backdrop();
    return std::string(made.begin(), made.end());
}

bool HaveMicrosoftArt()
{
    std::string bytes;
    return ReadWholeFile(FromUnix(MIRTH_SHARED_ART_DIR) + "\\scotty.avb", bytes);
}

std::string ArtServerFolder()
{
    return FromUnix(MIRTH_ART_SERVER_DIR);
}

std::string ArtServerAddress(const std::string& mode)
{
    std::string port;
    EXPECT_TRUE(ReadWholeFile(ArtServerFolder() + "\\port", port)) << "the art server is not running";
    return "http://127.0.0.1:" + port + "/" + mode + "/";
}

std::string ArtServerRequests()
{
    std::string log = ArtServerFolder() + "\\requests";
    std::string requests;
    ReadWholeFile(log, requests);
    DeleteFileA(log.c_str());
    return requests;
}

void InstallTestArt(const std::string& folder)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* name : {"scotty.avb", "lance.avb", "margaret.avb", "den.bgb", "room.bgb"})
        ASSERT_TRUE(WriteWholeFile(folder + "\\" + name, TestArt(name))) << name;
}
