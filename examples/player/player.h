// The flatplay demo host: one main window with a video area and a
// control bar, driven only through the exports of flatplay.h.
#pragma once

#include <flatplay/flatplay.h>
#include <windows.h>

struct Player {
    HWND main = nullptr;
    HWND videoArea = nullptr; // the host window given to SetHWND; its one child is the video
    HWND bar = nullptr;
    HWND play = nullptr, stop = nullptr, seek = nullptr, label = nullptr, mute = nullptr, volume = nullptr,
         full = nullptr, open = nullptr;
    bool opened = false;
    FLATPLAY_MEDIA_INFO info = {}; // what the file holds, asked at open
    bool hasVideo = false;         // without video the video area shows the file
    wchar_t fileName[MAX_PATH] = L"";
    wchar_t time[40] = L""; // "0:12 / 0:40", as the control bar shows it
    int clipEnds = 0;       // end events of a clip seen, each followed by the player's own Stop
    bool seeking = false;   // the user drags the seek bar: do not move it under them
    int taps = 0, modeChanges = 0;
    // The scripted session's timeline of what the player does by itself:
    // each graph event as it arrives, and the player's answer to it; for a
    // player from the pool, `player` names it (else NULL: the default one).
    void (*log)(const char *event, HRESULT result) = nullptr;
    void (*playerLog)(FLATPLAY_PLAYER player, const char *event, HRESULT result) = nullptr;
    // Players beside the default one (the scripted session's song and
    // preview): taps on a preview pause or resume it; their ends are met
    // with PlayerStop.
    int playerTaps = 0, playerEnds = 0;
};

// The message the graph's events are announced with (SetEventWindow,
// PlayerSetEventWindow) to the main window: lParam 0 for the default
// player's, a player's handle for that player's.
constexpr UINT kGraphEventMessage = WM_APP + 1;

extern Player g_player;

// Windows and controls; false if they cannot be made.
bool CreatePlayerWindows(HINSTANCE instance);
// Opens a file the way the host should: ClearGraph, InitGraph,
// GetMediaInfo, PutForeground.
HRESULT OpenMedia(const wchar_t *path);
// Refreshes the label, the seek bar and the buttons from the library's answers.
void RefreshControls();
void ShowControlBar(bool show);
// Dispatches this thread's messages for `ms` milliseconds.
void PumpFor(DWORD ms);

// Saves the main window as it is on screen as a PNG file.
bool SaveScreenshot(const wchar_t *path);

// The headless session: returns the process exit code.
int RunScript(const wchar_t *outDir, const wchar_t *withSound, const wchar_t *videoOnly, const wchar_t *music);
