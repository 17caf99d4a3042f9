// The About box ("ﾊﾞｰｼﾞｮﾝ情報").
#pragma once

#include <windows.h>

void ShowAboutBox(HINSTANCE instance, HWND owner);
