#include "app/folder_rule.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Folded(std::string folder)
{
    FoldFolderCase(&folder[0]);
    return folder;
}

TEST(FolderRule, FoldsOnlyAsciiCapitalsAndLeavesDoubleByteCharactersAlone)
{
    EXPECT_EQ(Folded("D:\\Tools\\Mail"), "d:\\tools\\mail");
    // "Ｗ" (82 76) and "ｱ" stay; the second byte 0x5A ('Z') of "Z" after a lead
    // byte is part of a character and must not fold.
    EXPECT_EQ(Folded("C:\\Ｗ\\ｱABC"), "c:\\Ｗ\\ｱabc");
    EXPECT_EQ(Folded("C:\\\x83Z\\X"), "c:\\\x83Z\\x");
    // "ソ" ends in 0x5C: the next byte starts a new character.
    EXPECT_EQ(Folded("C:\\ソAB"), "c:\\ソab");
}

TEST(FolderRule, FindsMatchesOnlyOnCharacterBoundaries)
{
    const char* text = "c:\\ソ:\\win";
    EXPECT_EQ(FindOnCharBoundary(text, ":\\win"), text + 5);
    // "ソ" = 83 5C: a search for "\\w" must not start on its second byte.
    EXPECT_EQ(FindOnCharBoundary("c:\\ソwin", "\\w"), nullptr);
    // In "\x81\x40", 0x40 is the second byte; a search for "@" must skip it.
    EXPECT_EQ(FindOnCharBoundary("\x81\x40", "@"), nullptr);
    EXPECT_NE(FindOnCharBoundary("\x81\x40@", "@"), nullptr);
    EXPECT_EQ(FindOnCharBoundary("abc", "abcd"), nullptr);
}

TEST(FolderRule, WindowsFoldersAndDriveRootsAreUnsuitable)
{
    struct Case {
        const char* current;
        bool unsuitable;
    } cases[] = {
        {"C:\\Windows", true},
        {"C:\\WINNT\\System32", true},
        {"D:\\Win98\\System", true},
        {"C:\\WinApps\\Tool", true},  // a plain substring test
        {"C:\\", true},
        {"z:\\", true},
        {"D:\\Tools\\Mail", false},
        {"C:\\Users\\taro\\Mail\\win", false},
        {"\\\\server\\share\\win", false},  // UNC: no drive, never a root
        {"\\\\server\\share", false},
        {"C:\\ソフト\\メール", false},
        {"C:\\表\\win", false},
        {"", false},
        {"C:", false},
        {"C:\\\\", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsUnsuitableWorkFolder(Folded(c.current).c_str()), c.unsuitable) << c.current;
}

}  // namespace
