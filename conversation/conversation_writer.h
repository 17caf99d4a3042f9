// Writes the conversation file to disk.
#pragma once

#include <cstddef>

#include "settings/settings.h"

// Replaces the file at `path` with the conversation for `body` (`length` bytes),
// using the names, characters and backdrop of `settings`. Returns true only when
// the whole file was written, cut to its new end, flushed and closed.
bool WriteConversationFile(const char* path, const Settings& settings, const char* body,
                           size_t length);
