#include "strip/conversation_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversation/conversation_format.h"
#include "tests/common/chat_reader.h"
#include "tests/common/hex.h"

namespace {

std::vector<ConversationRecord> Read(const std::string& file, std::string* error = nullptr)
{
    std::vector<ConversationRecord> records;
    std::string message;
    bool ok = ReadConversation(file.data(), file.size(), records, message);
    if (error)
        *error = message;
    else
        EXPECT_TRUE(ok) << message;
    return records;
}

TEST(ConversationReader, ReadsEveryRecordKind)
{
    std::string file =
        "#chatconversation by hand\r\n"
        "StartHistory\tme\tSCOTTY\tThe title\r\n"
        "backdrop\tDEN.bgb\t\r\n"
        "JOIN\t本文\tFull Name\r\n"
        "ejoin\t引用\n"
        "\r\n"
        "changeavatar\t本文\tSCOTTY\thttp://x\r\n"
        "say\t本文\t(M:1)\tこんにちは\tignored\r\n"
        "nick\t引用\tquote\r\n"
        "getinfo\tme\tinfo\r"
        "comicchar\tme\r\n"
        "part\tquote\r\n";
    std::vector<ConversationRecord> records = Read(file);
    struct Want {
        RecordKind kind;
        const char *nick, *value, *extra;
        int line;
    } want[] = {
        {RecordKind::StartHistory, "me", "SCOTTY", "The title", 2},
        {RecordKind::Backdrop, "", "DEN.bgb", "", 3},
        {RecordKind::Join, "本文", "", "Full Name", 4},
        {RecordKind::Join, "引用", "", "", 5},
        {RecordKind::ChangeAvatar, "本文", "SCOTTY", "http://x", 7},
        {RecordKind::Say, "本文", "こんにちは", "(M:1)", 8},
        {RecordKind::Nick, "引用", "quote", "", 9},
        {RecordKind::Info, "me", "", "info", 10},
        {RecordKind::Info, "me", "", "", 11},
        {RecordKind::Part, "quote", "", "", 12},
    };
    ASSERT_EQ(records.size(), sizeof want / sizeof want[0]);
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].kind, want[i].kind) << "record " << i;
        EXPECT_EQ(records[i].nick, want[i].nick) << "record " << i;
        EXPECT_EQ(records[i].value, want[i].value) << "record " << i;
        EXPECT_EQ(records[i].extra, want[i].extra) << "record " << i;
        EXPECT_EQ(records[i].line, want[i].line) << "record " << i;
    }
}

TEST(ConversationReader, SayTextIsUnescapedByteByByte)
{
    struct Case {
        std::string written, read;
    } cases[] = {
        {"\x83\x5C\x5C\x83\x74\x83\x67", "\x83\x5C\x83\x74\x83\x67"},  // ソフト
        {"\x95\x5C\x5C\x8E\xA6", "\x95\x5C\x8E\xA6"},                  // 表示
        {"a\\tb\\nc\\rd\\\\e", "a\tb\nc\rd\\e"},
        {"\\\\\\\\srv", "\\\\srv"},
        {"C:\\q", "C:\\q"},  // not an escape Chat knows: kept whole
        {"end\\", "end\\"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hex(UnescapeSayText(c.written)), Hex(c.read)) << "written " << Hex(c.written);
}

TEST(ConversationReader, AnUnreadableFileNamesTheLine)
{
    struct Case {
        std::string file, error;
    } cases[] = {
        {"", "line 1: not a conversation file (it is empty)"},
        {"say\tme\t\thello\r\n", "line 1: not a conversation file (it doesn't start with #CHATCONVERSATION)"},
        {"#CHATCONVERSATION\r\njoin\tme\r\nshout\tme\t\thi\r\n", "line 3: unknown record \"shout\""},
        {"#CHATCONVERSATION\r\n\r\n\r\nsay\tme\thello\r\n", "line 4: the say record lacks 1 of its fields"},
        {"#CHATCONVERSATION\nchangeavatar\tme\n", "line 2: the changeavatar record lacks 1 of its fields"},
        {"#CHATCONVERSATION\r\nnick\r\n", "line 2: the nick record lacks 2 of its fields"},
    };
    for (const Case& c : cases) {
        std::string error;
        std::vector<ConversationRecord> records = Read(c.file, &error);
        EXPECT_EQ(error, c.error) << "file " << Hex(c.file);
    }
}

std::vector<std::string> SayTexts(const std::vector<ConversationRecord>& records, std::vector<std::string>* speakers)
{
    std::vector<std::string> texts;
    for (const ConversationRecord& record : records) {
        if (record.kind != RecordKind::Say)
            continue;
        texts.push_back(record.value);
        if (speakers)
            speakers->push_back(record.nick);
    }
    return texts;
}

TEST(ConversationReader, ReadsEveryConversationTheWriterMakes)
{
    const ConversationNames names = {"DEN.bgb", "本文", "SCOTTY", "引用", "LANCE"};
    const std::string bodies[] = {
        "こんにちは\r\n>お元気ですか\r\nabc",
        "ソフトの表示と能力\r\n>\\1,000 は C:\\temp に\r\n予定は\t10:00 です",
        "ソ\\フト (typed escape)\r\n\\\\srv\\share",
        "a\r\n\r\n\r\nb\r\n",
        "\n\r>\r\n>>x",
    };
    for (const std::string& body : bodies) {
        std::string file = FormatConversationToString(names, body.data(), body.size());
        std::vector<ConversationRecord> records = Read(file);
        std::vector<std::string> speakers;
        std::vector<std::string> texts = SayTexts(records, &speakers);
        std::vector<std::string> lines = chat_reader::BodyLines(body);
        ASSERT_EQ(texts.size(), lines.size()) << "body " << Hex(body);
        for (size_t i = 0; i < lines.size(); ++i) {
            bool quoted = !lines[i].empty() && lines[i][0] == '>';
            std::string shown = chat_reader::WithoutManualEscapes(quoted ? lines[i].substr(1) : lines[i]);
            if (shown.empty())
                shown = "・・・";
            EXPECT_EQ(Hex(texts[i]), Hex(shown)) << "line " << i << " of body " << Hex(body);
            EXPECT_EQ(speakers[i], quoted ? "引用" : "本文") << "line " << i;
        }
        EXPECT_EQ(records.front().kind, RecordKind::StartHistory);
        EXPECT_EQ(records.back().kind, RecordKind::Part);
    }
}

TEST(ConversationReader, ALongLineSplitByTheWriterReadsBackWhole)
{
    const ConversationNames names = {"DEN.bgb", "本文", "SCOTTY", "引用", "LANCE"};
    std::string line;
    for (int i = 0; i < 400; ++i)
        line += i % 3 == 0 ? "ソ" : (i % 3 == 1 ? "a\\" : "表");
    std::string file = FormatConversationToString(names, line.data(), line.size());
    std::vector<std::string> texts = SayTexts(Read(file), nullptr);
    ASSERT_GT(texts.size(), 1u) << "the line should need several records";
    std::string joined;
    for (const std::string& text : texts)
        joined += text;
    EXPECT_EQ(Hex(joined), Hex(chat_reader::WithoutManualEscapes(line)));
}

}  // namespace
