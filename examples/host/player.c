/* A small flatplay host: one window that plays one clip, then closes.
 *   player CLIP
 * Play/Pause, Stop, Mute and Full screen buttons; a tap on the video pauses
 * or resumes (or leaves full screen). The title shows the position, the
 * length and the last call's result. Exit code 0 when the clip played to
 * its end.
 * Win32 only, no C runtime: GCC, clang and lld-link all build it from this
 * one source, with or without a runtime of their own. */
#include <flatplay/flatplay.h>
#include <shellapi.h>

enum { ID_PLAY = 1, ID_STOP, ID_MUTE, ID_FULL, ID_TIMER };

static HRESULT g_last; /* the last call's result, shown in the title */
static int g_ended;

static void Print(const char *text) {
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, lstrlenA(text), &written, NULL);
}

static void ShowTime(HWND hwnd) {
    /* Whole seconds: 32-bit arithmetic needs no runtime helper on x86. */
    int now = (int)GetPlayPositionDurationPercent(), total = (int)TotalTime();
    wchar_t title[80];
    wsprintfW(title, L"flatplay  %d:%02d / %d:%02d  (0x%08lX)", now / 60, now % 60, total / 60, total % 60,
              (unsigned long)g_last);
    SetWindowTextW(hwnd, title);
}

static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    static const wchar_t *const labels[] = {L"Play/Pause", L"Stop", L"Mute", L"Full screen"};
    LONG full = 0;
    int i;
    switch (msg) {
    case WM_CREATE:
        /* Below the video, which flatplay places at 4,14, 312 x 223. */
        for (i = 0; i < 4; ++i)
            CreateWindowW(L"BUTTON", labels[i], WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 4 + 78 * i, 244, 76, 28, hwnd,
                          (HMENU)(INT_PTR)(ID_PLAY + i), NULL, NULL);
        return 0;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case ID_PLAY: g_last = PlayPause(); break;
        case ID_STOP: g_last = Stop(); break; /* rewinds; Play/Pause plays again */
        case ID_MUTE: g_last = ToggleMute(); break;
        case ID_FULL: g_last = FullScreen(TRUE); break;
        }
        ShowTime(hwnd);
        return 0;
    case WM_VIDEO_TAPPED:
        if (SUCCEEDED(IsFullScreen(&full)) && full)
            g_last = FullScreen(FALSE);
        else
            g_last = PlayPause();
        return 0;
    /* After every FullScreen, whether or not it switched. */
    case WM_VIDEO_MODE_CHANGED: ShowTime(hwnd); return 0;
    case WM_TIMER:
        /* The library posts nothing at the end of a clip: the position
         * reaches the duration while the state stays Running. */
        if (GetPlayState() == FLATPLAY_RUNNING && GetPlayPositionDuration() > 0 &&
            GetPlayPositionCurrent() >= GetPlayPositionDuration()) {
            g_ended = 1;
            Stop();
            DestroyWindow(hwnd);
            return 0;
        }
        ShowTime(hwnd);
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

static int Run(void) {
    static WNDCLASSW wc; /* static: zeroed without memset */
    RECT frame = {0, 0, 320, 280};
    DWORD style = WS_OVERLAPPEDWINDOW & ~(WS_THICKFRAME | WS_MAXIMIZEBOX);
    int argc = 0;
    LPWSTR *argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    HRESULT started, opened;
    char line[96];
    HWND hwnd;
    MSG msg;

    if (!argv || argc != 2) {
        Print("usage: player CLIP\n");
        return 2;
    }
    /* First, before anything else on this thread starts COM in another
     * apartment. UnInitialize only what Initialize started. */
    started = Initialize();
    if (FAILED(started)) {
        wsprintfA(line, "player: Initialize failed: 0x%08lX\n", (unsigned long)started);
        Print(line);
        return 1;
    }
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleW(NULL);
    wc.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszClassName = L"flatplay_player";
    RegisterClassW(&wc);
    AdjustWindowRect(&frame, style, FALSE);
    hwnd = CreateWindowW(wc.lpszClassName, L"flatplay", style | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                         frame.right - frame.left, frame.bottom - frame.top, NULL, NULL, wc.hInstance, NULL);

    SetHWND(hwnd); /* before InitGraph: the video window becomes its child */
    opened = InitGraph(argv[1]);
    if (SUCCEEDED(opened)) {
        PutMessageDrain(hwnd); /* fails on a clip without video: expected */
        PutForeground(TRUE);
        g_last = PlayPause();
        SetTimer(hwnd, ID_TIMER, 250, NULL);
        while (GetMessageW(&msg, NULL, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    ClearGraph(); /* before the next InitGraph and before unloading */
    UnInitialize();
    wsprintfA(line, "player: InitGraph 0x%08lX, %s\n", (unsigned long)opened,
              g_ended ? "played to the end" : "did not play to the end");
    Print(line);
    return g_ended ? 0 : 1;
}

/* The entry point when linked without a C runtime (lld-link /entry:PlayerEntry). */
void WINAPI PlayerEntry(void) { ExitProcess((UINT)Run()); }

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
    (void)instance, (void)previous, (void)command_line, (void)show;
    return Run();
}
