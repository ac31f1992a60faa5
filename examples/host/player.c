/* A small flatplay host: one window that plays one clip, then closes.
 *   player CLIP [SECONDS]
 * SECONDS (e.g. 1 or 0.5): soon after playing starts, seek there, as the
 * arrow keys do. The length shows before playing starts. The video fills
 * the window above the button row at any size, its aspect kept; buttons
 * Play/Pause, Stop, Mute (its label shows the mute state) and Full screen;
 * Left and Right seek 5 s back or on; a tap on the video pauses or resumes
 * (or leaves full screen). The title shows the position, the length and the
 * last call's result. On the end event it stops, closes and exits with 0:
 * only a clip played to its end gives 0.
 * It plays on a player of its own (PlayerCreate): a handle that every call
 * takes and every message from the player carries, so that one window
 * could serve several; no Initialize, whatever COM the thread has.
 * Win32 only, no C runtime, C or C++: GCC, clang and lld-link all build it
 * from this one source, with or without a runtime of their own, for x64,
 * x86, ARM64 and 32-bit ARM; with _WIN32_WCE defined, for Windows CE. */
#include <flatplay/flatplay.h>
#include <shellapi.h>

enum { ID_PLAY = 1, ID_STOP, ID_MUTE, ID_FULL, ID_TIMER };
enum { WM_GRAPH_EVENT = WM_APP + 1, BUTTON_ROW = 36 };
#define SEEK_STEP 50000000 /* 5 s in 100-ns units */
#ifdef _WIN32_WCE
#define FRAME_STYLE (WS_CAPTION | WS_SYSMENU) /* CE has no WS_OVERLAPPEDWINDOW, no WS_THICKFRAME */
#else
#define FRAME_STYLE WS_OVERLAPPEDWINDOW
#endif

static HWND g_window, g_mute;
static FLATPLAY_PLAYER g_player; /* from PlayerCreate */
static int g_muted, g_full;      /* what was set: the player has no getters */
static HRESULT g_last;           /* the last call's result, shown in the title */
static LONGLONG g_length;        /* from GetMediaInfo, before playing */
static LONGLONG g_from;          /* the clip's time at g_fromTick ... */
static DWORD g_fromTick;         /* ... when playing last started, paused or moved */
static int g_running;            /* whether the clip's time runs on from there */
static LONGLONG g_seekTo = -1;   /* the command line's seek, made on the first tick */
static LONGLONG g_endEventAt;    /* the clip's time when the end event came */
static int g_ended;

/* n / d by long division. A division the compiler writes calls a C runtime
 * helper on 32-bit ARM (any division) and on x86 (64-bit ones, __aulldiv),
 * and this program links no runtime. */
static ULONGLONG Divide(ULONGLONG n, DWORD d, DWORD *rest) {
    ULONGLONG quotient = 0, r = 0;
    int bit;
    for (bit = 63; bit >= 0; --bit) {
        r = (r << 1) | ((n >> bit) & 1);
        if (r >= d) {
            r -= d;
            quotient |= (ULONGLONG)1 << bit;
        }
    }
    if (rest) *rest = (DWORD)r;
    return quotient;
}

/* Text built piece by piece, without a printf-style formatter: arm64
 * Wine's are Linux code, which misreads a Windows argument list. */
typedef struct Text {
    char chars[160];
    int length;
} Text;

static void Add(Text *text, const char *more) {
    while (*more && text->length < (int)sizeof text->chars - 1) text->chars[text->length++] = *more++;
    text->chars[text->length] = 0;
}

static void AddNumber(Text *text, ULONGLONG n, DWORD base, int digits) {
    char reversed[24], one[2];
    int count = 0;
    DWORD digit;
    do {
        n = Divide(n, base, &digit);
        reversed[count++] = "0123456789ABCDEF"[digit];
    } while (n || count < digits);
    one[1] = 0;
    while (count) {
        one[0] = reversed[--count];
        Add(text, one);
    }
}

static void AddCode(Text *text, HRESULT code) {
    Add(text, "0x");
    AddNumber(text, (DWORD)code, 16, 8);
}

/* 100-ns units as seconds with two decimals: "4.03". */
static void AddSeconds(Text *text, LONGLONG time) {
    DWORD hundredths;
    ULONGLONG seconds = Divide(Divide(time > 0 ? (ULONGLONG)time + 50000 : 0, 100000, NULL), 100, &hundredths);
    AddNumber(text, seconds, 10, 1);
    Add(text, ".");
    AddNumber(text, hundredths, 10, 2);
}

/* 100-ns units as minutes and seconds: "1:05". */
static void AddClock(Text *text, LONGLONG time) {
    DWORD seconds;
    AddNumber(text, Divide(Divide(time > 0 ? (ULONGLONG)time : 0, 10000000, NULL), 60, &seconds), 10, 1);
    Add(text, ":");
    AddNumber(text, seconds, 10, 2);
}

#ifdef _WIN32_WCE
/* CE has wide functions only: the text (ASCII) widened. */
static LPCWSTR Wide(const Text *text) {
    static WCHAR wide[sizeof text->chars];
    int i;
    for (i = 0; i <= text->length; ++i) wide[i] = (WCHAR)text->chars[i];
    return wide;
}
#endif

static void Print(Text *text) {
#ifdef _WIN32_WCE
    Add(text, "\n");
    OutputDebugStringW(Wide(text)); /* the devices have no console */
#else
    DWORD written;
    Add(text, "\n");
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text->chars, (DWORD)text->length, &written, NULL);
#endif
}

/* The clip's time by the clock, from the last start, pause or seek. */
static LONGLONG ClipTime(void) { return g_running ? g_from + (LONGLONG)(GetTickCount() - g_fromTick) * 10000 : g_from; }

static LONG State(void) {
    LONG state = FLATPLAY_CLOSED;
    PlayerGetState(g_player, &state);
    return state;
}

/* The position in 100-ns units; 0 if the player cannot say. */
static LONGLONG Position(void) {
    LONGLONG position = 0, length = 0;
    return SUCCEEDED(PlayerGetPosition(g_player, &position, &length)) ? position : 0;
}

/* After a call that may have started, paused, stopped or moved the clip. */
static void Follow(LONGLONG from) {
    g_from = from;
    g_fromTick = GetTickCount();
    g_running = State() == FLATPLAY_RUNNING;
}

static void ShowTitle(void) {
    Text title;
    title.length = 0;
    Add(&title, "flatplay  ");
    AddClock(&title, Position());
    Add(&title, " / ");
    AddClock(&title, g_length);
    Add(&title, "  (");
    AddCode(&title, g_last);
    Add(&title, ")");
#ifdef _WIN32_WCE
    SetWindowTextW(g_window, Wide(&title));
#else
    SetWindowTextA(g_window, title.chars);
#endif
}

/* The Mute button says what pressing it does. */
static void ShowMute(void) { SetWindowTextW(g_mute, g_muted ? L"Unmute" : L"Mute"); }

/* PlayerSeek seeks the graph while stopped, the one seek after which Wine
 * still stops and closes a clip with sound and video. It clamps the target
 * to the clip, as the clock here does. */
static void SeekTo(LONGLONG target) {
    Text line;
    if (target < 0) target = 0;
    if (target > g_length) target = g_length;
    g_last = PlayerSeek(g_player, target);
    Follow(target);
    line.length = 0;
    Add(&line, "player: PlayerSeek(");
    AddSeconds(&line, target);
    Add(&line, " s) ");
    AddCode(&line, g_last);
    Print(&line);
    ShowTitle();
}

/* Takes every waiting event off the player's queue. */
static void TakeEvents(HWND hwnd) {
    LONG code;
    LONG_PTR param1, param2;
    Text line;
    while (PlayerGetEvent(g_player, &code, &param1, &param2) == S_OK) {
        if (code == FLATPLAY_EVENT_COMPLETE) { /* the end of the clip: the state is still Running */
            g_endEventAt = ClipTime();
            g_ended = 1;
            PlayerStop(g_player);
            DestroyWindow(hwnd);
            return;
        }
        if (code == 0x12) g_full = 0; /* EC_FULLSCREEN_LOST: the renderer left full screen itself */
        if (code == FLATPLAY_EVENT_ERRORABORT || code == FLATPLAY_EVENT_USERABORT) {
            line.length = 0;
            Add(&line, code == FLATPLAY_EVENT_ERRORABORT ? "player: playback failed, " : "player: user abort, ");
            AddCode(&line, (HRESULT)param1);
            Print(&line);
            DestroyWindow(hwnd);
            return;
        }
        /* Other codes (a clock change after PlayPause, ...) need nothing. */
    }
}

/* The buttons in a row along the bottom; the video fills the rest. */
static void Layout(HWND hwnd, int width, int height) {
    RECT video;
    int i;
    for (i = 0; i < 4; ++i)
        MoveWindow(GetDlgItem(hwnd, ID_PLAY + i), 4 + 80 * i, height - BUTTON_ROW + 4, 76, BUTTON_ROW - 8, TRUE);
    if (width <= 0 || height <= BUTTON_ROW) return; /* minimised */
    video.left = 0;
    video.top = 0;
    video.right = width;
    video.bottom = height - BUTTON_ROW;
    PlayerSetVideoRect(g_player, &video); /* kept for the file to come; moves a video already shown */
}

static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    static const wchar_t *const labels[] = {L"Play/Pause", L"Stop", L"Mute", L"Full screen"};
    LONGLONG at;
    int i;
    switch (msg) {
    case WM_CREATE:
        for (i = 0; i < 4; ++i)
            CreateWindowW(L"BUTTON", labels[i], WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 76, 28, hwnd,
                          (HMENU)(INT_PTR)(ID_PLAY + i), NULL, NULL);
        g_mute = GetDlgItem(hwnd, ID_MUTE);
        ShowMute();
        return 0;
    case WM_SIZE: Layout(hwnd, LOWORD(lp), HIWORD(lp)); return 0;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case ID_PLAY:
            at = ClipTime();
            g_last = State() == FLATPLAY_RUNNING ? PlayerPause(g_player) : PlayerPlay(g_player);
            Follow(at);
            break;
        case ID_STOP: /* rewinds; Play/Pause plays again */
            g_last = PlayerStop(g_player);
            Follow(0);
            break;
        case ID_MUTE: /* unmuting puts back the level, whatever it was */
            g_muted = !g_muted;
            g_last = PlayerSetMute(g_player, g_muted);
            ShowMute();
            break;
        case ID_FULL:
            g_last = PlayerSetFullScreen(g_player, TRUE);
            g_full = SUCCEEDED(g_last);
            break;
        }
        SetFocus(hwnd); /* the arrow keys stay the player's */
        ShowTitle();
        return 0;
    case WM_KEYDOWN:
        if (wp == VK_LEFT || wp == VK_RIGHT) SeekTo(Position() + (wp == VK_LEFT ? -SEEK_STEP : SEEK_STEP));
        return 0;
    case WM_VIDEO_TAPPED: /* lParam: the player whose video was tapped */
        if ((FLATPLAY_PLAYER)lp != g_player) return 0;
        at = ClipTime();
        if (g_full) {
            g_last = PlayerSetFullScreen(g_player, FALSE);
            g_full = 0;
        } else {
            g_last = State() == FLATPLAY_RUNNING ? PlayerPause(g_player) : PlayerPlay(g_player);
        }
        Follow(at);
        return 0;
    case WM_GRAPH_EVENT: /* lParam: the player whose events wait */
        if ((FLATPLAY_PLAYER)lp == g_player) TakeEvents(hwnd);
        return 0;
    case WM_TIMER:
        if (g_seekTo >= 0) {
            SeekTo(g_seekTo);
            g_seekTo = -1;
        }
        ShowTitle();
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

/* "1", "0.5", "2.25" as 100-ns units; -1 if it is not such a number. */
static LONGLONG ParseSeconds(LPCWSTR text) {
    DWORD whole = 0, thousandths = 0, weight = 100;
    int point = 0;
    if (!*text) return -1;
    for (; *text; ++text) {
        if (*text == '.' && !point) {
            point = 1;
        } else if (*text < '0' || *text > '9' || whole > 100000) {
            return -1;
        } else if (!point) {
            whole = whole * 10 + (DWORD)(*text - '0');
        } else {
            thousandths += (DWORD)(*text - '0') * weight;
            weight = weight == 100 ? 10 : weight == 10 ? 1 : 0;
        }
    }
    return (LONGLONG)whole * 10000000 + (LONGLONG)thousandths * 10000;
}

#ifdef _WIN32_WCE
/* CE has no shell32, and hands the entry point the arguments alone: split
 * here, after a program name, a quoted clip whole. More than three make
 * four, which Run refuses. */
static LPWSTR g_arguments;
static LPWSTR *SplitArguments(int *argc) {
    static WCHAR name[] = L"player";
    static LPWSTR argv[4];
    LPWSTR at = g_arguments;
    WCHAR end;
    argv[0] = name;
    *argc = 1;
    while (at && *argc < 4) {
        while (*at == ' ') ++at;
        if (!*at) break;
        end = *at == '"' ? *at++ : ' ';
        argv[(*argc)++] = at;
        while (*at && *at != end) ++at;
        if (*at) *at++ = 0;
    }
    return argv;
}
#endif

static int Run(void) {
    static WNDCLASSW wc; /* static: zeroed without memset */
    RECT frame;
    int argc = 0;
#ifdef _WIN32_WCE
    LPWSTR *argv = SplitArguments(&argc);
#else
    LPWSTR *argv = CommandLineToArgvW(GetCommandLineW(), &argc);
#endif
    HRESULT created, opened;
    FLATPLAY_MEDIA_INFO info;
    Text line;
    MSG msg;

    if (argc == 3) g_seekTo = ParseSeconds(argv[2]);
    if (!argv || argc < 2 || argc > 3 || (argc == 3 && g_seekTo < 0)) {
        line.length = 0;
        Add(&line, "usage: player CLIP [SECONDS]");
        Print(&line);
        return 2;
    }
    /* The player first: the window's first layout gives it its rectangle.
     * No Initialize: it works in whatever COM apartment this thread has. */
    created = PlayerCreate(&g_player);
    if (FAILED(created)) {
        line.length = 0;
        Add(&line, "player: PlayerCreate failed: ");
        AddCode(&line, created);
        Print(&line);
        return 1;
    }
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleW(NULL);
    wc.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH); /* the bars beside the picture */
    wc.lpszClassName = L"flatplay_player";
    RegisterClassW(&wc);
    /* A client area of another aspect than most clips, to show the bars. */
    frame.left = 0;
    frame.top = 0;
    frame.right = 480;
    frame.bottom = 270 + BUTTON_ROW;
    AdjustWindowRectEx(&frame, FRAME_STYLE, FALSE, 0);
    /* WS_CLIPCHILDREN: the bars painted black after a resize must not paint
     * over the buttons. */
    g_window = CreateWindowW(wc.lpszClassName, L"flatplay", FRAME_STYLE | WS_CLIPCHILDREN | WS_VISIBLE, CW_USEDEFAULT,
                             CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, NULL, NULL,
                             wc.hInstance, NULL);

    PlayerSetOwner(g_player, g_window);                       /* the video's parent, which gets its taps */
    PlayerSetEventWindow(g_player, g_window, WM_GRAPH_EVENT); /* for this file and every later one */
    PlayerSetMessageDrain(g_player, g_window);                /* the keys pressed on the video come here */
    opened = PlayerOpen(g_player, argv[1]);
    if (SUCCEEDED(opened)) {
        /* What the file holds, before playing. */
        info.cbSize = sizeof info;
        if (SUCCEEDED(PlayerGetMediaInfo(g_player, &info))) {
            g_length = info.duration;
            line.length = 0;
            Add(&line, "player: ");
            if (info.hasVideo) {
                Add(&line, "video ");
                AddNumber(&line, (DWORD)info.width, 10, 1);
                Add(&line, " x ");
                AddNumber(&line, (DWORD)info.height, 10, 1);
                Add(&line, ", ");
            }
            Add(&line, info.hasSound ? "sound, " : "no sound, ");
            AddSeconds(&line, info.duration);
            Add(&line, info.canSeek ? " s, can seek" : " s, cannot seek");
            Print(&line);
            if (!info.hasSound) {
                SetWindowTextW(g_mute, L"No sound");
                EnableWindow(g_mute, FALSE);
            }
        }
        ShowTitle();
        PlayerShowVideo(g_player, TRUE); /* fails on a clip without video: expected */
        g_last = PlayerPlay(g_player);
        Follow(0);
        SetTimer(g_window, ID_TIMER, 250, NULL);
        while (GetMessageW(&msg, NULL, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    PlayerDestroy(g_player); /* closes the file; before unloading */
    if (g_ended) {
        line.length = 0;
        Add(&line, "player: end event at ");
        AddSeconds(&line, g_endEventAt);
        Add(&line, " s of a ");
        AddSeconds(&line, g_length);
        Add(&line, " s clip");
        Print(&line);
    }
    line.length = 0;
    Add(&line, "player: PlayerOpen ");
    AddCode(&line, opened);
    Add(&line, g_ended ? ", played to the end" : ", did not play to the end");
    Print(&line);
    return g_ended ? 0 : 1;
}

#ifdef __cplusplus
#define PLAYER_C extern "C"
#else
#define PLAYER_C
#endif
#ifdef _WIN32_WCE
/* The entry point (-e PlayerEntry, /entry:PlayerEntry): CE's loader passes
 * it WinMain's arguments, the command line wide and without the program's
 * name, and the process ends with its first thread (coredll's import
 * lists have no ExitProcess). No WinMain: desktop headers declare it with
 * an ANSI command line, CE's with a wide one. */
PLAYER_C void WINAPI PlayerEntry(HINSTANCE instance, HINSTANCE previous, LPWSTR command_line, int show) {
    (void)instance, (void)previous, (void)show;
    g_arguments = command_line;
    ExitThread((DWORD)Run());
}
#else
/* The entry point when linked without a C runtime (lld-link
 * /entry:PlayerEntry, or -Wl,--entry=PlayerEntry on ARM). */
PLAYER_C void WINAPI PlayerEntry(void) { ExitProcess((UINT)Run()); }

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
    (void)instance, (void)previous, (void)command_line, (void)show;
    return Run();
}
#endif
