// Reads a conversation file back the way Microsoft Chat does, for checks: CR LF
// ends a record, TAB separates fields, and a say text decodes \\ \t \n \r.
#pragma once

#include <string>
#include <vector>

#include "conversation/shift_jis.h"

namespace chat_reader {

// The records of `file` without their CR LF. False if a CR or LF appears other
// than as a record's CR LF, or the file doesn't end with one.
inline bool SplitRecords(const std::string& file, std::vector<std::string>& records)
{
    records.clear();
    size_t start = 0;
    for (size_t at = 0; at < file.size(); ++at) {
        if (file[at] == '\n')
            return false;
        if (file[at] != '\r')
            continue;
        if (at + 1 >= file.size() || file[at + 1] != '\n')
            return false;
        records.push_back(file.substr(start, at - start));
        start = at + 2;
        ++at;
    }
    return start == file.size();
}

inline std::vector<std::string> SplitFields(const std::string& record)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; (tab = record.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(record.substr(start, tab - start));
    fields.push_back(record.substr(start));
    return fields;
}

// Decodes a say text byte by byte, as Chat does (it knows nothing of
// double-byte characters). False on an escape Chat doesn't know.
inline bool DecodeSayText(const std::string& text, std::string& decoded)
{
    decoded.clear();
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '\\') {
            decoded += text[at];
            continue;
        }
        if (++at == text.size())
            return false;
        switch (text[at]) {
        case '\\': decoded += '\\'; break;
        case 't': decoded += '\t'; break;
        case 'n': decoded += '\n'; break;
        case 'r': decoded += '\r'; break;
        default: return false;
        }
    }
    return true;
}

// What Chat should show for a body line: the line with every 0x5C that the
// user typed right after a character whose second byte is 0x5C taken out (it
// was the manual escape of that character).
inline std::string WithoutManualEscapes(const std::string& line)
{
    std::string shown;
    for (size_t at = 0; at < line.size();) {
        size_t size = SjisCharLength(line.data() + at, line.size() - at);
        shown.append(line, at, size);
        at += size;
        if (size == 2 && line[at - 1] == '\\' && at < line.size() && line[at] == '\\')
            ++at;
    }
    return shown;
}

// The body's lines, ended by CR LF, a lone CR or a lone LF; the text after the
// last line end is a line too.
inline std::vector<std::string> BodyLines(const std::string& body)
{
    std::vector<std::string> lines(1);
    for (size_t at = 0; at < body.size(); ++at) {
        if (body[at] == '\r' || body[at] == '\n') {
            if (body[at] == '\r' && at + 1 < body.size() && body[at + 1] == '\n')
                ++at;
            lines.emplace_back();
        } else {
            lines.back() += body[at];
        }
    }
    return lines;
}

}  // namespace chat_reader
