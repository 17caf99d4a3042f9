// Chat's art for the Windows tests: Microsoft's files beside the project when
// they are at hand, else small files the tests make themselves.
#pragma once

#include <string>

#include "tests/win/files.h"

// The bytes of a test art file by its lower-case name ("scotty.avb"):
// Microsoft's file from ../shared/chat-art, or one the tests make.
std::string TestArt(const std::string& name);

// Whether Microsoft's art is at hand (else TestArt makes its own).
bool HaveMicrosoftArt();

// The folder of the stand-in web server that serves art (a Windows path), and
// the address of one of its behaviours ("ok", "html", "missing"...).
std::string ArtServerFolder();
std::string ArtServerAddress(const std::string& mode);
// The paths the server was asked for since the last call, and forgets them.
std::string ArtServerRequests();

// Puts the art the tests' default settings name into `folder`: SCOTTY, LANCE,
// MARGARET, DEN.bgb and ROOM.bgb.
void InstallTestArt(const std::string& folder);
