#include "conversation/conversation_format.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "conversation/shift_jis.h"

namespace {

// "・・・" (three KATAKANA MIDDLE DOTs in Shift-JIS): said for an empty line,
// because Microsoft Chat reads an empty line as a repeat of the previous record.
const char kFiller[] = "\x81\x45\x81\x45\x81\x45";

const char kCrLf[] = "\r\n";

// Room past a record that the sixteen-byte copy may write into.
const size_t kCopySlack = 16;

// Collects the file's bytes and hands them to the sink a chunk at a time.
class Output {
public:
    Output(ConversationSink sink, void* context) : sink_(sink), context_(context) {}

    // A pointer to room for `count` more bytes (count <= kMaxRecordBytes + kCopySlack).
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

bool IsSpecial(char byte)
{
    return byte == '\r' || byte == '\n' || byte == '\t' || byte == '\\';
}

// Copies the body's bytes from `at` to `out` up to the next CR, LF, TAB or
// 0x5C (the only bytes that end a line or need an escape) or the body's end,
// and advances both. Returns false, with `at` and `out` unusable, if the copy
// would pass `limit`. Where SSE2 is there (every x86-64 machine) it scans and
// copies sixteen bytes at a time, so it may write up to 16 bytes past `limit`.
bool CopyUntilSpecial(const char* body, size_t length, size_t& at, char*& out, const char* limit)
{
#ifdef __SSE2__
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    const __m128i tab = _mm_set1_epi8('\t'), backslash = _mm_set1_epi8('\\');
    while (at + 16 <= length) {
        if (out > limit)
            return false;
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(body + at));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
        __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)),
                                    _mm_or_si128(_mm_cmpeq_epi8(bytes, tab), _mm_cmpeq_epi8(bytes, backslash)));
        if (int mask = _mm_movemask_epi8(hits)) {
            size_t run = static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
            at += run;
            out += run;
            return out <= limit;
        }
        at += 16;
        out += 16;
    }
#endif
    for (; at < length && !IsSpecial(body[at]); ++at) {
        if (out == limit)
            return false;
        *out++ = body[at];
    }
    return out <= limit;
}

// "say" TAB speaker TAB TAB: the start of each say record of one speaker.
struct SayPrefix {
    // Whole sixteen-byte blocks, so that it can be copied a block at a time.
    alignas(16) char bytes[(3 + 1 + kMaxNameBytes + 2 + 15) / 16 * 16];
    size_t size;
    size_t capacity;  // bytes of text that fit one record after this prefix

    explicit SayPrefix(const Name& speaker)
    {
        std::memset(bytes, 0, sizeof bytes);
        std::memcpy(bytes, "say\t", 4);
        std::memcpy(bytes + 4, speaker.c_str(), speaker.size());
        std::memcpy(bytes + 4 + speaker.size(), "\t\t", 2);
        size = 4 + speaker.size() + 2;
        capacity = kMaxRecordBytes - size - 2;
    }
};

// Copies the prefix to `out` in whole blocks (a record has room for them: the
// text that follows overwrites the excess).
void CopyPrefix(const SayPrefix& prefix, char* out)
{
    for (size_t at = 0; at < prefix.size; at += 16)
        std::memcpy(out + at, prefix.bytes + at, 16);
}

// True when the byte at `at` is the second byte of a double-byte character,
// `start` being a character boundary. The byte before a run of lead-range bytes
// ends a character (it can't be a lead), and the run pairs up from there; so an
// odd run makes the byte at `at` a second byte.
bool IsSecondByte(const char* text, size_t start, size_t at)
{
    size_t run = 0;
    while (at > start && IsSjisLeadByte(static_cast<unsigned char>(text[at - 1]))) {
        --at;
        ++run;
    }
    return run % 2 == 1;
}

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
          namestr2_(names.namestr2), charstr2_(names.charstr2), own_(namestr_), quoted_(namestr2_),
          body_(body), length_(length), out_(sink, context) {}

    bool Run()
    {
        WriteHeader();
        // Every line gives at least one say record. The text after the last
        // line end is a line too, so a body that ends with a line end closes
        // with an empty line.
        for (size_t start = 0;;) {
            size_t end = WriteLine(start);
            if (end == length_)
                break;
            start = end + 1;
            if (body_[end] == '\r' && start < length_ && body_[start] == '\n')
                ++start;
        }
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

    // Writes the line that starts at `start` and returns the offset of its end
    // (its CR or LF, or the body's length). The record is built in place; a
    // line whose text doesn't fit one record is written again in pieces.
    size_t WriteLine(size_t start)
    {
        const SayPrefix* speaker = &own_;
        if (start < length_ && body_[start] == '>') {
            speaker = &quoted_;
            ++start;
        }
        char* record = out_.Reserve(kMaxRecordBytes + kCopySlack);
        CopyPrefix(*speaker, record);
        char* text = record + speaker->size;
        char* limit = text + speaker->capacity;
        char* out = text;
        size_t at = start;
        for (;;) {
            if (!CopyUntilSpecial(body_, length_, at, out, limit))
                return WriteLineInPieces(*speaker, start);
            if (at == length_ || body_[at] == '\r' || body_[at] == '\n')
                break;
            if (limit - out < 2)
                return WriteLineInPieces(*speaker, start);
            at += WriteEscape(start, at, out);
            out += 2;
        }
        if (out == text) {
            std::memcpy(out, kFiller, sizeof kFiller - 1);
            out += sizeof kFiller - 1;
        }
        out[0] = '\r';
        out[1] = '\n';
        out_.Commit(static_cast<size_t>(out + 2 - record));
        return at;
    }

    // Writes the escape for the TAB or 0x5C at `at` (two bytes) and returns how
    // many body bytes it stands for: a 0x5C typed right after a character whose
    // second byte is 0x5C is that character's escape already and is taken along.
    size_t WriteEscape(size_t lineStart, size_t at, char* out)
    {
        out[0] = '\\';
        if (body_[at] == '\t') {
            out[1] = 't';
            return 1;
        }
        out[1] = '\\';
        bool typedEscape = at + 1 < length_ && body_[at + 1] == '\\' && IsSecondByte(body_, lineStart, at);
        return typedEscape ? 2 : 1;
    }

    // The line's text in as many records as it needs, never separating a
    // character from its escape. Returns the offset of the line's end.
    size_t WriteLineInPieces(const SayPrefix& speaker, size_t at)
    {
        out_.Append(speaker.bytes, speaker.size);
        size_t used = 0;
        while (at < length_ && body_[at] != '\r' && body_[at] != '\n') {
            Unit unit = NextUnit(body_ + at, length_ - at);
            if (used + unit.size > speaker.capacity) {
                out_.Append(kCrLf, 2);
                out_.Append(speaker.bytes, speaker.size);
                used = 0;
            }
            out_.Append(unit.bytes, unit.size);
            used += unit.size;
            at += unit.consumed;
        }
        out_.Append(kCrLf, 2);
        return at;
    }

    Name backstr_, namestr_, charstr_, namestr2_, charstr2_;
    SayPrefix own_, quoted_;
    const char* body_;
    size_t length_;
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
