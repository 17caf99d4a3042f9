#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/win/test_support.h"

namespace {

void SetRaw(const TestKey& key, const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY handle;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.path(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &handle, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(handle, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(handle);
}

// The value as stored: its type and its bytes as the ANSI functions return them.
bool QueryRaw(const TestKey& key, const char* name, DWORD& type, std::string& bytes)
{
    char data[2048];
    DWORD size = sizeof data;
    if (RegGetValueA(HKEY_CURRENT_USER, key.path(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, data,
                     &size) != ERROR_SUCCESS)
        return false;
    bytes.assign(data, size);
    return true;
}

TEST(SettingsStore, NumbersFallBackToTheirDefaultUnlessStoredAsFourByteDwords)
{
    TestKey key;
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, key.path(), "X", 50), 50u) << "no key";
    ASSERT_TRUE(WriteDword(HKEY_CURRENT_USER, key.path(), "Width", 580));
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, key.path(), "X", 50), 50u) << "no value";
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, key.path(), "Width", 1), 580u);

    // Left of the primary screen: the 32 bits come back, to be read as signed.
    ASSERT_TRUE(WriteDword(HKEY_CURRENT_USER, key.path(), "X", static_cast<DWORD>(-1200)));
    EXPECT_EQ(static_cast<int32_t>(ReadDword(HKEY_CURRENT_USER, key.path(), "X", 50)), -1200);
    ASSERT_TRUE(WriteDword(HKEY_CURRENT_USER, key.path(), "MailSoft", 0xFFFFFFFF));
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, key.path(), "MailSoft", 1), 0xFFFFFFFFu);

    DWORD type;
    std::string bytes;
    ASSERT_TRUE(QueryRaw(key, "Width", type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(Hex(bytes), "44 02 00 00");

    SetRaw(key, "Text", REG_SZ, "7", 2);
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, key.path(), "Text", 50), 50u);
    unsigned long long wide = 7;
    SetRaw(key, "Qword", REG_QWORD, &wide, sizeof wide);
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, key.path(), "Qword", 50), 50u);
    SetRaw(key, "Binary", REG_BINARY, "\x07\x00\x00\x00", 4);
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, key.path(), "Binary", 50), 50u);
    SetRaw(key, "Short", REG_DWORD, "\x07\x00", 2);
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, key.path(), "Short", 50), 50u);
}

TEST(SettingsStore, TextsRoundTripAsShiftJisBytes)
{
    TestKey key;
    char buffer[128];
    std::strcpy(buffer, "untouched");
    EXPECT_FALSE(ReadString(HKEY_CURRENT_USER, key.path(), "namestr", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "untouched") << "a missing key leaves the buffer as it was";

    ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, key.path(), "namestr", "本文"));
    EXPECT_TRUE(ReadString(HKEY_CURRENT_USER, key.path(), "other", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "") << "a missing value empties the buffer";
    EXPECT_TRUE(ReadString(HKEY_CURRENT_USER, key.path(), "namestr", buffer, sizeof buffer));
    EXPECT_EQ(Hex(buffer), "96 7B 95 B6");

    // Stored as the two characters U+672C U+6587, terminator included.
    WCHAR wide[8] = {};
    DWORD size = sizeof wide;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, std::wstring(key.path(), key.path() + std::strlen(key.path())).c_str(),
                           L"namestr", RRF_RT_REG_SZ, nullptr, wide, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(wide[0], 0x672C);
    EXPECT_EQ(wide[1], 0x6587);

    const char* typed = "ソ\\フト 表示 ｱｲｳ C:\\temp\r\n2行目";
    ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, key.path(), "Read", typed));
    char description[1024];
    ReadString(HKEY_CURRENT_USER, key.path(), "Read", description, sizeof description);
    EXPECT_EQ(Hex(description), Hex(typed));
}

TEST(SettingsStore, ATextThatDoesNotFitOrIsNotRegSzCountsAsMissing)
{
    TestKey key;
    struct Slot {
        char buffer[8];
        char guard[8];
    };
    auto read = [&](const char* name) {
        Slot slot;
        std::memset(&slot, 'G', sizeof slot);
        EXPECT_TRUE(ReadString(HKEY_CURRENT_USER, key.path(), name, slot.buffer, sizeof slot.buffer));
        EXPECT_EQ(std::string(slot.guard, sizeof slot.guard), "GGGGGGGG") << name << ": written past the buffer";
        EXPECT_NE(std::memchr(slot.buffer, '\0', sizeof slot.buffer), nullptr) << name << ": unterminated";
        return std::string(slot.buffer);
    };
    WriteString(HKEY_CURRENT_USER, key.path(), "fits", "1234567");
    WriteString(HKEY_CURRENT_USER, key.path(), "long", "12345678");
    WriteString(HKEY_CURRENT_USER, key.path(), "longjp", "本文本文");  // 8 bytes
    SetRaw(key, "noterm", REG_SZ, "abc", 3);
    SetRaw(key, "noterm7", REG_SZ, "1234567", 7);
    SetRaw(key, "noterm8", REG_SZ, "12345678", 8);
    SetRaw(key, "expand", REG_EXPAND_SZ, "%TEMP%", 7);
    SetRaw(key, "multi", REG_MULTI_SZ, "a\0b\0", 5);
    DWORD number = 5;
    SetRaw(key, "number", REG_DWORD, &number, sizeof number);

    EXPECT_EQ(read("fits"), "1234567");
    EXPECT_EQ(read("long"), "");
    EXPECT_EQ(read("longjp"), "");
    EXPECT_EQ(read("noterm"), "abc");
    EXPECT_EQ(read("noterm7"), "1234567");
    EXPECT_EQ(read("noterm8"), "");
    EXPECT_EQ(read("expand"), "");
    EXPECT_EQ(read("multi"), "");
    EXPECT_EQ(read("number"), "");
}

TEST(SettingsStore, WritesCreateTheKeyAndStoreTheTerminator)
{
    TestKey key;
    std::string nested = std::string(key.path()) + "\\a\\b";
    ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, nested.c_str(), "curpath", "c:\\mail"));
    char buffer[255];
    ASSERT_TRUE(ReadString(HKEY_CURRENT_USER, nested.c_str(), "curpath", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "c:\\mail");
    DWORD type;
    std::string bytes;
    ASSERT_TRUE(QueryRaw(key, "x", type, bytes) == false);
    ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, key.path(), "empty", ""));
    ASSERT_TRUE(QueryRaw(key, "empty", type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, std::string(1, '\0'));
}

}  // namespace
