// Reads a conversation file in the flat text form that MirthTool writes and
// Microsoft Chat reads, into a plain list of records. Portable: no windows.h.
//
// The file is untrusted input: a record that can't be read gives an error
// naming its line ("line 7: ...").
#pragma once

#include <cstddef>
#include <string>
#include <vector>

enum class RecordKind {
    StartHistory,  // nick: own nick, value: own character, extra: the title
    Backdrop,      // value: the backdrop's name
    Join,          // nick (join and ejoin alike), extra: the full name
    Part,          // nick
    ChangeAvatar,  // nick, value: the character's name
    Say,           // nick: the speaker, value: the text unescaped, extra: the mode block
    Nick,          // nick: the old nick, value: the new one
    Info,          // getinfo and comicchar: read, and left aside by the strip
};

struct ConversationRecord {
    RecordKind kind = RecordKind::Say;
    std::string nick;
    std::string value;
    std::string extra;
    int line = 0;  // 1 for the file's first line
};

// Reads `length` bytes. Lines end at CR LF, LF or CR (Chat ends them at
// either); empty lines are skipped.
// False with `error` set ("line 7: ...") when the signature line is missing, a
// keyword is unknown or a record lacks one of its fields.
bool ReadConversation(const char* bytes, size_t length, std::vector<ConversationRecord>& records,
                      std::string& error);

// A say text as Chat decodes it: byte by byte, \\ \t \n \r, knowing nothing of
// double-byte characters. Any other backslash is kept with the byte after it.
std::string UnescapeSayText(const std::string& text);
