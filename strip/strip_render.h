// The strip as pictures: a conversation file rendered with Chat's art into
// PNG files, a picture at a time.
#pragma once

#include <string>
#include <vector>

struct StripOutcome {
    std::vector<std::string> pictures;    // the pictures written, in order (full paths)
    std::vector<std::string> missingArt;  // art files named by the conversation that no folder holds
    std::string error;                    // what stopped it: "<file>: line N: ...", or "<picture>: <error>"
    std::vector<std::string> unreadableArt;  // art files found but not read ("<file>: ..."), drawn without
};

enum class StripStatus { Written = 0, Unreadable = 1, MissingArt = 2, WriteError = 3 };

// Renders the conversation file at `conversationPath` into `picturePath`
// (e.g. ...\Mirth.png) and, for a longer strip, OUT-2.png, OUT-3.png ...
// beside it, with art from `artFolders` (searched in order). Never fetches.
// Older continuations (OUT-N.png) that this strip does not use are deleted,
// and when no picture is made the older pictures are deleted too, so a
// folder never holds a stale picture. Where several statuses apply, the
// first in the enum's order wins.
//
// Missing art: the characters that speakers have when they speak and the
// backdrops of backdrop records, looked up with FindArtFile and
// FindBackdropFile; a name that is not a plain file name counts as missing.
// With any missing, no picture is made. An art file that is found but can't
// be read is drawn without (a character without figure or icon, no backdrop)
// and named in `unreadableArt`.
//
// A picture that can't be written stops the strip: the pictures this call
// wrote are deleted with the older ones, and `error` names the picture.
StripStatus RenderStrip(const std::string& conversationPath, const std::string& picturePath,
                        const std::vector<std::string>& artFolders, StripOutcome& outcome);
