// What MirthTool hands its Simple MAPI helper: the mail's texts and the
// attachments, as one byte string on the helper's standard input. Texts never
// go on a command line, so no quote, backslash, line break or trail byte is
// re-read, and no text can be taken for an option. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct MapiAttachment {
    std::string path;  // full path of the file
    std::string name;  // the name the mail shows for it
};

struct MapiRequest {
    std::string subject;  // Shift-JIS, as typed
    std::string text;     // Shift-JIS, CR LF line breaks
    std::vector<MapiAttachment> attachments;  // in the order the mail shows them
};

// Exit codes of the helper beyond the MAPI results (which are small numbers):
// no MAPI library or no MAPISendMail in it, and a request it could not read.
const uint32_t kHelperNoMapi = 1000;
const uint32_t kHelperBadRequest = 1001;

// Each field as its length in decimal, a colon and its bytes, after a
// signature: the subject, the text, the number of attachments, then the path
// and name of each.
std::string EncodeMapiRequest(const MapiRequest& request);

// False for anything EncodeMapiRequest doesn't make, including a field that
// holds a zero byte (the MAPI strings are zero-terminated).
bool DecodeMapiRequest(const std::string& bytes, MapiRequest& request);
