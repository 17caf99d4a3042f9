// libFuzzer target for the conversation bytes: any names and any body. Checks
// that every record fits and ends in exactly one CR LF, that no field holds a
// TAB, CR or LF, and that Chat's reading of the say records gives back the
// body's lines.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "conversation/conversation_format.h"
#include "tests/common/chat_reader.h"

namespace {

const std::string kFiller = "\x81\x45\x81\x45\x81\x45";

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

// A name as the file must carry it: cut at the first NUL and at
// kMaxNameBytes, a TAB, CR or LF written as a blank.
std::string AsWritten(const std::string& name)
{
    std::string written = name.substr(0, name.find('\0')).substr(0, kMaxNameBytes);
    for (char& byte : written)
        if (byte == '\t' || byte == '\r' || byte == '\n')
            byte = ' ';
    return written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    std::string names[5];
    for (std::string& name : names)
        name = input.ConsumeRandomLengthString(200);
    std::string body = input.ConsumeRemainingBytesAsString();

    ConversationNames given = {names[0].c_str(), names[1].c_str(), names[2].c_str(), names[3].c_str(),
                               names[4].c_str()};
    std::string file = FormatConversationToString(given, body.data(), body.size());

    std::vector<std::string> records;
    Require(chat_reader::SplitRecords(file, records));
    for (const std::string& record : records)
        Require(record.size() + 2 <= kMaxRecordBytes);

    std::string back = AsWritten(names[0]), own = AsWritten(names[1]), ownChar = AsWritten(names[2]);
    std::string quoted = AsWritten(names[3]), quotedChar = AsWritten(names[4]);
    Require(records.size() >= 9);
    Require(records[0] == "#CHATCONVERSATION");
    Require(records[1] == "starthistory\t\t\t");
    Require(records[2] == "backdrop\t" + back + "\t");
    Require(records[3] == "join\t" + own);
    Require(records[4] == "join\t" + quoted);
    Require(records[5] == "changeavatar\t" + own + "\t" + ownChar);
    Require(records[6] == "changeavatar\t" + quoted + "\t" + quotedChar);
    Require(records.back() == "part\t" + own);

    // Each body line is said by its speaker in one or more records whose
    // decoded texts, joined, give the line as Chat should show it.
    size_t next = 7;
    for (const std::string& line : chat_reader::BodyLines(body)) {
        bool isQuoted = !line.empty() && line[0] == '>';
        std::string text = isQuoted ? line.substr(1) : line;
        std::string want = text.empty() ? kFiller : chat_reader::WithoutManualEscapes(text);
        std::string got;
        while (got.size() < want.size()) {
            Require(next < records.size() - 1);
            std::vector<std::string> fields = chat_reader::SplitFields(records[next++]);
            Require(fields.size() == 4 && fields[0] == "say" && fields[2].empty());
            Require(fields[1] == (isQuoted ? quoted : own));
            std::string decoded;
            Require(chat_reader::DecodeSayText(fields[3], decoded));
            Require(!decoded.empty());
            got += decoded;
        }
        Require(got == want);
    }
    Require(next == records.size() - 1);
    return 0;
}
