// Tap forwarding: the procedure that replaces the video child's own, and
// its installation by PutForeground. ClearGraph takes it out again.
#pragma once

#include "platform/platform.h"

LRESULT CALLBACK VideoTapProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Puts VideoTapProc on m_hwndVideo, keeping its own procedure in m_pfnOldVideoProc.
void InstallTapForwarding();

// At unload: gives m_hwndVideo its own procedure back if VideoTapProc is
// still on it; a procedure the host has put there since is left alone.
void RemoveTapForwardingAtUnload();
