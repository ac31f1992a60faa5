// Tap forwarding: the procedure that replaces the video child's own, and
// its installation by PutForeground. ClearGraph takes it out again.
#pragma once

#include "platform/platform.h"

LRESULT CALLBACK VideoTapProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Puts VideoTapProc on m_hwndVideo, keeping its own procedure in
// m_pfnOldVideoProc (ClearGraph and the unload put it back).
void InstallTapForwarding();
