// The four operations on the per-user registry. Each opens its key with full
// access and closes it before it returns; a key that can't be opened so counts
// as missing.
#pragma once

#include <windows.h>

#include "settings/settings.h"

// The value's 32 bits, or `fallback` when the key or a 4-byte REG_DWORD value
// is missing.
DWORD ReadDword(HKEY root, const char* subkey, const char* name, DWORD fallback);

// Creates or opens the key and sets the value. False only if the key can't be had.
bool WriteDword(HKEY root, const char* subkey, const char* name, DWORD value);

// False, with `buffer` untouched, if the key can't be opened. Otherwise the
// buffer holds the REG_SZ value, or is empty when the value is missing, of
// another type, or too long for `capacity` bytes with its terminator.
bool ReadString(HKEY root, const char* subkey, const char* name, char* buffer, DWORD capacity);

// Creates or opens the key and sets the value as REG_SZ. False only if the key
// can't be had.
bool WriteString(HKEY root, const char* subkey, const char* name, const char* text);

// The same operations on the settings key under HKEY_CURRENT_USER.
DWORD ReadDword(const char* name, DWORD fallback);
bool WriteDword(const char* name, DWORD value);
bool ReadString(const char* name, char* buffer, DWORD capacity);
bool WriteString(const char* name, const char* text);

// Loads a text value of capacity kTextSettingCapacity; an empty or missing
// value gives `fallback`.
void LoadTextSetting(const char* name, char* field, const char* fallback);
