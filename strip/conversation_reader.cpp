#include "strip/conversation_reader.h"

#include <cstring>

namespace {

const char kSignature[] = "#CHATCONVERSATION";

bool EqualIgnoringAsciiCase(const std::string& a, const char* b)
{
    size_t length = std::strlen(b);
    if (a.size() != length)
        return false;
    for (size_t i = 0; i < length; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

struct Keyword {
    const char* name;
    RecordKind kind;
    size_t fields;  // fields the record needs, the keyword included
};

// Chat writes every field of these records; the fields past these are ignored,
// as Chat ignores them.
const Keyword kKeywords[] = {
    {"say", RecordKind::Say, 4},
    {"join", RecordKind::Join, 2},
    {"ejoin", RecordKind::Join, 2},
    {"part", RecordKind::Part, 2},
    {"changeavatar", RecordKind::ChangeAvatar, 3},
    {"nick", RecordKind::Nick, 3},
    {"backdrop", RecordKind::Backdrop, 2},
    {"starthistory", RecordKind::StartHistory, 1},
    {"getinfo", RecordKind::Info, 1},
    {"comicchar", RecordKind::Info, 1},
};

std::vector<std::string> SplitFields(const char* line, size_t length)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t at = 0; at <= length; ++at) {
        if (at == length || line[at] == '\t') {
            fields.emplace_back(line + start, at - start);
            start = at + 1;
        }
    }
    return fields;
}

std::string Field(const std::vector<std::string>& fields, size_t index)
{
    return index < fields.size() ? fields[index] : std::string();
}

bool ReadRecord(const char* line, size_t length, int lineNumber, ConversationRecord& record, std::string& error)
{
    std::vector<std::string> fields = SplitFields(line, length);
    const Keyword* keyword = nullptr;
    for (const Keyword& candidate : kKeywords)
        if (EqualIgnoringAsciiCase(fields[0], candidate.name))
            keyword = &candidate;
    if (!keyword) {
        error = "line " + std::to_string(lineNumber) + ": unknown record \"" + fields[0].substr(0, 40) + "\"";
        return false;
    }
    if (fields.size() < keyword->fields) {
        error = "line " + std::to_string(lineNumber) + ": the " + keyword->name + " record lacks " +
                std::to_string(keyword->fields - fields.size()) + " of its fields";
        return false;
    }
    record = ConversationRecord();
    record.kind = keyword->kind;
    record.line = lineNumber;
    switch (keyword->kind) {
    case RecordKind::Say:
        record.nick = fields[1];
        record.extra = fields[2];
        record.value = UnescapeSayText(fields[3]);
        break;
    case RecordKind::Backdrop:
        record.value = fields[1];
        break;
    case RecordKind::StartHistory:
    case RecordKind::ChangeAvatar:
    case RecordKind::Nick:
        record.nick = Field(fields, 1);
        record.value = Field(fields, 2);
        record.extra = Field(fields, 3);
        break;
    case RecordKind::Join:
    case RecordKind::Part:
    case RecordKind::Info:
        record.nick = Field(fields, 1);
        record.extra = Field(fields, 2);
        break;
    }
    return true;
}

}  // namespace

std::string UnescapeSayText(const std::string& text)
{
    std::string plain;
    plain.reserve(text.size());
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '\\' || at + 1 == text.size()) {
            plain += text[at];
            continue;
        }
        switch (text[++at]) {
        case '\\': plain += '\\'; break;
        case 't': plain += '\t'; break;
        case 'n': plain += '\n'; break;
        case 'r': plain += '\r'; break;
        default:
            plain += '\\';
            plain += text[at];
            break;
        }
    }
    return plain;
}

bool ReadConversation(const char* bytes, size_t length, std::vector<ConversationRecord>& records,
                      std::string& error)
{
    records.clear();
    error.clear();
    int lineNumber = 0;
    for (size_t start = 0; start < length;) {
        ++lineNumber;
        size_t end = start;
        while (end < length && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        size_t next = end;
        if (next < length)
            next += (bytes[next] == '\r' && next + 1 < length && bytes[next + 1] == '\n') ? 2 : 1;
        const char* line = bytes + start;
        size_t lineLength = end - start;
        start = next;
        if (lineNumber == 1) {
            const size_t signatureLength = sizeof kSignature - 1;
            if (lineLength < signatureLength ||
                !EqualIgnoringAsciiCase(std::string(line, signatureLength), kSignature)) {
                error = "line 1: not a conversation file (it doesn't start with #CHATCONVERSATION)";
                return false;
            }
            continue;
        }
        if (lineLength == 0)
            continue;
        ConversationRecord record;
        if (!ReadRecord(line, lineLength, lineNumber, record, error))
            return false;
        records.push_back(std::move(record));
    }
    if (lineNumber == 0) {
        error = "line 1: not a conversation file (it is empty)";
        return false;
    }
    return true;
}
