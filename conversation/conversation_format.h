// Builds the bytes of a Microsoft Chat conversation file from the mail text.
// Portable: no windowing system, no files; the caller decides where the bytes go.
#pragma once

#include <cstddef>
#include <string>

// The five names that the conversation uses, each a NUL-terminated byte string.
// Only the first kMaxNameBytes bytes of each are used.
struct ConversationNames {
    const char* backstr;   // backdrop file name
    const char* namestr;   // own name: speaker of the user's lines
    const char* charstr;   // own character
    const char* namestr2;  // quoted name: speaker of the lines that start with ">"
    const char* charstr2;  // quoted character
};

const size_t kMaxNameBytes = 127;

// No record of the file, its CR LF included, is longer than this. Longer body
// lines are split into several say records of the same speaker.
const size_t kMaxRecordBytes = 1023;

// The sink receives the file's bytes in order, in pieces of at most
// kConversationChunkBytes. It returns false when it could not take them all;
// it is handed nothing more then.
const size_t kConversationChunkBytes = 64 * 1024;
typedef bool (*ConversationSink)(void* context, const char* bytes, size_t count);

// Formats the whole file for `body` (`length` bytes, lines ended by CR LF, a
// lone CR or a lone LF) and hands it to `sink`. Uses no heap memory. Returns
// false if the sink refused a piece.
bool FormatConversation(const ConversationNames& names, const char* body, size_t length,
                        ConversationSink sink, void* context);

// The same bytes, collected in a string.
std::string FormatConversationToString(const ConversationNames& names, const char* body,
                                       size_t length);
