// The rule that decides whether the current directory is a fit working folder.
// Portable: works on Shift-JIS byte strings, double-byte aware throughout.
#pragma once

// Folds the ASCII capitals A-Z to lower case in place; both bytes of every
// double-byte character stay as they are.
void FoldFolderCase(char* folder);

// The first occurrence of `needle` in `text` that starts on a character
// boundary, or nullptr.
const char* FindOnCharBoundary(const char* text, const char* needle);

// True for a folded folder the program must not work in: one that contains
// ":\win" (the Windows folder and its like) or the root of a drive ("c:\").
bool IsUnsuitableWorkFolder(const char* folded);
