// The strip as pictures beside the conversation file (Mirth.png, Mirth-2.png
// ...), drawn with Chat's art, for the recipients who have no Chat.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Draws the conversation file at `conversationPath` as pictures beside it,
// with the art at hand, and gives the pictures written. Without the art no
// picture is made and `missingArt` names what is missing; a picture that
// can't be written gives one message naming it and the error.
std::vector<std::string> MakeStripPictures(HWND owner, const std::string& conversationPath,
                                           std::vector<std::string>* missingArt = nullptr);

// The pictures' file names, for messages: "Mirth.png、Mirth-2.png".
std::string PictureNames(const std::vector<std::string>& pictures);
