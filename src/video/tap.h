// Tap forwarding: the procedures that replace a video window's own, and
// their installation by PutForeground and PlayerShowVideo. ClearGraph and
// PlayerClose take them out again.
#pragma once

#include "platform/platform.h"

struct Player;

// The default player's: posts WM_VIDEO_TAPPED, both parameters 0, to its host window.
LRESULT CALLBACK VideoTapProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Every pool player's: posts WM_VIDEO_TAPPED, lParam the player's handle, to its owner.
LRESULT CALLBACK PlayerTapProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Puts `proc` on the player's m_hwndVideo, keeping its own procedure in
// m_pfnOldVideoProc (the teardown and the unload put it back).
void InstallTapForwarding(Player &player, WNDPROC proc);
