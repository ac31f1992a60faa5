#include "harness.h"

#include <objbase.h>
#include <shellapi.h>

namespace wt {

volatile LONG checks = 0;
volatile LONG failures = 0;

namespace {

wchar_t mediaDir[MAX_PATH];
wchar_t mediaPath[MAX_PATH];

struct Received {
    HWND hwnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};
Received received[128];
int receivedCount = 0;

// Posted by PumpPostedSoFar; far from WM_USER + 110 and + 300, the library's.
constexpr UINT kMarker = WM_APP + 0x3A5;
HWND markerArrived = nullptr;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kMarker) {
        markerArrived = hwnd;
        return 0;
    }
    if (msg >= WM_USER || msg == WM_COMMAND) {
        if (receivedCount < 128) received[receivedCount++] = Received{hwnd, msg, wParam, lParam};
        Print("  message 0x%x (%llu, %lld) to %p\n", msg, (unsigned long long)wParam, (long long)lParam, (void *)hwnd);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace

bool Check(bool ok, const char *what, const char *file, int line) {
    InterlockedIncrement(&checks);
    if (!ok) {
        InterlockedIncrement(&failures);
        Print("FAILED %s:%d: %s\n", file, line, what);
    }
    return ok;
}

bool CheckEq(long long got, long long want, const char *what, const char *file, int line) {
    InterlockedIncrement(&checks);
    if (got == want) return true;
    InterlockedIncrement(&failures);
    Print("FAILED %s:%d: %s (got %lld = 0x%llx, want %lld = 0x%llx)\n", file, line, what, got, (unsigned long long)got,
          want, (unsigned long long)want);
    return false;
}

namespace {
int skips = 0;
// Serving cases one after another (Serve): the process outlives the case.
bool serving = false;
} // namespace

void ExpectTeardownCrash(const char *why) {
    Print("expect-teardown-crash: %s\n", why);
    // Only the end of a process of its own can be taken as the case's end.
    if (serving)
        Check(false, "a case that expects a teardown crash runs in a process of its own (FRESH_CASES)", __FILE__,
              __LINE__);
}

void Skip(const char *why) {
    ++skips;
    Print("skipped: %s\n", why);
}

bool Emulated() {
#if defined(__aarch64__) || defined(__arm__)
    return true;
#else
    wchar_t flag[2] = L"";
    return GetEnvironmentVariableW(L"FLATPLAY_EMULATED", flag, 2) == 1 && flag[0] == L'1';
#endif
}

int Rounds(int rounds, const char *what) {
    if (!Emulated()) return rounds;
    const int run = rounds / 5;
    char why[160];
    Format(why, sizeof why, "%d of %d %s: run where not emulated, to keep this run short", rounds - run, rounds, what);
    Skip(why);
    return run;
}

void AudioMark(const char *name) { Print("audio-mark: %s\n", name); }

void ExpectAudio(const char *level, const char *mark, int fromMs, int toMs) {
    Print("expect-audio: %s %s %d %d\n", level, mark, fromMs, toMs);
}

void ExpectTone(const char *channel, int hz, int least, int most, const char *mark, int fromMs, int toMs) {
    Print("expect-tone: %s %d %d %d %s %d %d\n", channel, hz, least, most, mark, fromMs, toMs);
}

void ExpectToneRatio(int hz, int least, int most, const char *base, const char *mark, int fromMs, int toMs) {
    Print("expect-tone-ratio: %d %d %d %s %s %d %d\n", hz, least, most, base, mark, fromMs, toMs);
}

void MeasureAudioGap(const char *mark, int fromMs, int toMs) { Print("audio-gap: %s %d %d\n", mark, fromMs, toMs); }

bool RedirectImport(const char *dll, const char *name, void *replacement) {
    BYTE *base = reinterpret_cast<BYTE *>(GetModuleHandleW(L"flatplay.dll"));
    if (!base) return false;
    auto nt = reinterpret_cast<IMAGE_NT_HEADERS *>(base + reinterpret_cast<IMAGE_DOS_HEADER *>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY &imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto from = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR *>(base + imports.VirtualAddress); from->Name; ++from) {
        if (lstrcmpiA(reinterpret_cast<const char *>(base + from->Name), dll) != 0) continue;
        auto names = reinterpret_cast<IMAGE_THUNK_DATA *>(base + from->OriginalFirstThunk);
        auto slots = reinterpret_cast<IMAGE_THUNK_DATA *>(base + from->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME *>(base + names->u1.AddressOfData);
            if (Compare(reinterpret_cast<const char *>(byName->Name), name) != 0) continue;
            DWORD old;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
            return true;
        }
    }
    return false;
}

void ExpectDebugLine(const char *format, ...) {
    char line[512];
    va_list args;
    va_start(args, format);
    FormatV(line, sizeof line, format, args);
    va_end(args);
    // Wine prints the text escaped: a line feed shows as \n.
    char escaped[2 * sizeof line];
    size_t n = 0;
    for (const char *c = line; *c; ++c) {
        if (*c == '\n' || *c == '\r') {
            escaped[n++] = '\\';
            escaped[n++] = *c == '\n' ? 'n' : 'r';
        } else {
            escaped[n++] = *c;
        }
    }
    escaped[n] = 0;
    Print("expect-debug: %s\n", escaped);
}

const wchar_t *Media(const char *name) {
    Format(mediaPath, MAX_PATH, L"%ls\\%hs", mediaDir, name);
    return mediaPath;
}

const wchar_t *Media(const wchar_t *name) {
    Format(mediaPath, MAX_PATH, L"%ls\\%ls", mediaDir, name);
    return mediaPath;
}

HWND CreateHost(const wchar_t *title, DWORD style, int x, int y) {
    static bool registered = false;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!registered) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = instance;
        wc.hbrBackground = (HBRUSH)GetStockObject(GRAY_BRUSH);
        wc.lpszClassName = L"FlatplayTestHost";
        RegisterClassW(&wc);
        registered = true;
    }
    HWND hwnd = CreateWindowExW(0, L"FlatplayTestHost", title, style | WS_CLIPCHILDREN, x, y, 640, 480, nullptr,
                                nullptr, instance, nullptr);
    if (CHECK(hwnd != nullptr)) PumpPostedSoFar(hwnd);
    return hwnd;
}

int TakeReceived(HWND hwnd, UINT msg, LPARAM lParam) {
    int n = 0, kept = 0;
    for (int i = 0; i < receivedCount; ++i) {
        const Received &r = received[i];
        if (r.hwnd == hwnd && r.msg == msg && r.lParam == lParam) {
            ++n;
            CHECK_EQ(r.wParam, 0);
        } else {
            received[kept++] = r;
        }
    }
    receivedCount = kept;
    return n;
}

int TakeCommands(HWND hwnd, WORD id, WORD code) {
    int n = 0, kept = 0;
    for (int i = 0; i < receivedCount; ++i) {
        const Received &r = received[i];
        if (r.hwnd == hwnd && r.msg == WM_COMMAND && LOWORD(r.wParam) == id && HIWORD(r.wParam) == code)
            ++n;
        else
            received[kept++] = r;
    }
    receivedCount = kept;
    return n;
}

int CountReceived(HWND hwnd, UINT msg) {
    int n = 0;
    for (int i = 0; i < receivedCount; ++i) n += received[i].hwnd == hwnd && received[i].msg == msg;
    return n;
}

int CountCommands(HWND hwnd, WORD id, WORD code) {
    int n = 0;
    for (int i = 0; i < receivedCount; ++i) {
        const Received &r = received[i];
        n += r.hwnd == hwnd && r.msg == WM_COMMAND && LOWORD(r.wParam) == id && HIWORD(r.wParam) == code;
    }
    return n;
}

void DispatchPending() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

void Pump(DWORD ms) {
    DWORD end = GetTickCount() + ms;
    do {
        DispatchPending();
        Sleep(5);
    } while ((LONG)(end - GetTickCount()) > 0);
}

bool Waited(bool held, DWORD timeoutMs, const char *what, const char *file, int line) {
    char awaited[300];
    Format(awaited, sizeof awaited, "not within %lu ms: %s", (unsigned long)timeoutMs, what);
    return Check(held, awaited, file, line);
}

bool PumpPostedSoFar(HWND hwnd) {
    markerArrived = nullptr;
    if (!CHECK(PostMessageW(hwnd, kMarker, 0, 0))) return false;
    return PUMP_UNTIL(kDeadlineMs, markerArrived == hwnd);
}

bool ReadAll(const wchar_t *path, void *data, size_t capacity, size_t *size) {
    *size = 0;
    // Shared as the C runtime's fopen shares: a graph may have the file open.
    HANDLE file =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    while (ok && *size < capacity) {
        const size_t left = capacity - *size;
        const DWORD chunk = left < 0x40000000 ? static_cast<DWORD>(left) : 0x40000000;
        DWORD got = 0;
        ok = ReadFile(file, static_cast<BYTE *>(data) + *size, chunk, &got, nullptr) != 0;
        if (got == 0) break; // the end of the file
        *size += got;
    }
    CloseHandle(file);
    return ok;
}

namespace {

int RunCase(const Case &c) {
    checks = 0;
    failures = 0;
    skips = 0;
    receivedCount = 0;
    markerArrived = nullptr;
    Print("case %s\n", c.name);
    c.run();
    Print("%s: %ld check(s), %ld failed\n", c.name, checks, failures);
    if (skips) Print("%s: %d part(s) skipped\n", c.name, skips);
    return failures ? 1 : 0;
}

const Case *Find(const Case *cases, int count, const wchar_t *name) {
    for (int i = 0; i < count; ++i) {
        wchar_t own[64];
        Format(own, 64, L"%hs", cases[i].name);
        if (Compare(own, name) == 0) return &cases[i];
    }
    return nullptr;
}

BOOL CALLBACK CountWindow(HWND hwnd, LPARAM count) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    // Wine gives every thread with a window an input method window of its own.
    if (Compare(name, L"IME") != 0) ++*reinterpret_cast<int *>(count);
    return TRUE;
}

// What a case left that the next case in this process would find: a host
// window, COM still initialised on this thread, or the default player's
// graph, or a pool player still alive. Empty when nothing is.
void Leftovers(char *out, size_t size) {
    out[0] = 0;
    int windows = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&windows));
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    // Every slot free takes FLATPLAY_MAX_PLAYERS creations before the
    // refusal; with COM held here, each player's own start of it is cheap.
    FLATPLAY_PLAYER made[FLATPLAY_MAX_PLAYERS] = {};
    int free = 0;
    while (free < FLATPLAY_MAX_PLAYERS && PlayerCreate(&made[free]) == S_OK) ++free;
    for (int i = 0; i < free; ++i) PlayerDestroy(made[i]);
    if (SUCCEEDED(com)) CoUninitialize();
    FLATPLAY_MEDIA_INFO info = {};
    info.cbSize = sizeof info;
    const LONG state = GetPlayState();
    const bool graph = state == FLATPLAY_RUNNING || state == FLATPLAY_PAUSED || GetMediaInfo(&info) != E_FAIL;
    if (windows || com != S_OK || graph || free != FLATPLAY_MAX_PLAYERS)
        Format(out, size, "%d window(s), COM on this thread 0x%lx, play state %ld%s, %d player(s)", windows,
               (unsigned long)com, (long)state, graph ? " with a graph" : "", FLATPLAY_MAX_PLAYERS - free);
}

// Reads one line of the standard input, without its line end; false at its end.
bool ReadLine(wchar_t *line, size_t size) {
    char bytes[128];
    size_t n = 0;
    for (;;) {
        char c;
        DWORD got = 0;
        if (!ReadFile(GetStdHandle(STD_INPUT_HANDLE), &c, 1, &got, nullptr) || got == 0) {
            if (n == 0) return false;
            break;
        }
        if (c == '\n') break;
        if (c != '\r' && n + 1 < sizeof bytes) bytes[n++] = c;
    }
    bytes[n] = 0;
    Format(line, size, L"%hs", bytes);
    return true;
}

// Runs the cases named on the standard input, a line each, one after
// another in this process, so that Wine's start (its DLLs, GStreamer and
// its plugins, translated anew in every process under qemu) is paid once.
// Each ends with a line for the server (tests/wine/serve): "served: CASE
// RC reusable", or "spent" when the process must not run another case: a
// failed check (what the case left is unknown), or something left behind.
int Serve(const Case *cases, int count) {
    serving = true;
    wchar_t name[64];
    while (ReadLine(name, 64)) {
        const Case *c = Find(cases, count, name);
        if (!c) {
            Print("unknown case %ls\n", name);
            Print("served: %ls 2 spent\n", name);
            return 2;
        }
        const int rc = RunCase(*c);
        char left[160];
        Leftovers(left, sizeof left);
        if (left[0]) Print("  left for the next case: %s; it gets a fresh process\n", left);
        const bool spent = rc != 0 || left[0];
        Print("served: %s %d %s\n", c->name, rc, spent ? "spent" : "reusable");
        if (spent) return rc;
    }
    return 0;
}

} // namespace

int Main(const Case *cases, int count) {
    int argc = 0;
    wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3) {
        Print("usage: %ls CASE|--serve MEDIA_DIR\n", argv && argc > 0 ? argv[0] : L"");
        return 2;
    }
    // Unix paths reach Wine through its Z: drive.
    const wchar_t *dir = argv[2];
    Format(mediaDir, MAX_PATH, L"%ls%ls", dir[0] == L'/' ? L"Z:" : L"", dir);
    for (wchar_t *c = mediaDir; *c; ++c)
        if (*c == L'/') *c = L'\\';

    if (Compare(argv[1], L"--serve") == 0) return Serve(cases, count);
    if (const Case *c = Find(cases, count, argv[1])) return RunCase(*c);
    Print("unknown case %ls\n", argv[1]);
    return 2;
}

} // namespace wt
