#include "conversation/conversation_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "conversation/conversation_format.h"
#include "tests/win/test_support.h"

namespace {

Settings NamedSettings()
{
    Settings settings = {};
    std::strcpy(settings.backstr, "ROOM.bgb");
    std::strcpy(settings.namestr, "太郎");
    std::strcpy(settings.charstr, "TIKI");
    std::strcpy(settings.namestr2, "花子");
    std::strcpy(settings.charstr2, "XENO");
    return settings;
}

std::string Expected(const Settings& s, const std::string& body)
{
    ConversationNames names = {s.backstr, s.namestr, s.charstr, s.namestr2, s.charstr2};
    return FormatConversationToString(names, body.data(), body.size());
}

TEST(ConversationWriter, ReplacesALongerOldFileCompletely)
{
    TestFolder folder;
    std::string path = folder / "Mirth.ccc";
    ASSERT_TRUE(WriteWholeFile(path, std::string(200000, 'Z')));
    Settings settings = NamedSettings();
    std::string body = "こんにちは\r\n>元気？\r\nソフト";
    ASSERT_TRUE(WriteConversationFile(path.c_str(), settings, body.data(), body.size()));
    std::string written;
    ASSERT_TRUE(ReadWholeFile(path, written));
    EXPECT_EQ(written, Expected(settings, body));
    EXPECT_NE(written.find("changeavatar\t花子\tXENO\r\n"), std::string::npos);
}

DWORD WINAPI CloseSoon(void* handle)
{
    Sleep(100);
    CloseHandle(static_cast<HANDLE>(handle));
    return 0;
}

TEST(ConversationWriter, CutsAnOldFileThatSurvivedTheDelete)
{
    // Another program holds the old file open without delete sharing, so the
    // delete fails; it lets go during the writer's wait, and the writer then
    // opens the old, longer file.
    TestFolder folder;
    std::string path = folder / "Mirth.ccc";
    ASSERT_TRUE(WriteWholeFile(path, std::string(5000, 'Z')));
    HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    HANDLE closer = CreateThread(nullptr, 0, CloseSoon, holder, 0, nullptr);
    Settings settings = NamedSettings();
    std::string body = "短い";
    EXPECT_TRUE(WriteConversationFile(path.c_str(), settings, body.data(), body.size()));
    WaitForSingleObject(closer, INFINITE);
    CloseHandle(closer);
    std::string written;
    ASSERT_TRUE(ReadWholeFile(path, written));
    EXPECT_EQ(written, Expected(settings, body));
}

TEST(ConversationWriter, WritesABigBodyInFull)
{
    TestFolder folder;
    std::string path = folder / "Mirth.ccc";
    std::string body;
    while (body.size() < 1024 * 1024)
        body += "漫画のようなメール、ソフト表示 C:\\temp\t終わり\r\n>引用された行\r\n";
    Settings settings = NamedSettings();
    ASSERT_TRUE(WriteConversationFile(path.c_str(), settings, body.data(), body.size()));
    std::string written;
    ASSERT_TRUE(ReadWholeFile(path, written));
    EXPECT_EQ(written.size(), Expected(settings, body).size());
    EXPECT_TRUE(written == Expected(settings, body));
}

TEST(ConversationWriter, SaysSoWhenTheFileCannotBeWritten)
{
    TestFolder folder;
    Settings settings = NamedSettings();
    std::string body = "本文";

    std::string blocked = folder / "Mirth.ccc";
    ASSERT_TRUE(CreateDirectoryA(blocked.c_str(), nullptr));
    EXPECT_FALSE(WriteConversationFile(blocked.c_str(), settings, body.data(), body.size()))
        << "a folder named Mirth.ccc in the way";

    std::string missing = folder / "no such folder\\Mirth.ccc";
    EXPECT_FALSE(WriteConversationFile(missing.c_str(), settings, body.data(), body.size()));

    // Held open by another program without sharing: nothing can be written,
    // and the old file stays as it was.
    std::string locked = folder / "locked.ccc";
    ASSERT_TRUE(WriteWholeFile(locked, "old"));
    HANDLE holder = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteConversationFile(locked.c_str(), settings, body.data(), body.size()));
    CloseHandle(holder);
    std::string kept;
    ASSERT_TRUE(ReadWholeFile(locked, kept));
    EXPECT_EQ(kept, "old");
}

TEST(ConversationWriter, AReadOnlyFileIsEitherKeptOrReplacedAndTheResultSaysWhich)
{
    // Windows refuses to delete or write a read-only file, so the writer
    // reports failure and the file keeps its content. Wine deletes read-only
    // files, so there the file is replaced and the writer reports success.
    TestFolder folder;
    std::string path = folder / "Mirth.ccc";
    ASSERT_TRUE(WriteWholeFile(path, "old"));
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    Settings settings = NamedSettings();
    std::string body = "本文";
    bool complete = WriteConversationFile(path.c_str(), settings, body.data(), body.size());
    std::string content;
    ASSERT_TRUE(ReadWholeFile(path, content));
    EXPECT_EQ(content, complete ? Expected(settings, body) : std::string("old"));
}

}  // namespace
