#include "settings/settings_store.h"

#include <cstring>

namespace {

HKEY OpenKey(HKEY root, const char* subkey)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subkey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

HKEY CreateKey(HKEY root, const char* subkey)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

}  // namespace

DWORD ReadDword(HKEY root, const char* subkey, const char* name, DWORD fallback)
{
    HKEY key = OpenKey(root, subkey);
    if (!key)
        return fallback;
    DWORD type = REG_NONE;
    DWORD value = 0;
    DWORD size = sizeof value;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value)
        return fallback;
    return value;
}

bool WriteDword(HKEY root, const char* subkey, const char* name, DWORD value)
{
    HKEY key = CreateKey(root, subkey);
    if (!key)
        return false;
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
    return true;
}

bool ReadString(HKEY root, const char* subkey, const char* name, char* buffer, DWORD capacity)
{
    HKEY key = OpenKey(root, subkey);
    if (!key)
        return false;
    buffer[0] = '\0';
    DWORD type = REG_NONE;
    DWORD size = capacity;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    // The stored data need not end in a terminator; it must still fit with one.
    bool fits = size < capacity || (size == capacity && std::memchr(buffer, '\0', size));
    if (result != ERROR_SUCCESS || type != REG_SZ || !fits)
        buffer[0] = '\0';
    else
        buffer[size < capacity ? size : capacity - 1] = '\0';
    return true;
}

bool WriteString(HKEY root, const char* subkey, const char* name, const char* text)
{
    HKEY key = CreateKey(root, subkey);
    if (!key)
        return false;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(std::strlen(text) + 1));
    RegCloseKey(key);
    return true;
}

DWORD ReadDword(const char* name, DWORD fallback)
{
    return ReadDword(HKEY_CURRENT_USER, kSettingsKey, name, fallback);
}

bool WriteDword(const char* name, DWORD value)
{
    return WriteDword(HKEY_CURRENT_USER, kSettingsKey, name, value);
}

bool ReadString(const char* name, char* buffer, DWORD capacity)
{
    return ReadString(HKEY_CURRENT_USER, kSettingsKey, name, buffer, capacity);
}

bool WriteString(const char* name, const char* text)
{
    return WriteString(HKEY_CURRENT_USER, kSettingsKey, name, text);
}

void LoadTextSetting(const char* name, char* field, const char* fallback)
{
    field[0] = '\0';
    ReadString(name, field, kTextSettingCapacity);
    if (field[0] == '\0')
        lstrcpynA(field, fallback, kTextSettingCapacity);
}
