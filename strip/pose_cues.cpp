#include "strip/pose_cues.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "chatart/chat_art.h"
#include "conversation/shift_jis.h"

namespace {

enum class CueMatch {
    Anywhere,        // the bytes, anywhere
    AnywhereNoCase,  // the bytes, ASCII letters in either case
    Word,            // a whole word, either case: at the start or after a blank, then the end, a blank or punctuation
    Start,           // the text starts with it (after blanks), either case, and no letter or digit follows
    End,             // the text ends with it (before blanks)
    Run,             // two or more of this ASCII letter, with no letter, digit or '.' either side ("ww", not "www.")
    AllCaps,         // more than one capital and no small letter
};

// Chat's English word rules would misfire on the ASCII letters inside a
// Japanese text ("OK" in a Japanese sentence is not a shout), so they only
// look at texts that are all ASCII.
enum class CueScope { AnyText, AsciiText };

struct PoseCue {
    const char* bytes;  // Shift-JIS
    CueMatch match;
    CueScope scope;
    int code;
    int intensity;
    int priority;
};

// Chat's rules (chat.rc ID_RULE_*) with their priorities, then the Japanese
// cues at the priorities of the English rules they match. The Japanese bytes
// are spelled out so that any compiler takes them.
const PoseCue kPoseCues[] = {
    {"", CueMatch::AllCaps, CueScope::AsciiText, EmotionShout, 255, 9},
    {"ROTFL", CueMatch::Word, CueScope::AsciiText, EmotionLaugh, 255, 11},
    {"LOL", CueMatch::Word, CueScope::AsciiText, EmotionLaugh, 255, 11},
    {"HEHE", CueMatch::AnywhereNoCase, CueScope::AsciiText, EmotionLaugh, 255, 11},
    {"\x81\x69\x8F\xCE\x81\x6A", CueMatch::Anywhere, CueScope::AnyText, EmotionLaugh, 255, 11},  // （笑）
    {"\x8F\xCE", CueMatch::Anywhere, CueScope::AnyText, EmotionLaugh, 255, 11},                  // 笑
    {"\x82\x97\x82\x97", CueMatch::Anywhere, CueScope::AnyText, EmotionLaugh, 255, 11},          // ｗｗ
    {"w", CueMatch::Run, CueScope::AnyText, EmotionLaugh, 255, 11},
    {":)", CueMatch::Anywhere, CueScope::AnyText, EmotionHappy, 255, 10},
    {":-)", CueMatch::Anywhere, CueScope::AnyText, EmotionHappy, 255, 10},
    {"^^", CueMatch::Anywhere, CueScope::AnyText, EmotionHappy, 255, 10},
    {"\x81\xF4", CueMatch::Anywhere, CueScope::AnyText, EmotionHappy, 255, 10},  // ♪
    {":(", CueMatch::Anywhere, CueScope::AnyText, EmotionSad, 255, 10},
    {":-(", CueMatch::Anywhere, CueScope::AnyText, EmotionSad, 255, 10},
    {"(T_T)", CueMatch::Anywhere, CueScope::AnyText, EmotionSad, 255, 10},
    {"\x81\x47\x81\x47", CueMatch::Anywhere, CueScope::AnyText, EmotionSad, 255, 10},  // ；；
    {"\x8B\x83", CueMatch::Anywhere, CueScope::AnyText, EmotionSad, 255, 10},          // 泣
    {";-)", CueMatch::Anywhere, CueScope::AnyText, EmotionCoy, 255, 10},
    {";)", CueMatch::Anywhere, CueScope::AnyText, EmotionCoy, 255, 10},
    {"\x93\x7B", CueMatch::Anywhere, CueScope::AnyText, EmotionAngry, 255, 10},  // 怒
    {"!!", CueMatch::Anywhere, CueScope::AnyText, EmotionShout, 255, 9},
    {"\x81\x49\x81\x49", CueMatch::Anywhere, CueScope::AnyText, EmotionShout, 255, 9},  // ！！
    {"are you", CueMatch::Word, CueScope::AsciiText, GesturePointOther, 255, 8},
    {"will you", CueMatch::Word, CueScope::AsciiText, GesturePointOther, 255, 8},
    {"did you", CueMatch::Word, CueScope::AsciiText, GesturePointOther, 255, 8},
    {"aren't you", CueMatch::Word, CueScope::AsciiText, GesturePointOther, 255, 8},
    {"don't you", CueMatch::Word, CueScope::AsciiText, GesturePointOther, 255, 8},
    {"i'm", CueMatch::Word, CueScope::AsciiText, GesturePointSelf, 255, 7},
    {"i will", CueMatch::Word, CueScope::AsciiText, GesturePointSelf, 255, 7},
    {"i'll", CueMatch::Word, CueScope::AsciiText, GesturePointSelf, 255, 7},
    {"i am", CueMatch::Word, CueScope::AsciiText, GesturePointSelf, 255, 7},
    // A single exclamation mark at the end: mildly happy.
    {"\x81\x49", CueMatch::End, CueScope::AnyText, EmotionHappy, 128, 6},  // ！
    {"!", CueMatch::End, CueScope::AnyText, EmotionHappy, 128, 6},
    {"Hello", CueMatch::Start, CueScope::AsciiText, GestureWave, 255, 5},
    {"Welcome", CueMatch::Start, CueScope::AsciiText, GestureWave, 255, 5},
    {"Howdy", CueMatch::Start, CueScope::AsciiText, GestureWave, 255, 5},
    {"\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD", CueMatch::Start, CueScope::AnyText, GestureWave, 255, 5},  // こんにちは
    {"\x82\xB1\x82\xF1\x82\xCE\x82\xF1\x82\xCD", CueMatch::Start, CueScope::AnyText, GestureWave, 255, 5},  // こんばんは
    {"\x82\xA8\x82\xCD\x82\xE6\x82\xA4", CueMatch::Start, CueScope::AnyText, GestureWave, 255, 5},          // おはよう
    {"\x82\xCD\x82\xB6\x82\xDF\x82\xDC\x82\xB5\x82\xC4", CueMatch::Start, CueScope::AnyText, GestureWave, 255, 5},  // はじめまして
    {"\x82\xE2\x82\xA0", CueMatch::Start, CueScope::AnyText, GestureWave, 255, 5},                          // やあ
    {"\x82\xDC\x82\xBD\x82\xCB", CueMatch::Start, CueScope::AnyText, GestureWave, 255, 5},                  // またね
    {"\x82\xB3\x82\xE6\x82\xA4\x82\xC8\x82\xE7", CueMatch::Start, CueScope::AnyText, GestureWave, 255, 5},  // さようなら
    {"You", CueMatch::Start, CueScope::AsciiText, GesturePointOther, 255, 4},
    {"\x82\xA0\x82\xC8\x82\xBD", CueMatch::Start, CueScope::AnyText, GesturePointOther, 255, 4},  // あなた
    {"\x8C\x4E", CueMatch::Start, CueScope::AnyText, GesturePointOther, 255, 4},                  // 君
    {"\x82\xAB\x82\xDD", CueMatch::Start, CueScope::AnyText, GesturePointOther, 255, 4},          // きみ
    {"Bye", CueMatch::Start, CueScope::AsciiText, GestureWave, 255, 3},
    {"I", CueMatch::Start, CueScope::AsciiText, GesturePointSelf, 255, 3},
    {"\x8E\x84", CueMatch::Start, CueScope::AnyText, GesturePointSelf, 255, 3},          // 私
    {"\x96\x6C", CueMatch::Start, CueScope::AnyText, GesturePointSelf, 255, 3},          // 僕
    {"\x89\xB4", CueMatch::Start, CueScope::AnyText, GesturePointSelf, 255, 3},          // 俺
    {"\x82\xED\x82\xBD\x82\xB5", CueMatch::Start, CueScope::AnyText, GesturePointSelf, 255, 3},  // わたし
    {"\x82\xDA\x82\xAD", CueMatch::Start, CueScope::AnyText, GesturePointSelf, 255, 3},  // ぼく
    {"Hi", CueMatch::Start, CueScope::AsciiText, GestureWave, 255, 2},
};

bool IsAsciiLetter(unsigned char byte)
{
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

bool IsAsciiAlnum(unsigned char byte)
{
    return IsAsciiLetter(byte) || (byte >= '0' && byte <= '9');
}

bool IsAsciiPunctuation(unsigned char byte)
{
    return byte > ' ' && byte < 0x7F && !IsAsciiAlnum(byte);
}

bool IsAsciiBlank(unsigned char byte)
{
    return byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n';
}

unsigned char LowerAscii(unsigned char byte)
{
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

// A text seen character by character: the offsets where characters start.
class CharText {
public:
    CharText(const char* text, size_t length) : text_(text), length_(length)
    {
        starts_.reserve(length + 1);
        for (size_t at = 0; at < length; at += SjisCharLength(text + at, length - at))
            starts_.push_back(at);
        starts_.push_back(length);
        first_ = 0;
        last_ = Chars();
        while (first_ < last_ && IsBlankChar(first_))
            ++first_;
        while (last_ > first_ && IsBlankChar(last_ - 1))
            --last_;
    }

    size_t Chars() const { return starts_.size() - 1; }
    size_t Start(size_t index) const { return starts_[index]; }
    unsigned char Byte(size_t offset) const { return static_cast<unsigned char>(text_[offset]); }
    // The single byte of character `index`, or 0 for a double-byte character or past the end.
    unsigned char SingleByte(size_t index) const
    {
        if (index >= Chars() || starts_[index + 1] - starts_[index] != 1)
            return 0;
        return Byte(starts_[index]);
    }

    bool MatchesAt(size_t offset, const char* cue, size_t cueLength, bool ignoreCase) const
    {
        if (offset + cueLength > length_)
            return false;
        for (size_t i = 0; i < cueLength; ++i) {
            unsigned char a = Byte(offset + i), b = static_cast<unsigned char>(cue[i]);
            if (ignoreCase ? LowerAscii(a) != LowerAscii(b) : a != b)
                return false;
        }
        return true;
    }

    bool IsAscii() const
    {
        for (size_t i = 0; i < length_; ++i)
            if (Byte(i) >= 0x80)
                return false;
        return true;
    }

    // The characters left once leading and trailing blanks (ASCII and
    // ideographic spaces) are set aside: [First(), Last()).
    size_t First() const { return first_; }
    size_t Last() const { return last_; }

private:
    bool IsBlankChar(size_t index) const
    {
        size_t at = starts_[index];
        if (starts_[index + 1] - at == 2)
            return Byte(at) == 0x81 && Byte(at + 1) == 0x40;
        return IsAsciiBlank(Byte(at));
    }

    const char* text_;
    size_t length_;
    std::vector<size_t> starts_;
    size_t first_, last_;
};

bool CueFound(const CharText& text, const PoseCue& cue)
{
    size_t cueLength = std::strlen(cue.bytes);
    size_t first = text.First(), last = text.Last();
    switch (cue.match) {
    case CueMatch::Anywhere:
    case CueMatch::AnywhereNoCase:
        for (size_t c = 0; c < text.Chars(); ++c)
            if (text.MatchesAt(text.Start(c), cue.bytes, cueLength, cue.match == CueMatch::AnywhereNoCase))
                return true;
        return false;
    case CueMatch::Word:
        for (size_t c = 0; c < text.Chars(); ++c) {
            if (c > 0 && !IsAsciiBlank(text.SingleByte(c - 1)))
                continue;
            if (!text.MatchesAt(text.Start(c), cue.bytes, cueLength, true))
                continue;
            size_t after = text.Start(c) + cueLength;
            if (after == text.Start(text.Chars()) || IsAsciiBlank(text.Byte(after)) ||
                IsAsciiPunctuation(text.Byte(after)))
                return true;
        }
        return false;
    case CueMatch::Start: {
        if (first == last || !text.MatchesAt(text.Start(first), cue.bytes, cueLength, true))
            return false;
        size_t after = text.Start(first) + cueLength;
        return after == text.Start(text.Chars()) || !IsAsciiAlnum(text.Byte(after));
    }
    case CueMatch::End:
        for (size_t c = first; c < last; ++c)
            if (text.Start(c) + cueLength == text.Start(last) &&
                text.MatchesAt(text.Start(c), cue.bytes, cueLength, false))
                return true;
        return false;
    case CueMatch::Run: {
        unsigned char letter = static_cast<unsigned char>(cue.bytes[0]);
        for (size_t c = 0; c < text.Chars();) {
            if (text.SingleByte(c) != letter) {
                ++c;
                continue;
            }
            size_t end = c;
            while (text.SingleByte(end) == letter)
                ++end;
            unsigned char before = c > 0 ? text.SingleByte(c - 1) : 0;
            unsigned char after = text.SingleByte(end);
            if (end - c >= 2 && !IsAsciiAlnum(before) && !IsAsciiAlnum(after) && after != '.')
                return true;
            c = end;
        }
        return false;
    }
    case CueMatch::AllCaps: {
        int capitals = 0;
        for (size_t c = 0; c < text.Chars(); ++c) {
            unsigned char byte = text.SingleByte(c);
            if (byte >= 'a' && byte <= 'z')
                return false;
            if (byte >= 'A' && byte <= 'Z')
                ++capitals;
        }
        return capitals > 1;
    }
    }
    return false;
}

// Adds an option as Chat does: one per code, keeping the higher priority.
void AddOption(PoseCues& cues, const PoseCue& cue)
{
    for (int i = 0; i < cues.count; ++i) {
        PoseOption& option = cues.options[i];
        if (option.code == cue.code) {
            if (option.priority < cue.priority) {
                option.priority = cue.priority;
                option.intensity = cue.intensity;
            }
            return;
        }
    }
    if (cues.count == kMaxPoseOptions)
        return;
    cues.options[cues.count++] = PoseOption{cue.code, cue.intensity, cue.priority};
}

}  // namespace

PoseCues FindPoseCues(const char* text, size_t length)
{
    PoseCues cues;
    CharText chars(text, length);
    bool ascii = chars.IsAscii();
    for (const PoseCue& cue : kPoseCues) {
        if (cue.scope == CueScope::AsciiText && !ascii)
            continue;
        if (CueFound(chars, cue))
            AddOption(cues, cue);
    }
    std::stable_sort(cues.options, cues.options + cues.count,
                     [](const PoseOption& a, const PoseOption& b) { return a.priority > b.priority; });
    return cues;
}
