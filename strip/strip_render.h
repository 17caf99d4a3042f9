// Renders a conversation file as pictures of its strip.
#pragma once

#include <string>
#include <vector>

struct StripOutcome {
    std::vector<std::string> pictures;    // the pictures written, in order (full paths)
    std::vector<std::string> missingArt;  // art files named by the conversation that no folder holds
    std::string error;                    // what stopped it: "<file>: line N: ...", or "<picture>: <error>"
};

enum class StripStatus { Written = 0, Unreadable = 1, MissingArt = 2, WriteError = 3 };

StripStatus RenderStrip(const std::string& conversationPath, const std::string& picturePath,
                        const std::vector<std::string>& artFolders, StripOutcome& outcome);
