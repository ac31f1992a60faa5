#include "player.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <initializer_list>
#include <stdio.h>
#include <wchar.h>

Player g_player;

namespace {

enum ControlId { IdPlay = 100, IdStop, IdSeek, IdMute, IdVolume, IdFull, IdOpen };

constexpr int kBarHeight = 36;
constexpr UINT_PTR kPollTimer = 1;

// The video rectangle the library picks for this screen, plus a margin.
SIZE VideoAreaSize() {
    bool wide = GetSystemMetrics(SM_CXSCREEN) == 800 && GetSystemMetrics(SM_CYSCREEN) == 480;
    return wide ? SIZE{9 + 519 + 9, 27 + 393 + 9} : SIZE{4 + 312 + 4, 14 + 223 + 4};
}

void FormatTime(wchar_t *out, size_t size, LONGLONG seconds) {
    _snwprintf(out, size, L"%lld:%02lld", seconds / 60, seconds % 60);
    out[size - 1] = 0;
}

void Layout() {
    RECT client;
    GetClientRect(g_player.main, &client);
    SIZE video = VideoAreaSize();
    MoveWindow(g_player.videoArea, 0, 0, client.right, video.cy, TRUE);
    MoveWindow(g_player.bar, 0, video.cy, client.right, kBarHeight, TRUE);
    int x = 4;
    auto place = [&](HWND control, int width) {
        MoveWindow(control, x, 6, width, 24, TRUE);
        x += width + 4;
    };
    place(g_player.open, 44);
    place(g_player.play, 44);
    place(g_player.stop, 40);
    place(g_player.seek, client.right - x - 4 - 90 - 44 - 70 - 44 - 16);
    place(g_player.label, 90);
    place(g_player.mute, 44);
    place(g_player.volume, 70);
    place(g_player.full, 44);
}

void OpenWithDialog() {
    wchar_t path[MAX_PATH] = L"";
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = g_player.main;
    ofn.lpstrFilter = L"Media files\0*.avi;*.wav;*.mpg;*.wmv;*.asf;*.mp3\0All files\0*.*\0";
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    if (GetOpenFileNameW(&ofn)) OpenMedia(path);
}

void OnCommand(int id) {
    switch (id) {
    case IdOpen: OpenWithDialog(); break;
    case IdPlay: PlayPause(); break;
    case IdStop: Stop(); break;
    case IdMute: ToggleMute(); break;
    case IdFull: {
        LONG on = 0;
        IsFullScreen(&on);
        FullScreen(!on);
        break;
    }
    }
    RefreshControls();
}

void OnScroll(HWND control, int code) {
    if (control == g_player.seek) {
        g_player.seeking = code != TB_ENDTRACK && code != SB_ENDSCROLL;
        if (code == TB_ENDTRACK || code == TB_THUMBPOSITION) {
            // SeekToTime acts only while playing or paused: from Stopped
            // (after Stop, or the end of a clip) the seek starts playback
            // there. By time, not SeekSong: under Wine only a graph seeked
            // so can still be stopped.
            if (g_player.opened && GetPlayState() == FLATPLAY_STOPPED) PlayPause();
            SeekToTime(g_player.info.duration * SendMessageW(g_player.seek, TBM_GETPOS, 0, 0) / 1000);
        }
    } else if (control == g_player.volume) {
        LONG level = (LONG)SendMessageW(g_player.volume, TBM_GETPOS, 0, 0);
        SetVolume(-(100 - level) * 100);
    }
}

LRESULT CALLBACK BarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND: OnCommand(LOWORD(wParam)); return 0;
    case WM_HSCROLL: OnScroll((HWND)lParam, LOWORD(wParam)); return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Where the video would be, a file without video shows its name and the time.
void PaintSoundOnly(HWND hwnd, HDC dc) {
    static HFONT large =
        CreateFontW(-26, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0, L"Tahoma");
    static HFONT small =
        CreateFontW(-18, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0, L"Tahoma");
    RECT area;
    GetClientRect(hwnd, &area);
    FillRect(dc, &area, (HBRUSH)GetStockObject(BLACK_BRUSH));
    SetBkMode(dc, TRANSPARENT);
    RECT name = {8, area.bottom / 2 - 44, area.right - 8, area.bottom / 2};
    RECT time = {8, area.bottom / 2 + 4, area.right - 8, area.bottom / 2 + 34};
    HGDIOBJ old = SelectObject(dc, large);
    SetTextColor(dc, RGB(255, 255, 255));
    DrawTextW(dc, g_player.fileName, -1, &name, DT_CENTER | DT_BOTTOM | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    SelectObject(dc, small);
    SetTextColor(dc, RGB(160, 200, 255));
    DrawTextW(dc, g_player.time, -1, &time, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
}

// The host window of the library: taps on the video arrive here, the
// default player's with lParam 0, a player's from the pool with its handle.
LRESULT CALLBACK VideoAreaProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_VIDEO_TAPPED:
        if (FLATPLAY_PLAYER player = reinterpret_cast<FLATPLAY_PLAYER>(lParam)) {
            ++g_player.playerTaps;
            LONG state = FLATPLAY_CLOSED;
            PlayerGetState(player, &state);
            HRESULT hr = state == FLATPLAY_RUNNING ? PlayerPause(player) : PlayerPlay(player);
            if (g_player.playerLog)
                g_player.playerLog(player, state == FLATPLAY_RUNNING ? "PlayerPause()" : "PlayerPlay()", hr);
            return 0;
        }
        ++g_player.taps;
        ShowControlBar(!IsWindowVisible(g_player.bar));
        return 0;
    case WM_PAINT:
        if (g_player.opened && !g_player.hasVideo) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            PaintSoundOnly(hwnd, dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The graph's events, announced to the main window: the end of a clip (or
// an abort) is met with Stop, which rewinds it, so that play and the seek
// bar work again. The library changes no state by itself.
void OnGraphEvents() {
    LONG code = 0;
    LONG_PTR param1 = 0, param2 = 0;
    while (GetGraphEvent(&code, &param1, &param2) == S_OK) {
        char name[32];
        if (code == FLATPLAY_EVENT_COMPLETE)
            snprintf(name, sizeof name, "GraphEvent(complete)");
        else
            snprintf(name, sizeof name, "GraphEvent(0x%lx)", code);
        if (g_player.log) g_player.log(name, (HRESULT)param1);
        if (code != FLATPLAY_EVENT_COMPLETE && code != FLATPLAY_EVENT_ERRORABORT && code != FLATPLAY_EVENT_USERABORT)
            continue;
        ++g_player.clipEnds;
        HRESULT hr = Stop();
        if (g_player.log) g_player.log("Stop()", hr);
    }
    RefreshControls();
}

// A player's events: each end met with PlayerStop, as the default player's.
void OnPlayerEvents(FLATPLAY_PLAYER player) {
    LONG code = 0;
    LONG_PTR param1 = 0, param2 = 0;
    while (PlayerGetEvent(player, &code, &param1, &param2) == S_OK) {
        char name[32];
        if (code == FLATPLAY_EVENT_COMPLETE)
            snprintf(name, sizeof name, "GraphEvent(complete)");
        else
            snprintf(name, sizeof name, "GraphEvent(0x%lx)", code);
        if (g_player.playerLog) g_player.playerLog(player, name, (HRESULT)param1);
        if (code != FLATPLAY_EVENT_COMPLETE && code != FLATPLAY_EVENT_ERRORABORT && code != FLATPLAY_EVENT_USERABORT)
            continue;
        ++g_player.playerEnds;
        HRESULT hr = PlayerStop(player);
        if (g_player.playerLog) g_player.playerLog(player, "PlayerStop()", hr);
    }
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case kGraphEventMessage:
        if (lParam)
            OnPlayerEvents(reinterpret_cast<FLATPLAY_PLAYER>(lParam));
        else
            OnGraphEvents();
        return 0;
    case WM_VIDEO_MODE_CHANGED: // we are the message drain
        ++g_player.modeChanges;
        RefreshControls();
        return 0;
    case WM_SIZE:
        if (g_player.bar) Layout();
        return 0;
    case WM_TIMER: RefreshControls(); return 0;
    case WM_DROPFILES: {
        wchar_t path[MAX_PATH];
        if (DragQueryFileW((HDROP)wParam, 0, path, MAX_PATH)) OpenMedia(path);
        DragFinish((HDROP)wParam);
        return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND Control(const wchar_t *cls, const wchar_t *text, DWORD style, int id) {
    return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, g_player.bar, (HMENU)(INT_PTR)id,
                           GetModuleHandleW(nullptr), nullptr);
}

} // namespace

bool CreatePlayerWindows(HINSTANCE instance) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);

    WNDCLASSW wc = {};
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, (LPCWSTR)IDC_ARROW);
    wc.lpfnWndProc = MainProc;
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"FlatplayPlayer";
    RegisterClassW(&wc);
    wc.lpfnWndProc = VideoAreaProc;
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszClassName = L"FlatplayVideoArea";
    RegisterClassW(&wc);
    wc.lpfnWndProc = BarProc;
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"FlatplayControlBar";
    RegisterClassW(&wc);

    SIZE video = VideoAreaSize();
    RECT frame = {0, 0, video.cx < 560 ? 560 : video.cx, video.cy + kBarHeight};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    g_player.main =
        CreateWindowExW(WS_EX_ACCEPTFILES, L"FlatplayPlayer", L"flatplay player", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                        0, 0, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (!g_player.main) return false;
    g_player.videoArea = CreateWindowExW(0, L"FlatplayVideoArea", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                         10, 10, g_player.main, nullptr, instance, nullptr);
    g_player.bar = CreateWindowExW(0, L"FlatplayControlBar", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 10, 10,
                                   g_player.main, nullptr, instance, nullptr);
    g_player.open = Control(L"BUTTON", L"Open", BS_PUSHBUTTON, IdOpen);
    g_player.play = Control(L"BUTTON", L"Play", BS_PUSHBUTTON, IdPlay);
    g_player.stop = Control(L"BUTTON", L"Stop", BS_PUSHBUTTON, IdStop);
    g_player.seek = Control(TRACKBAR_CLASSW, L"", TBS_HORZ | TBS_NOTICKS, IdSeek);
    g_player.label = Control(L"STATIC", L"0:00 / 0:00", SS_CENTER | SS_CENTERIMAGE, 0);
    g_player.mute = Control(L"BUTTON", L"Mute", BS_PUSHBUTTON, IdMute);
    g_player.volume = Control(TRACKBAR_CLASSW, L"", TBS_HORZ | TBS_NOTICKS, IdVolume);
    g_player.full = Control(L"BUTTON", L"Full", BS_PUSHBUTTON, IdFull);
    if (!g_player.videoArea || !g_player.bar) return false;
    SendMessageW(g_player.seek, TBM_SETRANGE, TRUE, MAKELPARAM(0, 1000));
    SendMessageW(g_player.volume, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    LONG attenuation = GetVolume();
    SendMessageW(g_player.volume, TBM_SETPOS, TRUE, attenuation < -10000 ? 0 : 100 + attenuation / 100);
    Layout();
    SetTimer(g_player.main, kPollTimer, 250, nullptr);
    ShowWindow(g_player.main, SW_SHOW);
    UpdateWindow(g_player.main);
    return true;
}

HRESULT OpenMedia(const wchar_t *path) {
    ClearGraph();
    g_player.opened = false;
    g_player.hasVideo = false;
    g_player.info = {};
    g_player.info.cbSize = sizeof g_player.info;
    HRESULT hr = InitGraph(path);
    if (hr >= 0) {
        g_player.opened = true;
        // The length for the label before playing, and whether to show video.
        if (FAILED(GetMediaInfo(&g_player.info))) g_player.info.duration = 0;
        g_player.hasVideo = g_player.info.hasVideo;
        PutMessageDrain(g_player.main);
        PutForeground(TRUE);
        const wchar_t *slash = wcsrchr(path, L'\\');
        _snwprintf(g_player.fileName, MAX_PATH, L"%ls", slash ? slash + 1 : path);
        g_player.fileName[MAX_PATH - 1] = 0;
        wchar_t title[MAX_PATH + 32];
        _snwprintf(title, MAX_PATH + 32, L"flatplay player - %ls", path);
        title[MAX_PATH + 31] = 0;
        SetWindowTextW(g_player.main, title);
    }
    InvalidateRect(g_player.videoArea, nullptr, TRUE);
    RefreshControls();
    return hr;
}

void RefreshControls() {
    // Stopped, the timeline queries answer 0: the length is the one asked at open.
    LONGLONG duration = GetPlayPositionDuration();
    LONGLONG seconds = GetPlayPositionDurationPercent(), total = TotalTime();
    if (GetPlayState() == FLATPLAY_STOPPED) total = g_player.info.duration / 10000000;
    wchar_t now[16], all[16], text[40];
    FormatTime(now, 16, seconds);
    FormatTime(all, 16, total);
    _snwprintf(text, 40, L"%ls / %ls", now, all);
    text[39] = 0;
    SetWindowTextW(g_player.label, text);
    if (wcscmp(text, g_player.time) != 0) {
        wcscpy(g_player.time, text);
        if (g_player.opened && !g_player.hasVideo) InvalidateRect(g_player.videoArea, nullptr, FALSE);
    }
    // Stopped (rewound) the library answers 0 for both: the bar goes to the start.
    if (!g_player.seeking)
        SendMessageW(g_player.seek, TBM_SETPOS, TRUE,
                     (LPARAM)(duration > 0 ? GetPlayPositionCurrent() * 1000 / duration : 0));
    SetWindowTextW(g_player.play, GetPlayState() == FLATPLAY_RUNNING ? L"Pause" : L"Play");
    // The state read, not remembered: a new graph starts at full volume.
    LONG muted = 0;
    SetWindowTextW(g_player.mute, GetMuteState(&muted) >= 0 && muted ? L"Sound" : L"Mute");
    LONG on = 0;
    IsFullScreen(&on);
    SetWindowTextW(g_player.full, on ? L"Embed" : L"Full");
    for (HWND control : {g_player.play, g_player.stop, g_player.seek, g_player.mute, g_player.full})
        EnableWindow(control, g_player.opened);
}

void ShowControlBar(bool show) {
    ShowWindow(g_player.bar, show ? SW_SHOW : SW_HIDE);
    InvalidateRect(g_player.main, nullptr, TRUE);
}

void PumpFor(DWORD ms) {
    DWORD end = GetTickCount() + ms;
    do {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        Sleep(5);
    } while ((LONG)(end - GetTickCount()) > 0);
}
