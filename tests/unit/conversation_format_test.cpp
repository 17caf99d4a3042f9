#include "conversation/conversation_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/common/chat_reader.h"
#include "tests/common/hex.h"

namespace {

const ConversationNames kDefaults = {"DEN.bgb", "本文", "SCOTTY", "引用", "LANCE"};

const std::string kHeader =
    "#CHATCONVERSATION\r\n"
    "starthistory\t\t\t\r\n"
    "backdrop\tDEN.bgb\t\r\n"
    "join\t本文\r\n"
    "join\t引用\r\n"
    "changeavatar\t本文\tSCOTTY\r\n"
    "changeavatar\t引用\tLANCE\r\n";
const std::string kTrailer = "part\t本文\r\n";

std::string Format(const std::string& body, const ConversationNames& names = kDefaults)
{
    return FormatConversationToString(names, body.data(), body.size());
}

// The say records between the header and the part record.
std::string Says(const std::string& body, const ConversationNames& names = kDefaults)
{
    std::string file = Format(body, names);
    size_t headerEnd = 0;
    for (int records = 0; records < 7; ++records)
        headerEnd = file.find("\r\n", headerEnd) + 2;
    size_t partStart = file.rfind("part\t");
    return file.substr(headerEnd, partStart - headerEnd);
}

TEST(ConversationFormat, WholeFileWithDefaultSettings)
{
    std::string body = "こんにちは\r\n>お元気ですか\r\nabc";
    std::string want = kHeader +
                       "say\t本文\t\tこんにちは\r\n"
                       "say\t引用\t\tお元気ですか\r\n"
                       "say\t本文\t\tabc\r\n" +
                       kTrailer;
    EXPECT_EQ(Format(body), want);
}

TEST(ConversationFormat, KeyBytesArePinned)
{
    EXPECT_EQ(Hex("本文"), "96 7B 95 B6");
    EXPECT_EQ(Hex("引用"), "88 F8 97 70");
    std::string says = Says("abc");
    EXPECT_EQ(says.size(), 15u) << Hex(says);
    EXPECT_EQ(Hex(says), "73 61 79 09 96 7B 95 B6 09 09 61 62 63 0D 0A");
    EXPECT_EQ(Hex(Says("")), "73 61 79 09 96 7B 95 B6 09 09 81 45 81 45 81 45 0D 0A");
}

TEST(ConversationFormat, EveryLineGivesOneSayAndEmptyLinesGetTheFiller)
{
    struct Case {
        const char* body;
        const char* says;
    } cases[] = {
        {"", "say\t本文\t\t・・・\r\n"},
        {"abc\r\n", "say\t本文\t\tabc\r\nsay\t本文\t\t・・・\r\n"},
        {"a\r\n\r\nb", "say\t本文\t\ta\r\nsay\t本文\t\t・・・\r\nsay\t本文\t\tb\r\n"},
        {">", "say\t引用\t\t・・・\r\n"},
        {">>x", "say\t引用\t\t>x\r\n"},
        {"> x", "say\t引用\t\t x\r\n"},
        {"a>b", "say\t本文\t\ta>b\r\n"},
        {"＞全角", "say\t本文\t\t＞全角\r\n"},
        {" >x", "say\t本文\t\t >x\r\n"},
        {"件名 Subject", "say\t本文\t\t件名 Subject\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Says(c.body), c.says) << "body: " << Hex(c.body);
}

TEST(ConversationFormat, CrLfLoneCrAndLoneLfEachEndOneLine)
{
    struct Case {
        const char* body;
        const char* says;
    } cases[] = {
        {"a\rb", "say\t本文\t\ta\r\nsay\t本文\t\tb\r\n"},
        {"a\nb", "say\t本文\t\ta\r\nsay\t本文\t\tb\r\n"},
        {"a\r>b", "say\t本文\t\ta\r\nsay\t引用\t\tb\r\n"},
        {"a\n\rb", "say\t本文\t\ta\r\nsay\t本文\t\t・・・\r\nsay\t本文\t\tb\r\n"},
        {"a\r\r\nb", "say\t本文\t\ta\r\nsay\t本文\t\t・・・\r\nsay\t本文\t\tb\r\n"},
        {"a\r", "say\t本文\t\ta\r\nsay\t本文\t\t・・・\r\n"},
        {"\n", "say\t本文\t\t・・・\r\nsay\t本文\t\t・・・\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Says(c.body), c.says) << "body: " << Hex(c.body);
}

TEST(ConversationFormat, SayTextsAreEscapedForChatsReader)
{
    struct Case {
        const char* typed;
        const char* written;
    } cases[] = {
        {"ソフト", "83 5C 5C 83 74 83 67"},
        {"ソ\\フト", "83 5C 5C 83 74 83 67"},  // the manual escape is kept once
        {"表示", "95 5C 5C 8E A6"},
        {"\\1,000", "5C 5C 31 2C 30 30 30"},
        {"C:\\temp", "43 3A 5C 5C 74 65 6D 70"},
        {"\t", "5C 74"},
        {"a\tb", "61 5C 74 62"},
        {"\\\\srv", "5C 5C 5C 5C 73 72 76"},
        {"ソ", "83 5C 5C"},
        {"ソ\\\\", "83 5C 5C 5C 5C"},  // escape, then a typed backslash
        {"能\\t", "94 5C 5C 74"},      // "t" after the manual escape stays a letter
        {"\x81", "81"},                // a lone lead byte at the line's end
        {"\x81\t", "81 5C 74"},        // is not taken as the start of a TAB
    };
    for (const Case& c : cases) {
        std::string says = Says(c.typed);
        std::string prefix = "say\t本文\t\t";
        ASSERT_EQ(says.compare(0, prefix.size(), prefix), 0) << Hex(says);
        std::string text = says.substr(prefix.size(), says.size() - prefix.size() - 2);
        EXPECT_EQ(Hex(text), c.written) << "typed: " << Hex(c.typed);
    }
}

TEST(ConversationFormat, NamesAndOtherRecordsAreWrittenRawButNeverBreakARecord)
{
    ConversationNames names = {"C:\\bg\\DEN.bgb", "ソ", "A\tB", "x\r\ny", "LANCE"};
    std::string file = Format("hi", names);
    EXPECT_EQ(file,
              "#CHATCONVERSATION\r\n"
              "starthistory\t\t\t\r\n"
              "backdrop\tC:\\bg\\DEN.bgb\t\r\n"
              "join\tソ\r\n"
              "join\tx  y\r\n"
              "changeavatar\tソ\tA B\r\n"
              "changeavatar\tx  y\tLANCE\r\n"
              "say\tソ\t\thi\r\n"
              "part\tソ\r\n");

    std::string longName(300, 'N');
    names = {"DEN.bgb", longName.c_str(), "SCOTTY", "", "LANCE"};
    file = Format(">q", names);
    EXPECT_NE(file.find("join\t" + std::string(127, 'N') + "\r\n"), std::string::npos);
    EXPECT_EQ(file.find(std::string(128, 'N')), std::string::npos);
    EXPECT_NE(file.find("join\t\r\n"), std::string::npos);
    EXPECT_NE(file.find("say\t\t\tq\r\n"), std::string::npos);
}

// Checks the records of a file, and returns the texts of its say records,
// decoded, with their speakers.
void ReadSays(const std::string& file, std::vector<std::string>& speakers,
              std::vector<std::string>& texts)
{
    std::vector<std::string> records;
    ASSERT_TRUE(chat_reader::SplitRecords(file, records));
    speakers.clear();
    texts.clear();
    for (const std::string& record : records) {
        EXPECT_LE(record.size() + 2, kMaxRecordBytes);
        std::vector<std::string> fields = chat_reader::SplitFields(record);
        if (fields[0] != "say")
            continue;
        ASSERT_EQ(fields.size(), 4u) << record;
        std::string decoded;
        ASSERT_TRUE(chat_reader::DecodeSayText(fields[3], decoded)) << Hex(fields[3]);
        ASSERT_FALSE(decoded.empty());
        speakers.push_back(fields[1]);
        texts.push_back(decoded);
    }
}

TEST(ConversationFormat, LongLinesAreSplitBetweenCharactersWithNothingLost)
{
    const size_t capacity = kMaxRecordBytes - std::string("say\t本文\t\t\r\n").size();
    struct Case {
        std::string line;
        size_t records;
    } cases[] = {
        {std::string(capacity, 'a'), 1},
        {std::string(capacity + 1, 'a'), 2},
        {std::string(3 * capacity + 1, 'a'), 4},
        // The doubled 0x5C would end one byte past the record: it moves whole.
        {std::string(capacity - 1, 'a') + "\\", 2},
        {std::string(capacity - 2, 'a') + "ソ", 2},
        {std::string(capacity - 1, 'a') + "\t", 2},
    };
    std::vector<std::string> speakers, texts;
    for (const Case& c : cases) {
        ReadSays(Format(c.line), speakers, texts);
        EXPECT_EQ(texts.size(), c.records) << "line of " << c.line.size() << " bytes";
        std::string joined;
        for (const std::string& text : texts)
            joined += text;
        EXPECT_EQ(joined, c.line);
    }

    // Japanese with characters whose second byte is 0x5C, shifted by one byte
    // by the leading "a": every piece must end on a character boundary.
    std::string japanese = "a";
    while (japanese.size() < 2500)
        japanese += "表示ソ\\フト漫画";
    std::string shown = chat_reader::WithoutManualEscapes(japanese);
    std::vector<bool> boundary(shown.size() + 1, false);
    for (size_t at = 0; at < shown.size(); at += SjisCharLength(shown.data() + at, shown.size() - at))
        boundary[at] = true;
    boundary[shown.size()] = true;

    ReadSays(Format(japanese), speakers, texts);
    ASSERT_GT(texts.size(), 2u);
    std::string joined;
    for (const std::string& text : texts) {
        joined += text;
        ASSERT_LE(joined.size(), shown.size());
        EXPECT_TRUE(boundary[joined.size()]) << "a piece ends inside a character at " << joined.size();
    }
    EXPECT_EQ(joined, shown);
}

TEST(ConversationFormat, AQuotedLinesContinuationStaysWithTheQuotedSpeaker)
{
    std::string line = ">" + std::string(2500, 'q');
    std::vector<std::string> speakers, texts;
    ReadSays(Format(line + "\r\nown"), speakers, texts);
    ASSERT_EQ(texts.size(), 4u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(speakers[i], "引用") << "record " << i;
    EXPECT_EQ(texts[0] + texts[1] + texts[2], line.substr(1));
    EXPECT_EQ(speakers[3], "本文");
    EXPECT_EQ(texts[3], "own");
}

struct FailingSink {
    int calls = 0;
    static bool Take(void* context, const char*, size_t)
    {
        ++static_cast<FailingSink*>(context)->calls;
        return false;
    }
};

TEST(ConversationFormat, ARefusedPieceStopsFormattingAndIsReported)
{
    std::string body(300 * 1024, 'x');  // several chunks
    FailingSink sink;
    EXPECT_FALSE(FormatConversation(kDefaults, body.data(), body.size(), FailingSink::Take, &sink));
    EXPECT_EQ(sink.calls, 1);
}

}  // namespace
