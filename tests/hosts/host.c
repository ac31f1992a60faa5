/* A host as our users write it, one source for every compiler: C or C++,
 * GCC, clang for mingw or clang in MSVC mode; x64, x86, ARM64 or ARM. It
 * needs no C runtime (the MSVC-ABI builds have none here): Win32 calls
 * only, output through WriteFile, and an entry point of its own that main
 * also reaches.
 *   host            every export in the states that need no media graph,
 *                   round after round, with the stack checked around each
 *                   (those of 0.2.0 too: their codes without a graph; and
 *                   the players': a player without a file, and no handle)
 *   host CLIP       then plays a video-only clip of 4 s: play, position,
 *                   pause, seek to half, stop, clear; and on a player, a
 *                   64-bit position and a double rate crossing over
 * Ends with "host: N failed check(s)" and exit code 0 only when none. */
#include <flatplay/flatplay.h>
#include <shellapi.h>
#include <stdarg.h>

#ifdef __cplusplus
#define HOST_C extern "C"
#else
#define HOST_C
#endif
#if defined(_MSC_VER)
#define HOST_NOINLINE __declspec(noinline)
/* The compiler marks objects with floating point by this symbol of the runtime. */
HOST_C int _fltused = 0;
#else
#define HOST_NOINLINE __attribute__((noinline))
#endif

static int failures = 0;

/* Formats its own lines (%d, %ld, %lx, %s): wvsprintfA would do on Windows,
 * but arm64 Wine's is Linux code that cannot read a Windows va_list. */
static void Say(const char *format, ...) {
    char line[256], digits[16];
    int n = 0, k;
    unsigned long u;
    const char *s;
    va_list args;
    DWORD written;
    va_start(args, format);
    for (; *format && n < 200; ++format) {
        if (*format != '%') {
            line[n++] = *format;
            continue;
        }
        if (*++format == 'l') ++format;
        if (*format == 's') {
            for (s = va_arg(args, const char *); *s && n < 250; ++s) line[n++] = *s;
            continue;
        }
        u = (unsigned long)va_arg(args, long);
        if (*format == 'd' && (long)u < 0) {
            line[n++] = '-';
            u = 0UL - u;
        }
        k = 0;
        do {
            digits[k++] = "0123456789abcdef"[*format == 'x' ? u % 16 : u % 10];
            u = *format == 'x' ? u / 16 : u / 10;
        } while (u);
        while (k) line[n++] = digits[--k];
    }
    va_end(args);
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, (DWORD)n, &written, NULL);
}

static void CheckEq(long got, long want, const char *what, int line) {
    if (got == want) return;
    ++failures;
    Say("FAILED host.c:%d: %s (got %ld = 0x%lx)\r\n", line, what, got, (unsigned long)got);
}
#define CHECK_EQ(got, want) CheckEq((long)(got), (long)(want), #got " == " #want, __LINE__)

#if defined(FLATPLAY_HAS_GETPLAYPOSITION)
#define GetPlayPositionOf(dll) GetPlayPosition
#else
/* The route of a C host whose compiler cannot name the decorated export. */
static FLATPLAY_GETPLAYPOSITION_FN GetPlayPositionOf(HMODULE dll) {
    return (FLATPLAY_GETPLAYPOSITION_FN)(void (*)(void))GetProcAddress(dll, FLATPLAY_GETPLAYPOSITION_EXPORT);
}
#endif

/* Where the stack stands at a call made from the caller's frame. */
static volatile ULONG_PTR stackMark;
static HOST_NOINLINE void MarkStack(void) {
    volatile char here = 0;
    stackMark = (ULONG_PTR)&here;
}

/* Every export, in the states that need no graph. The callees must give the
 * stack back exactly as the header says (stdcall on x86): a mismatch moves
 * the stack pointer, which the two marks show. */
static HOST_NOINLINE void Round(FLATPLAY_GETPLAYPOSITION_FN getPlayPosition, FLATPLAY_PLAYER player) {
    LONGLONG current = 7, duration = 7;
    LONG full = 7, code = 7, muted = 7, state = 7;
    LONG_PTR param1 = 7, param2 = 7;
    FLATPLAY_MEDIA_INFO info;
    RECT rect = {10, 20, 330, 260}, inverted = {10, 20, 5, 260};
    ULONG_PTR before;
    MarkStack();
    before = stackMark;
    CHECK_EQ(InitGraph(NULL), E_POINTER);
    CHECK_EQ(PlayPause(), E_FAIL);
    CHECK_EQ(Stop(), S_OK);
    CHECK_EQ(getPlayPosition(&current, &duration), E_FAIL);
    CHECK_EQ(current + duration, 14);
    CHECK_EQ(GetPlayPositionCurrent(), 0);
    CHECK_EQ(GetPlayPositionDuration(), 0);
    CHECK_EQ(GetPlayPositionDurationPercent(), 0);
    CHECK_EQ(TotalTime(), 0);
    CHECK_EQ(SeekSong(50.0f), S_OK);
    CHECK_EQ(ToggleMute(), S_OK);
    CHECK_EQ(PutForeground(TRUE), E_FAIL);
    CHECK_EQ(FullScreen(TRUE), E_FAIL);
    CHECK_EQ(IsFullScreen(&full), E_FAIL);
    CHECK_EQ(full, 7);
    CHECK_EQ(PutMessageDrain(NULL), E_FAIL);
    CHECK_EQ(SetHWND(NULL), S_OK);
    /* 0.2.0: arguments checked first, then the same gates. */
    CHECK_EQ(GetLibraryVersion(), FLATPLAY_VERSION);
    CHECK_EQ(GetLibraryVersion() >= FLATPLAY_MAKE_VERSION(0, 2, 0), 1);
    CHECK_EQ(SetEventWindow(NULL, 0), S_OK);
    CHECK_EQ(GetGraphEvent(&code, &param1, &param2), E_FAIL);
    CHECK_EQ(code + param1 + param2, 21);
    CHECK_EQ(GetGraphEvent(&code, NULL, &param2), E_POINTER);
    CHECK_EQ(sizeof(FLATPLAY_MEDIA_INFO), 32);
    info.cbSize = sizeof info;
    info.duration = 7;
    CHECK_EQ(GetMediaInfo(&info), E_FAIL);
    CHECK_EQ(info.duration, 7);
    info.cbSize = sizeof info + 4;
    CHECK_EQ(GetMediaInfo(&info), E_INVALIDARG);
    CHECK_EQ(GetMediaInfo(NULL), E_POINTER);
    CHECK_EQ(SetVideoRect(&inverted), E_INVALIDARG);
    CHECK_EQ(SetVideoRect(&rect), S_OK);
    CHECK_EQ(SetVideoRect(NULL), S_OK);
    CHECK_EQ(SeekToTime(20000000), S_OK);
    CHECK_EQ(GetMuteState(&muted), E_FAIL);
    CHECK_EQ(muted, 7);
    CHECK_EQ(GetMuteState(NULL), E_POINTER);
    ClearGraph();
    CHECK_EQ(GetPlayState(), FLATPLAY_CLOSED);
    (void)GetVolumeInit();
    (void)GetVolume();
    CHECK_EQ(Set_Volume(0xFFFF), S_OK);
    CHECK_EQ(SetVolume(0), S_OK);
    CHECK_EQ(Initialize() >= 0, 1);
    CHECK_EQ(UnInitialize(), S_OK);
    /* 0.3.0: a player without a file, and no player at all. */
    CHECK_EQ(PlayerGetState(player, &state), S_OK);
    CHECK_EQ(state, FLATPLAY_CLOSED);
    CHECK_EQ(PlayerPlay(player), E_FAIL);
    CHECK_EQ(PlayerPause(player), E_FAIL);
    CHECK_EQ(PlayerStop(player), E_FAIL);
    CHECK_EQ(PlayerSeek(player, 20000000), E_FAIL);
    CHECK_EQ(PlayerSetRate(player, 2.0), E_FAIL);
    CHECK_EQ(PlayerSetRate(player, -1.0), E_INVALIDARG);
    CHECK_EQ(PlayerGetPosition(player, &current, &duration), E_FAIL);
    CHECK_EQ(PlayerGetEvent(player, &code, &param1, &param2), E_FAIL);
    CHECK_EQ(PlayerGetMediaInfo(player, &info), E_INVALIDARG); /* cbSize as left above */
    CHECK_EQ(PlayerSetEventWindow(player, NULL, 0), S_OK);
    CHECK_EQ(PlayerSetOwner(player, NULL), S_OK);
    CHECK_EQ(PlayerSetVideoRect(player, &inverted), E_INVALIDARG);
    CHECK_EQ(PlayerSetVideoRect(player, &rect), S_OK);
    CHECK_EQ(PlayerShowVideo(player, TRUE), E_FAIL);
    CHECK_EQ(PlayerSetFullScreen(player, TRUE), E_FAIL);
    CHECK_EQ(PlayerSetMessageDrain(player, NULL), S_OK);
    CHECK_EQ(PlayerSetVolume(player, 1), E_INVALIDARG);
    CHECK_EQ(PlayerSetVolume(player, -100), S_OK);
    CHECK_EQ(PlayerSetBalance(player, 100), S_OK);
    CHECK_EQ(PlayerSetMute(player, FALSE), S_OK);
    CHECK_EQ(PlayerClose(player), S_OK);
    CHECK_EQ(PlayerOpen(player, NULL), E_POINTER);
    CHECK_EQ(PlayerPlay(NULL), E_HANDLE);
    CHECK_EQ(PlayerDestroy(NULL), E_HANDLE);
    CHECK_EQ(current + duration + code + param1 + param2, 35);
    MarkStack();
    CHECK_EQ(stackMark - before, 0);
}

static void Play(LPCWSTR clip, FLATPLAY_GETPLAYPOSITION_FN getPlayPosition) {
    LONGLONG current = 0, duration = 0;
    CHECK_EQ(Initialize(), S_OK);
    CHECK_EQ(InitGraph(clip), S_OK);
    CHECK_EQ(PlayPause() >= 0, 1);
    CHECK_EQ(GetPlayState(), FLATPLAY_RUNNING);
    Sleep(1000);
    CHECK_EQ(getPlayPosition(&current, &duration), S_OK);
    Say("play: position %ld, duration %ld\r\n", (long)current, (long)duration);
    CHECK_EQ(duration, 40000000);
    CHECK_EQ(current > 0 && current < duration, 1);
    CHECK_EQ(TotalTime(), 4);
    CHECK_EQ(PlayPause() >= 0, 1);
    CHECK_EQ(GetPlayState(), FLATPLAY_PAUSED);
    /* The float argument crosses the boundary: half of 4 s. */
    CHECK_EQ(SeekSong(50.0f), S_OK);
    CHECK_EQ(GetPlayPositionCurrent(), 20000000);
    CHECK_EQ(Stop() >= 0, 1);
    CHECK_EQ(GetPlayState(), FLATPLAY_STOPPED);
    ClearGraph();
    CHECK_EQ(GetPlayState(), FLATPLAY_CLOSED);
    CHECK_EQ(UnInitialize(), S_OK);
}

/* The clip on a player: a 64-bit position and a double cross over. */
static void PlayOnAPlayer(LPCWSTR clip) {
    FLATPLAY_PLAYER player = NULL;
    LONGLONG current = 0, duration = 0;
    CHECK_EQ(PlayerCreate(&player), S_OK);
    CHECK_EQ(PlayerOpen(player, clip), S_OK);
    CHECK_EQ(PlayerSeek(player, 20000000), S_OK); /* stopped: it only moves */
    CHECK_EQ(PlayerGetPosition(player, &current, &duration), S_OK);
    CHECK_EQ(current, 20000000);
    CHECK_EQ(duration, 40000000);
    CHECK_EQ(PlayerSetRate(player, 1.5), S_OK);
    CHECK_EQ(PlayerPlay(player) >= 0, 1);
    Sleep(500);
    CHECK_EQ(PlayerGetPosition(player, &current, &duration), S_OK);
    Say("player: position %ld\r\n", (long)current);
    CHECK_EQ(current > 20000000 && current < duration, 1);
    CHECK_EQ(PlayerStop(player), S_OK);
    CHECK_EQ(PlayerDestroy(player), S_OK);
}

HOST_C int HostMain(void) {
    int argc = 0, round;
    FLATPLAY_PLAYER player = NULL;
    LPWSTR *argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    FLATPLAY_GETPLAYPOSITION_FN getPlayPosition = GetPlayPositionOf(GetModuleHandleW(L"flatplay.dll"));
    CHECK_EQ(getPlayPosition != NULL, 1);
    CHECK_EQ(GetPlayState(), FLATPLAY_STOPPED); /* the value at load */
    /* Without Initialize COM refuses the graph; the library's debug line
     * must read as it always has (run-case finds it on Wine's output). */
    CHECK_EQ(InitGraph(L"clip.avi"), CO_E_NOTINITIALIZED);
    Say("expect-debug: FAILED(hr=0x800401f0) in CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, "
        "IID_IGraphBuilder, (void **)&m_pGB)\\n\r\n");
    CHECK_EQ(GetPlayState(), FLATPLAY_STOPPED);
    CHECK_EQ(PlayerCreate(&player), S_OK);
    if (getPlayPosition)
        for (round = 0; round < 1000; ++round) Round(getPlayPosition, player);
    CHECK_EQ(PlayerDestroy(player), S_OK);
    Say("host: 1000 rounds of every export without a graph\r\n");
    if (argc > 1 && getPlayPosition) Play(argv[1], getPlayPosition);
    if (argc > 1) PlayOnAPlayer(argv[1]);
    Say("host: %d failed check(s)\r\n", failures);
    ExitProcess(failures != 0);
    return 0;
}

/* Linked with a C runtime, its start-up code comes here instead. */
int main(void) { return HostMain(); }
