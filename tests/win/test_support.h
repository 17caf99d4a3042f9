// Helpers for the Windows tests: a clean registry key and a clean folder for
// each test, and whole-file reads.
#pragma once

#include <windows.h>

#include <string>

#include "tests/common/hex.h"
#include "tests/win/files.h"

// The name of the running test, usable in a key or folder name.
std::string CurrentTestName();

// A test-only key under HKEY_CURRENT_USER, deleted before and after the test.
class TestKey {
public:
    TestKey();
    ~TestKey();
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

// A fresh folder under the temporary folder, removed with its contents after the test.
class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// ASCII letters folded to lower case (paths compared as Windows does).
std::string Lower(std::string text);
