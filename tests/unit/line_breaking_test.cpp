#include "strip/line_breaking.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "conversation/shift_jis.h"
#include "tests/common/hex.h"
#include "tests/unit/strip_fakes.h"

namespace {

const FixedMeasure kMeasure;
const int kChar = FixedMeasure::kByteWidth;  // an ASCII character; a double-byte one is twice as wide

std::vector<std::string> Lines(const std::string& text, int width)
{
    std::vector<std::string> lines;
    for (const TextLine& line : WrapText(text, width, kMeasure))
        lines.push_back(text.substr(line.start, line.length));
    return lines;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string joined;
    for (const std::string& line : lines)
        joined += "[" + line + "]";
    return joined;
}

TEST(LineBreaking, WesternTextBreaksAtBlanksAndCutsLongWords)
{
    struct Case {
        const char* text;
        int chars;
        const char* lines;
    } cases[] = {
        {"the quick brown fox", 10, "[the quick][brown fox]"},
        {"the quick brown fox", 9, "[the quick][brown fox]"},
        {"  the   quick  ", 20, "[the   quick]"},
        {"supercalifragilistic is long", 8, "[supercal][ifragili][stic is][long]"},
        {"one\ntwo three", 20, "[one][two three]"},
        {"one\n\n\ntwo", 20, "[one][][][two]"},
        {"(see below)", 6, "[(see][below)]"},
        {"", 10, "[]"},
        {"   ", 10, "[]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Joined(Lines(c.text, c.chars * kChar)), c.lines) << "\"" << c.text << "\" at " << c.chars;
}

TEST(LineBreaking, JapaneseTextBreaksBetweenAnyTwoCharacters)
{
    struct Case {
        const char* text;
        int chars;  // the width in ASCII characters
        const char* lines;
    } cases[] = {
        {"あいうえおかきくけこ", 8, "[あいうえ][おかきく][けこ]"},
        {"あいうえおかきくけこ", 9, "[あいうえ][おかきく][けこ]"},
        {"メールはMirth.cccです", 12, "[メールは][Mirth.cccで][す]"},
        {"ﾊﾝｶｸｶﾅﾃﾞｽ", 4, "[ﾊﾝｶｸ][ｶﾅﾃﾞ][ｽ]"},
        {"・・・", 6, "[・・・]"},
        {"・・・・・・", 6, "[・・・][・・・]"},  // one run of closing dots: cut where it must be
    };
    for (const Case& c : cases)
        EXPECT_EQ(Joined(Lines(c.text, c.chars * kChar)), c.lines) << c.text << " at " << c.chars;
}

TEST(LineBreaking, NoLineStartsWithClosingPunctuation)
{
    const char* closing[] = {"、", "。", "，", "．", "・", "：", "；", "？", "！", "）", "」", "』", "】", "〕",
                             "］", "｝", "〉", "》", "’", "”", ")", ",", ".", ">", "]", "}", "｣", "｡", "､"};
    for (const char* mark : closing) {
        // Four full-width characters fit a line; the mark would start the second.
        std::string text = std::string("あいうえ") + mark + "お";
        std::vector<std::string> lines = Lines(text, 8 * kChar);
        ASSERT_EQ(lines.size(), 2u) << Joined(lines);
        EXPECT_EQ(lines[1], std::string("え") + mark + "お") << "mark " << mark << " (" << Hex(mark) << ")";
    }
}

TEST(LineBreaking, NoLineEndsWithOpeningPunctuation)
{
    const char* opening[] = {"（", "「", "『", "【", "〔", "［", "｛", "〈", "《", "‘", "“", "(", "<", "[", "{", "｢"};
    for (const char* mark : opening) {
        // The mark would end the first line.
        std::string text = std::string("あいう") + mark + "えお";
        int width = 6 * kChar + kMeasure.Width(TextStyle::Balloon, mark, std::string(mark).size());
        std::vector<std::string> lines = Lines(text, width);
        ASSERT_EQ(lines.size(), 2u) << Joined(lines);
        EXPECT_EQ(lines[0], "あいう") << "mark " << mark << " (" << Hex(mark) << ")";
    }
}

TEST(LineBreaking, PunctuationBytesArePinned)
{
    EXPECT_EQ(Hex("、。・！）」（「"), "81 41 81 42 81 45 81 49 81 6A 81 76 81 69 81 75");
    EXPECT_EQ(Hex("｡｢｣､"), "A1 A2 A3 A4");
}

// Random mixed texts at random widths: lines start on characters, fit their
// width unless a single character is wider, and hold every non-blank byte.
TEST(LineBreaking, LinesNeverSplitACharacterAndLoseNothing)
{
    const char* parts[] = {"あ", "ソ", "表", "、", "。", "「", "」", "ｱ", "a", "Z", " ", "  ", "\n", "!", "(", "・"};
    std::mt19937 random(14);
    for (int round = 0; round < 500; ++round) {
        std::string text;
        int count = static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i)
            text += parts[random() % (sizeof parts / sizeof parts[0])];
        int width = 1 + static_cast<int>(random() % 120);
        std::vector<TextLine> lines = WrapText(text, width, kMeasure);
        std::vector<bool> starts(text.size() + 1, false);
        for (size_t at = 0; at < text.size(); at += SjisCharLength(text.data() + at, text.size() - at))
            starts[at] = true;
        starts[text.size()] = true;
        std::string kept, want;
        for (const TextLine& line : lines) {
            ASSERT_TRUE(starts[line.start] && starts[line.start + line.length])
                << "a line splits a character: " << Hex(text) << " at " << width;
            EXPECT_TRUE(line.width <= width || line.length <= 2) << Hex(text) << " at " << width;
            EXPECT_EQ(line.width, static_cast<int>(line.length) * kChar) << Hex(text);
            kept += text.substr(line.start, line.length);
        }
        for (char byte : text)
            if (byte != ' ' && byte != '\n')
                want += byte;
        std::string keptBytes;
        for (char byte : kept)
            if (byte != ' ')
                keptBytes += byte;
        EXPECT_EQ(Hex(keptBytes), Hex(want)) << "text " << Hex(text) << " at " << width;
    }
}

TEST(LineBreaking, CapitalsForAsciiLettersOnly)
{
    // ヂ is 83 61: its second byte is an 'a' and stays one.
    EXPECT_EQ(Hex(CapitalizeAscii("abc \x83\x61" "a ｱz")), Hex("ABC \x83\x61" "A ｱZ"));
    EXPECT_EQ(CapitalizeAscii("Mirth.ccc でご覧ください"), "MIRTH.CCC でご覧ください");
}

}  // namespace
