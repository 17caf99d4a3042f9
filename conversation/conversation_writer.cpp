#include "conversation/conversation_writer.h"

#include <windows.h>

#include "conversation/conversation_format.h"

namespace {

// Gives a viewer that still shows the old file time to let it go after the
// delete, before the new file is created in its place.
const DWORD kWaitAfterDeleteMs = 500;

bool WriteToFile(void* context, const char* bytes, size_t count)
{
    HANDLE file = static_cast<HANDLE>(context);
    while (count > 0) {
        DWORD written = 0;
        if (!WriteFile(file, bytes, static_cast<DWORD>(count), &written, nullptr) || written == 0)
            return false;
        bytes += written;
        count -= written;
    }
    return true;
}

}  // namespace

bool WriteConversationFile(const char* path, const Settings& settings, const char* body,
                           size_t length)
{
    DeleteFileA(path);
    Sleep(kWaitAfterDeleteMs);
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;

    ConversationNames names = {settings.backstr, settings.namestr, settings.charstr,
                               settings.namestr2, settings.charstr2};
    bool complete = FormatConversation(names, body, length, WriteToFile, file);
    // A file that survived the delete may be longer than the new one.
    complete = SetEndOfFile(file) && complete;
    complete = FlushFileBuffers(file) && complete;
    complete = CloseHandle(file) && complete;
    return complete;
}
