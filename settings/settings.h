// The program-wide state record and the table of persisted values.
#pragma once

#include <cstdint>

// The kind of mail program. Stored as a plain number; values outside 0-4 are
// loaded and kept unchanged (an empty list selection stores 0xFFFFFFFF).
enum MailSoftKind : uint32_t {
    OtherMailer = 0,
    OutlookExpress501 = 1,
    OutlookExpress50 = 2,
    Becky124 = 3,
    DefaultMapiMailer = 4,  // the default mail program, through Simple MAPI
};

// The main window's outer rectangle, in screen pixels.
struct PlacementRect {
    int32_t X;
    int32_t Y;
    int32_t Width;
    int32_t Height;
};

const unsigned kTextSettingCapacity = 128;  // terminator included
const unsigned kFolderCapacity = 256;
const unsigned kFolderReadCapacity = 255;    // what the folder values are read with
const unsigned kDescriptionCapacity = 1024;
const unsigned kChatPathCapacity = 260;  // MAX_PATH

struct Settings {
    char backstr[kTextSettingCapacity];   // backdrop file name
    char namestr[kTextSettingCapacity];   // own name
    char charstr[kTextSettingCapacity];   // own character
    char namestr2[kTextSettingCapacity];  // quoted name
    char charstr2[kTextSettingCapacity];  // quoted character
    uint32_t MailSoft;                     // a MailSoftKind, or any other stored number
    char WorkFolder[kFolderCapacity];      // the working folder as resolved at start-up
    char DesktopFolder[kFolderCapacity];
    PlacementRect WindowPlacement;
};

// The settings key under HKEY_CURRENT_USER, and its values.
const char kSettingsKey[] = "Software\\Orrindale\\MirthZud";
const char kValueCurPath[] = "curpath";
const char kValueMailSoft[] = "MailSoft";
const char kValueX[] = "X";
const char kValueY[] = "Y";
const char kValueWidth[] = "Width";
const char kValueHeight[] = "Height";
const char kValueBackstr[] = "backstr";
const char kValueNamestr[] = "namestr";
const char kValueCharstr[] = "charstr";
const char kValueNamestr2[] = "namestr2";
const char kValueCharstr2[] = "charstr2";
const char kValueRead[] = "Read";
const char kValueChatPath[] = "ChatPath";  // the Chat program the user chose
const char kValueArtFetch[] = "ArtFetch";  // whether missing art is fetched
const char kValueArtUrl[] = "ArtURL";      // where art is fetched from, for mirrors and tests

// "ArtFetch": 1 fetches without asking, 0 never fetches nor asks; anything
// else, or no value, asks.
const uint32_t kArtFetchNever = 0;
const uint32_t kArtFetchAlways = 1;
const uint32_t kArtFetchAsk = 2;

// Keys of other software that the program only reads.
const char kShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kValueDesktop[] = "Desktop";
const char kBeckyKey[] = "Software\\RIMArts\\Rebecca\\Others";
const char kValueInstallPath[] = "InstallPath";

const uint32_t kDefaultMailSoft = OutlookExpress501;
const PlacementRect kDefaultPlacement = {50, 50, 580, 450};
