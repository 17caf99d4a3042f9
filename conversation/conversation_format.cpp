#include "conversation/conversation_format.h"

#include <cstring>

#include "conversation/shift_jis.h"

namespace {

// "・・・" (three KATAKANA MIDDLE DOTs in Shift-JIS): said for an empty line,
// because Microsoft Chat reads an empty line as a repeat of the previous record.
const char kFiller[] = "\x81\x45\x81\x45\x81\x45";

const char kCrLf[] = "\r\n";

// Collects the file's bytes and hands them to the sink a chunk at a time.
class Output {
public:
    Output(ConversationSink sink, void* context) : sink_(sink), context_(context) {}

    // A pointer to room for `count` more bytes (count <= kMaxRecordBytes).
    char* Reserve(size_t count)
    {
        if (used_ + count > sizeof buffer_)
            Flush();
        return buffer_ + used_;
    }
    void Commit(size_t count) { used_ += count; }

    void Append(const char* bytes, size_t count)
    {
        std::memcpy(Reserve(count), bytes, count);
        Commit(count);
    }
    void Append(const char* text) { Append(text, std::strlen(text)); }

    bool Flush()
    {
        if (used_ > 0 && ok_)
            ok_ = sink_(context_, buffer_, used_);
        used_ = 0;
        return ok_;
    }

private:
    ConversationSink sink_;
    void* context_;
    bool ok_ = true;
    size_t used_ = 0;
    char buffer_[kConversationChunkBytes];
};

// A name as it goes into its fields: at most kMaxNameBytes, and a TAB, CR or LF
// (which would end the field or the record) written as a blank instead.
class Name {
public:
    explicit Name(const char* text)
    {
        length_ = text ? strnlen(text, kMaxNameBytes) : 0;
        for (size_t i = 0; i < length_; ++i) {
            char byte = text[i];
            bytes_[i] = (byte == '\t' || byte == '\r' || byte == '\n') ? ' ' : byte;
        }
        bytes_[length_] = '\0';
    }
    const char* c_str() const { return bytes_; }
    size_t size() const { return length_; }

private:
    char bytes_[kMaxNameBytes + 1];
    size_t length_;
};

// The next offset at or after `from` that holds `target` (or the text's length),
// remembered so that a whole scan of the text costs one pass per byte value.
class NextByte {
public:
    NextByte(const char* text, size_t length, char target)
        : text_(text), length_(length), target_(target) {}

    size_t From(size_t from)
    {
        if (!found_ || next_ < from) {
            const void* hit = std::memchr(text_ + from, target_, length_ - from);
            next_ = hit ? static_cast<size_t>(static_cast<const char*>(hit) - text_) : length_;
            found_ = true;
        }
        return next_;
    }

private:
    const char* text_;
    size_t length_;
    char target_;
    bool found_ = false;
    size_t next_ = 0;
};

// One character of a say text as it is written: a character with the escape
// that Microsoft Chat's reader needs. Such a unit is never split across records.
struct Unit {
    size_t consumed;  // bytes of the body it stands for
    size_t size;      // bytes written
    char bytes[3];
};

// Chat's reader takes a 0x5C in a say text as the start of an escape and knows
// nothing of double-byte characters, so every 0x5C is doubled and a TAB becomes
// "\t". A 0x5C typed right after a character whose second byte is 0x5C is that
// character's escape already and is written once.
Unit NextUnit(const char* text, size_t available)
{
    unsigned char first = static_cast<unsigned char>(text[0]);
    if (first == '\t')
        return Unit{1, 2, {'\\', 't'}};
    if (first == '\\')
        return Unit{1, 2, {'\\', '\\'}};
    if (SjisCharLength(text, available) == 1)
        return Unit{1, 1, {text[0]}};
    if (text[1] != '\\')
        return Unit{2, 2, {text[0], text[1]}};
    bool typedEscape = available >= 3 && text[2] == '\\';
    return Unit{typedEscape ? 3u : 2u, 3, {text[0], '\\', '\\'}};
}

class Formatter {
public:
    Formatter(const ConversationNames& names, const char* body, size_t length,
              ConversationSink sink, void* context)
        : backstr_(names.backstr), namestr_(names.namestr), charstr_(names.charstr),
          namestr2_(names.namestr2), charstr2_(names.charstr2), body_(body), length_(length),
          nextCr_(body, length, '\r'), nextLf_(body, length, '\n'),
          nextTab_(body, length, '\t'), nextBackslash_(body, length, '\\'),
          out_(sink, context) {}

    bool Run()
    {
        WriteHeader();
        WriteBody();
        WriteField("part", namestr_);
        out_.Append(kCrLf);
        return out_.Flush();
    }

private:
    void WriteField(const char* keyword, const Name& name)
    {
        out_.Append(keyword);
        out_.Append("\t", 1);
        out_.Append(name.c_str(), name.size());
    }

    void WriteHeader()
    {
        out_.Append("#CHATCONVERSATION\r\n");
        out_.Append("starthistory\t\t\t\r\n");
        WriteField("backdrop", backstr_);
        out_.Append("\t\r\n");
        WriteField("join", namestr_);
        out_.Append(kCrLf);
        WriteField("join", namestr2_);
        out_.Append(kCrLf);
        WriteField("changeavatar", namestr_);
        out_.Append("\t", 1);
        out_.Append(charstr_.c_str(), charstr_.size());
        out_.Append(kCrLf);
        WriteField("changeavatar", namestr2_);
        out_.Append("\t", 1);
        out_.Append(charstr2_.c_str(), charstr2_.size());
        out_.Append(kCrLf);
    }

    // Every line gives at least one say record; the text after the last line
    // end is a line too, so a body that ends with a line end closes with an
    // empty line.
    void WriteBody()
    {
        size_t start = 0;
        for (;;) {
            size_t cr = nextCr_.From(start);
            size_t lf = nextLf_.From(start);
            size_t end = cr < lf ? cr : lf;
            WriteLine(start, end);
            if (end == length_)
                break;
            start = end + 1;
            if (body_[end] == '\r' && start < length_ && body_[start] == '\n')
                ++start;
        }
    }

    void WriteLine(size_t start, size_t end)
    {
        const Name* speaker = &namestr_;
        if (start < end && body_[start] == '>') {
            speaker = &namestr2_;
            ++start;
        }
        if (start == end) {
            WriteSay(*speaker, kFiller, sizeof kFiller - 1);
            return;
        }
        size_t capacity = TextCapacity(*speaker);
        bool plain = nextTab_.From(start) >= end && nextBackslash_.From(start) >= end;
        if (plain && end - start <= capacity)
            WriteSay(*speaker, body_ + start, end - start);
        else
            WriteEscapedSays(*speaker, start, end, capacity);
    }

    static size_t TextCapacity(const Name& speaker)
    {
        // "say" TAB name TAB TAB text CR LF
        return kMaxRecordBytes - (3 + 1 + speaker.size() + 2) - 2;
    }

    void BeginSay(const Name& speaker)
    {
        WriteField("say", speaker);
        out_.Append("\t\t", 2);
    }

    void WriteSay(const Name& speaker, const char* text, size_t size)
    {
        BeginSay(speaker);
        out_.Append(text, size);
        out_.Append(kCrLf, 2);
    }

    // The line's text with its escapes, in as many records as it needs.
    void WriteEscapedSays(const Name& speaker, size_t start, size_t end, size_t capacity)
    {
        BeginSay(speaker);
        size_t used = 0;
        for (size_t at = start; at < end;) {
            Unit unit = NextUnit(body_ + at, end - at);
            if (used + unit.size > capacity) {
                out_.Append(kCrLf, 2);
                BeginSay(speaker);
                used = 0;
            }
            out_.Append(unit.bytes, unit.size);
            used += unit.size;
            at += unit.consumed;
        }
        out_.Append(kCrLf, 2);
    }

    Name backstr_, namestr_, charstr_, namestr2_, charstr2_;
    const char* body_;
    size_t length_;
    NextByte nextCr_, nextLf_, nextTab_, nextBackslash_;
    Output out_;
};

bool AppendToString(void* context, const char* bytes, size_t count)
{
    static_cast<std::string*>(context)->append(bytes, count);
    return true;
}

}  // namespace

bool FormatConversation(const ConversationNames& names, const char* body, size_t length,
                        ConversationSink sink, void* context)
{
    Formatter formatter(names, body, length, sink, context);
    return formatter.Run();
}

std::string FormatConversationToString(const ConversationNames& names, const char* body,
                                       size_t length)
{
    std::string bytes;
    FormatConversation(names, body, length, AppendToString, &bytes);
    return bytes;
}
