// The program's ANSI texts (Shift-JIS) for the few Windows interfaces that
// take only UTF-16: WinHTTP and WIC.
#pragma once

#include <windows.h>

#include <string>

inline std::wstring WideFromAnsi(const std::string& text)
{
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], length);
    wide.resize(wide.size() - 1);
    return wide;
}
