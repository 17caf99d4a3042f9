// Before the display test and mail creation: the characters and the backdrop
// the settings name are looked for, and the missing ones that Microsoft
// publishes are fetched, as the user chose ("ArtFetch").
#pragma once

#include <windows.h>

#include "settings/settings.h"

void FetchMissingArt(HWND owner, const Settings& settings);
