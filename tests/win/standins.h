// The stand-ins for outside programs: copies of the stand-in program under
// names of their own, and the shell associations that reach them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// One start of a stand-in, as it recorded it.
struct StandInStart {
    std::string name;         // "chat", "mailer", "browser", "viewer", "mtrun", "rebecca"
    ULONGLONG tick;           // GetTickCount64 at the start
    std::string commandLine;
    std::string folder;       // its current directory
    std::string copy;         // path of the copy of the watched file, or ""
    bool valueExisted;        // whether the watched registry value existed
    unsigned codePage;        // its ANSI code page
};

// Puts the stand-ins in place and associates ".ccc", ".htm", ".png" and "mailto:"
// with them, in the test run's own Wine prefix.
void InstallStandIns();

// Where the stand-in copies live: "chat" (.ccc), "mailer" (mailto:), "browser"
// (.htm), "viewer" (.png).
std::string StandInPath(const std::string& name);

// Puts a copy of the stand-in program at `path` (for "mtrun", "rebecca").
bool PlaceStandIn(const std::string& path);

// The starts recorded in `logFolder`. Programs started by the test from now on
// record there, copy `watched` (the conversation file) when they start, and
// note whether the settings value `watchedValue` exists then.
class StandInLog {
public:
    StandInLog(const std::string& logFolder, const std::string& watched, const char* watchedValue = "Read");
    ~StandInLog();
    std::vector<StandInStart> Starts() const;
    bool WaitForStarts(size_t count, DWORD timeoutMs = 10000) const;

private:
    std::string folder_;
};
