#include "strip/pose_cues.h"

#include <gtest/gtest.h>

#include <string>

#include "chatart/chat_art.h"
#include "tests/common/hex.h"

namespace {

PoseCues Find(const std::string& text)
{
    return FindPoseCues(text.data(), text.size());
}

std::string Codes(const PoseCues& cues)
{
    std::string codes;
    for (int i = 0; i < cues.count; ++i)
        codes += (i ? " " : "") + std::to_string(cues.options[i].code);
    return codes.empty() ? "none" : codes;
}

TEST(PoseCues, JapaneseCueBytesArePinned)
{
    EXPECT_EQ(Hex("（笑）"), "81 69 8F CE 81 6A");
    EXPECT_EQ(Hex("ｗｗ♪！；泣怒"), "82 97 82 97 81 F4 81 49 81 47 8B 83 93 7B");
    EXPECT_EQ(Hex("こんにちは私君"), "82 B1 82 F1 82 C9 82 BF 82 CD 8E 84 8C 4E");
}

TEST(PoseCues, EachCueGivesItsPose)
{
    struct Case {
        const char* text;
        int code;
    } cases[] = {
        {"そうですね（笑）", EmotionLaugh},
        {"笑ってしまった", EmotionLaugh},
        {"それはないｗｗ", EmotionLaugh},
        {"それはないww", EmotionLaugh},
        {"またあした^^", EmotionHappy},
        {"楽しみ♪", EmotionHappy},
        {"ありがとう！", EmotionHappy},
        {"ありがとう! ", EmotionHappy},
        {"残念(T_T)", EmotionSad},
        {"残念；；", EmotionSad},
        {"泣きそう", EmotionSad},
        {"怒っています", EmotionAngry},
        {"待って！！", EmotionShout},
        {"待って!!!", EmotionShout},
        {"こんにちは、田中です", GestureWave},
        {"こんばんは", GestureWave},
        {"　おはようございます", GestureWave},
        {"はじめまして", GestureWave},
        {"やあ", GestureWave},
        {"またね", GestureWave},
        {"さようなら", GestureWave},
        {"私が行きます", GesturePointSelf},
        {"僕です", GesturePointSelf},
        {"俺だ", GesturePointSelf},
        {"わたしも", GesturePointSelf},
        {"ぼくも", GesturePointSelf},
        {"あなたは？", GesturePointOther},
        {"君は", GesturePointOther},
        {"きみも", GesturePointOther},
        // Chat's English rules.
        {"WHAT ARE YOU DOING", EmotionShout},
        {"that was funny lol", EmotionLaugh},
        {"hehehe", EmotionLaugh},
        {"nice :-)", EmotionHappy},
        {"oh :(", EmotionSad},
        {"sure ;)", EmotionCoy},
        {"You there", GesturePointOther},
        {"so are you coming", GesturePointOther},
        {"I think so", GesturePointSelf},
        {"well, i'll go", GesturePointSelf},
        {"Hi there", GestureWave},
        {"Bye.", GestureWave},
        {"Hello world", GestureWave},
    };
    for (const Case& c : cases) {
        PoseCues cues = Find(c.text);
        ASSERT_GT(cues.count, 0) << c.text;
        EXPECT_EQ(cues.options[0].code, c.code) << c.text << ": " << Codes(cues);
    }
}

TEST(PoseCues, TextsWithoutCuesGiveNone)
{
    const char* texts[] = {
        "今日は晴れです",
        "今日は私が行きます",   // 私 not at the start
        "見に来たよ",           // ！ nowhere
        "see www.example.com",  // a run of w followed by a dot
        "swwim",                // w between letters
        "日本語でOK",           // capitals, but in a Japanese text
        "Itself",               // I followed by a letter
        "High",                 // Hi followed by a letter
        "",
    };
    for (const char* text : texts)
        EXPECT_EQ(Codes(Find(text)), "none") << text;
}

TEST(PoseCues, NoCueStartsOnASecondByte)
{
    struct Case {
        std::string text;
        const char* hidden;
    } cases[] = {
        {"\x82\x8F\xCE", "笑 (8F CE) after ｏ (82 8F) and ﾎ (CE)"},
        {"\x81\x93\x7B", "怒 (93 7B) in ％{ (81 93 7B)"},
        {"\x83\x81\x49", "！ (81 49) at the end of メI (83 81 49)"},
        {"\x83\x81\x47\x81\x47", "；； (81 47 81 47) in メG； (83 81 47 81 47)"},
        {"\x83\x77\x77", "ww (77 77) in ヘw (83 77 77)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Codes(Find(c.text)), "none") << c.hidden << ", text " << Hex(c.text);
}

TEST(PoseCues, OptionsComeInPriorityOrderOnePerCode)
{
    struct Case {
        const char* text;
        const char* codes;
    } cases[] = {
        {"こんにちは（笑）", "8 10"},              // laugh 11, wave 5
        {"私、怒ってます！！", "6 7 1 12"},         // angry 10, shout 9, "！" at the end 6, point at self 3
        {"笑笑ｗｗ（笑）www", "8"},                 // four laugh cues, one option
        {"ありがとう！", "1"},
        {"楽しい^^ 残念；；", "1 5"},              // equal priorities: the table's order
        {"Hello! I am here :)", "1 12 10"},        // happy 10, "i am" 7, wave 5
    };
    for (const Case& c : cases)
        EXPECT_EQ(Codes(Find(c.text)), c.codes) << c.text;
    PoseCues mild = Find("ありがとう！");
    EXPECT_EQ(mild.options[0].intensity, 128) << "a single exclamation mark is mildly happy";
}

}  // namespace
