#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "handoff/mapi_request.h"
#include "handoff/pe_machine.h"

namespace {

TEST(MapiRequest, EveryByteOfTheTextsArrivesAsItWas)
{
    MapiRequest sent;
    // Quotes, backslashes, "ソ" and "表" (second byte 5C), line breaks, option-like words,
    // digits and colons that look like the encoding's own lengths.
    sent.subject = "件名 \"ソフト\" C:\\temp\\ -x /S";
    sent.text = "表示\\\r\n12:34\r\n\r\n\t--help\r\n";
    sent.attachments = {{"c:\\users\\ソ\\Mirth.ccc", "Mirth.ccc"}, {"c:\\users\\ソ\\Mirth.png", "Mirth.png"},
                        {"d:\\1:2\\Mirth-2.png", "Mirth-2.png"}};
    MapiRequest got;
    ASSERT_TRUE(DecodeMapiRequest(EncodeMapiRequest(sent), got));
    EXPECT_EQ(got.subject, sent.subject);
    EXPECT_EQ(got.text, sent.text);
    ASSERT_EQ(got.attachments.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(got.attachments[i].path, sent.attachments[i].path) << i;
        EXPECT_EQ(got.attachments[i].name, sent.attachments[i].name) << i;
    }

    MapiRequest empty;
    ASSERT_TRUE(DecodeMapiRequest(EncodeMapiRequest(MapiRequest{}), empty));
    EXPECT_EQ(empty.subject, "");
}

TEST(MapiRequest, AnythingElseIsRefused)
{
    MapiRequest request = {"s", "t", {{"p", "n"}, {"q", "o"}}};
    std::string bytes = EncodeMapiRequest(request);
    MapiRequest got;
    for (size_t cut = 0; cut < bytes.size(); ++cut)
        EXPECT_FALSE(DecodeMapiRequest(bytes.substr(0, cut), got)) << "cut at " << cut;
    EXPECT_FALSE(DecodeMapiRequest(bytes + "x", got)) << "trailing bytes";
    EXPECT_FALSE(DecodeMapiRequest(bytes + "1:r1:s", got)) << "more attachments than counted";
    EXPECT_FALSE(DecodeMapiRequest("MirthMapi2\n1:a1:b1:11:c9999999999:d", got)) << "a length too long to be true";
    EXPECT_FALSE(DecodeMapiRequest("MirthMapi2\n1:a-1:b1:11:c1:d", got)) << "a length that is no number";
    EXPECT_FALSE(DecodeMapiRequest("MirthMapi2\n1:a1:b2:-11:c1:d", got)) << "a count that is no number";
    EXPECT_FALSE(DecodeMapiRequest(std::string("MirthMapi2\n1:\0" "1:b1:11:c1:d", 23), got)) << "a zero byte in a text";
}

std::vector<unsigned char> Header(uint32_t ntOffset, uint16_t machine)
{
    std::vector<unsigned char> bytes(ntOffset + 24, 0);
    bytes[0] = 'M';
    bytes[1] = 'Z';
    for (int i = 0; i < 4; ++i)
        bytes[0x3C + i] = static_cast<unsigned char>(ntOffset >> (8 * i));
    bytes[ntOffset] = 'P';
    bytes[ntOffset + 1] = 'E';
    bytes[ntOffset + 4] = static_cast<unsigned char>(machine);
    bytes[ntOffset + 5] = static_cast<unsigned char>(machine >> 8);
    return bytes;
}

TEST(PeMachine, ReadsTheMachineOfAPeHeaderAndNothingElse)
{
    std::vector<unsigned char> x64 = Header(0x80, kMachineAmd64), x86 = Header(0xF8, kMachineI386);
    EXPECT_EQ(PeMachine(x64.data(), x64.size()), kMachineAmd64);
    EXPECT_EQ(PeMachine(x86.data(), x86.size()), kMachineI386);
    EXPECT_EQ(PeMachine(x86.data(), 0xF8 + 5), 0) << "header cut off";
    std::vector<unsigned char> far = Header(0x80, kMachineAmd64);
    far[0x3C + 3] = 0x7F;  // the header's offset points far beyond the bytes read
    EXPECT_EQ(PeMachine(far.data(), far.size()), 0);
    std::vector<unsigned char> notPe = x64;
    notPe[0x81] = 'X';
    EXPECT_EQ(PeMachine(notPe.data(), notPe.size()), 0);
    std::vector<unsigned char> notMz = x64;
    notMz[0] = 'Z';
    EXPECT_EQ(PeMachine(notMz.data(), notMz.size()), 0);
    EXPECT_EQ(PeMachine(x64.data(), 10), 0);
}

}  // namespace
