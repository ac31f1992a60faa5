// The Windows CE DLL on the processors Debian's armel libraries cannot run
// on: a program with no C library, its own _start and system calls,
// compiled as CE's compilers compile (the old procedure call standard,
// soft float, 16-bit wchar_t) for ARMv4, or for ARMv4T in Thumb state. It
// loads the DLL (wince_loader.cpp), binds its imports to the small fake
// below and drives the exports through a session, each step checked.
//   wince-freestanding DLL            the scenarios
//   wince-freestanding DLL plant-bx   the same after each `moveq pc, lr`
//       of the DLL's return guards is made a no-op, so that its returns
//       reach the BX: an ARMv4 core must stop at once with SIGILL
#include "dll/wince_loader.h"
#include "platform/platform.h"

extern "C" {
void *memcpy(void *to, const void *from, size_t n) {
    for (size_t i = 0; i < n; ++i) static_cast<char *>(to)[i] = static_cast<const char *>(from)[i];
    return to;
}
void *memset(void *to, int c, size_t n) {
    for (size_t i = 0; i < n; ++i) static_cast<char *>(to)[i] = static_cast<char>(c);
    return to;
}
void __cxa_pure_virtual() {}
}

namespace {

// The number in r7, which Thumb code keeps for its frames: set and put back here.
long Sys(long number, long a = 0, long b = 0, long c = 0, long d = 0, long e = 0, long f = 0) {
    register long r0 asm("r0") = a, r1 asm("r1") = b, r2 asm("r2") = c, r3 asm("r3") = d, r4 asm("r4") = e,
                     r5 asm("r5") = f;
    asm volatile("push {r7}\n\tmovs r7, %[n]\n\tsvc #0\n\tpop {r7}"
                 : "+r"(r0)
                 : [n] "r"(number), "r"(r1), "r"(r2), "r"(r3), "r"(r4), "r"(r5)
                 : "cc", "memory");
    return r0;
}

void Print(const char *text) {
    size_t n = 0;
    while (text[n]) ++n;
    Sys(4, 1, reinterpret_cast<long>(text), static_cast<long>(n)); // write
}

void PrintHex(uint32_t value) {
    char digits[11] = "0x";
    for (int i = 0; i < 8; ++i) digits[2 + i] = "0123456789abcdef"[value >> (28 - 4 * i) & 15];
    Print(digits);
}

[[noreturn]] void Exit(int code) {
    for (;;) Sys(248, code); // exit_group
}

int failures = 0;

void Check(const char *what, bool good, uint32_t got = 0) {
    Print(good ? "  ok   " : "  FAIL ");
    Print(what);
    if (!good) Print(", got "), PrintHex(got);
    Print("\n");
    failures += !good;
}

// ---- The fake platform: just enough to see the calls arrive intact ----------

HWND Host() { return reinterpret_cast<HWND>(0x1000); }
HWND Video() { return reinterpret_cast<HWND>(0x2000); }
struct Seen {
    WCHAR path[16];
    LONGLONG position;
    DWORD rateLow, rateHigh;
    int runs, pauses, stops, refs;
    DWORD deviceVolume;
    WNDPROC videoProc;
    HWND postedTo;
    UINT posted;
    LPARAM postedParam;
    UINT ownProcMessage;
    WCHAR line[64];
    DWORD lineCode;
    HRESULT renderResult, createResult;
};
Seen seen;
const LONGLONG kDuration = 1234567890123;

// Objects laid out as DirectShow's interfaces are, which the DLL was built
// with: every method in its slot, the ones the DLL never calls as fillers.
void *Find(REFIID iid);
struct Unknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **ppv) {
        *ppv = Find(iid);
        return *ppv ? (++seen.refs, S_OK) : E_NOINTERFACE;
    }
    virtual ULONG STDMETHODCALLTYPE AddRef() { return static_cast<ULONG>(++seen.refs); }
    virtual ULONG STDMETHODCALLTYPE Release() { return static_cast<ULONG>(--seen.refs); }
};
#define FILLER_(n)                                                                                                     \
    virtual void Filler##n() {}
#define FILLER(n) FILLER_(n)
#define FILLERS(n) FILLERS##n
#define FILLERS1 FILLER(__COUNTER__)
#define FILLERS2 FILLERS1 FILLERS1
#define FILLERS3 FILLERS2 FILLERS1
#define FILLERS4 FILLERS2 FILLERS2
#define FILLERS6 FILLERS4 FILLERS2
#define FILLERS9 FILLERS4 FILLERS4 FILLERS1
#define FILLERS10 FILLERS9 FILLERS1

struct : Unknown {
    FILLERS(10) // IFilterGraph's, Connect, Render
    virtual HRESULT STDMETHODCALLTYPE RenderFile(LPCWSTR file, LPCWSTR) {
        for (int i = 0; i < 15 && (i == 0 || file[i - 1]); ++i) seen.path[i] = file[i];
        return seen.renderResult;
    }
} graphBuilder;
struct : Unknown {
    FILLERS(4) // IDispatch's
    virtual HRESULT STDMETHODCALLTYPE Run() { return ++seen.runs, S_FALSE; }
    virtual HRESULT STDMETHODCALLTYPE Pause() { return ++seen.pauses, S_OK; }
    virtual HRESULT STDMETHODCALLTYPE Stop() { return ++seen.stops, S_OK; }
} mediaControl;
struct : Unknown {
    FILLERS(4)
    FILLERS(1) // IDispatch's, GetEventHandle
    virtual HRESULT STDMETHODCALLTYPE GetEvent(LONG *, LONG_PTR *, LONG_PTR *, LONG) { return E_ABORT; }
    FILLERS(3)
    virtual HRESULT STDMETHODCALLTYPE FreeEventParams(LONG, LONG_PTR, LONG_PTR) { return S_OK; }
    virtual HRESULT STDMETHODCALLTYPE SetNotifyWindow(OAHWND, LONG, LONG_PTR) { return S_OK; }
} mediaEvent;
struct : Unknown {
    virtual HRESULT STDMETHODCALLTYPE GetCapabilities(DWORD *c) { return *c = AM_SEEKING_CanSeekAbsolute, S_OK; }
    FILLERS(6)
    virtual HRESULT STDMETHODCALLTYPE GetDuration(LONGLONG *d) { return *d = kDuration, S_OK; }
    FILLERS(1)
    virtual HRESULT STDMETHODCALLTYPE GetCurrentPosition(LONGLONG *c) { return *c = seen.position, S_OK; }
    FILLERS(1)
    virtual HRESULT STDMETHODCALLTYPE SetPositions(LONGLONG *current, DWORD, LONGLONG *, DWORD) {
        return seen.position = *current, S_OK;
    }
    FILLERS(2)
    virtual HRESULT STDMETHODCALLTYPE SetRate(double rate) {
        const auto *words = reinterpret_cast<const DWORD *>(&rate);
        return seen.rateLow = words[0], seen.rateHigh = words[1], S_OK;
    }
} mediaSeeking;
struct : Unknown {
    FILLERS(4)
    virtual HRESULT STDMETHODCALLTYPE put_Caption(BSTR) { return S_OK; }
    FILLERS(1)
    virtual HRESULT STDMETHODCALLTYPE put_WindowStyle(LONG) { return S_OK; }
    FILLERS(9)
    virtual HRESULT STDMETHODCALLTYPE put_Visible(LONG) { return S_OK; }
    FILLERS(9)
    virtual HRESULT STDMETHODCALLTYPE put_Owner(OAHWND) { return S_OK; }
    FILLERS(1)
    virtual HRESULT STDMETHODCALLTYPE put_MessageDrain(OAHWND) { return S_OK; }
    FILLERS(3)
    virtual HRESULT STDMETHODCALLTYPE get_FullScreenMode(LONG *mode) { return *mode = OAFALSE, S_OK; }
    virtual HRESULT STDMETHODCALLTYPE put_FullScreenMode(LONG) { return S_OK; }
    virtual HRESULT STDMETHODCALLTYPE SetWindowForeground(LONG) { return S_OK; }
    virtual HRESULT STDMETHODCALLTYPE NotifyOwnerMessage(OAHWND, LONG, LONG_PTR, LONG_PTR) { return S_OK; }
    virtual HRESULT STDMETHODCALLTYPE SetWindowPosition(LONG, LONG, LONG, LONG) { return S_OK; }
} videoWindow;
struct : Unknown {
    FILLERS(4)
    virtual HRESULT STDMETHODCALLTYPE put_Volume(LONG) { return S_OK; }
    virtual HRESULT STDMETHODCALLTYPE get_Volume(LONG *volume) { return *volume = 0, S_OK; }
    virtual HRESULT STDMETHODCALLTYPE put_Balance(LONG) { return S_OK; }
} basicAudio;

void *Find(REFIID iid) {
    if (iid == IID_IGraphBuilder) return &graphBuilder;
    if (iid == IID_IMediaControl) return &mediaControl;
    if (iid == IID_IMediaEventEx) return &mediaEvent;
    if (iid == IID_IMediaSeeking) return &mediaSeeking;
    if (iid == IID_IVideoWindow) return &videoWindow;
    if (iid == IID_IBasicAudio) return &basicAudio;
    return nullptr;
}

LRESULT CALLBACK OwnProc(HWND, UINT msg, WPARAM, LPARAM) { return seen.ownProcMessage = msg, 0x600D; }

} // namespace

// The platform's functions, as the DLL imports them.
extern "C" {
HRESULT CoInitializeEx(void *, DWORD) { return S_OK; }
void CoUninitialize() {}
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown *, DWORD, REFIID iid, void **ppv) {
    *ppv = clsid == CLSID_FilterGraph && !seen.createResult ? Find(iid) : nullptr;
    if (seen.createResult) return seen.createResult;
    return *ppv ? (++seen.refs, S_OK) : static_cast<HRESULT>(0x80040154);
}
LONG InterlockedCompareExchange(volatile LONG *target, LONG exchange, LONG comparand) {
    const LONG old = *target;
    if (old == comparand) *target = exchange;
    return old;
}
LONG InterlockedExchange(volatile LONG *target, LONG value) {
    const LONG old = *target;
    *target = value;
    return old;
}
int GetSystemMetrics(int index) { return index == SM_CXSCREEN ? 240 : 320; }
HWND GetWindow(HWND hwnd, UINT cmd) { return hwnd == Host() && cmd == GW_CHILD ? Video() : nullptr; }
LONG_PTR GetWindowLongPtrW(HWND hwnd, int) { return hwnd == Video() ? reinterpret_cast<LONG_PTR>(seen.videoProc) : 0; }
LONG_PTR SetWindowLongPtrW(HWND hwnd, int, LONG_PTR value) {
    const LONG_PTR old = GetWindowLongPtrW(hwnd, 0);
    if (hwnd == Video()) seen.videoProc = reinterpret_cast<WNDPROC>(value);
    return old;
}
LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return proc(hwnd, msg, wParam, lParam);
}
LRESULT DefWindowProcW(HWND, UINT, WPARAM, LPARAM) { return 0; }
BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM, LPARAM lParam) {
    return seen.postedTo = hwnd, seen.posted = msg, seen.postedParam = lParam, TRUE;
}
MMRESULT waveOutGetVolume(HWAVEOUT, DWORD *volume) { return *volume = seen.deviceVolume, MMSYSERR_NOERROR; }
MMRESULT waveOutSetVolume(HWAVEOUT, DWORD volume) { return seen.deviceVolume = volume, MMSYSERR_NOERROR; }
// The library's lines are "FAILED(hr=0x%x) in %s\n": kept as the %s text.
void NKDbgPrintfW(LPCWSTR format, ...) {
    __builtin_va_list args;
    __builtin_va_start(args, format);
    seen.lineCode = __builtin_va_arg(args, unsigned);
    LPCWSTR text = __builtin_va_arg(args, LPCWSTR);
    for (int i = 0; i < 63 && (i == 0 || text[i - 1]); ++i) seen.line[i] = text[i];
    __builtin_va_end(args);
}
}

namespace {

WinceDll dll;
uint32_t imageSize;
// CE's page of user data, where the DLL reads the thread's number.
volatile DWORD *kdata;

// No window has a caption here: the DLL asks only for a pool player's video.
int GetWindowTextW(HWND, WCHAR *text, int) { return text[0] = 0, 0; }

void *Resolve(const char *, const char *name) {
    static const struct {
        const char *name;
        void *address;
    } kImports[] = {
        {"CallWindowProcW", reinterpret_cast<void *>(&CallWindowProcW)},
        {"DefWindowProcW", reinterpret_cast<void *>(&DefWindowProcW)},
        {"GetSystemMetrics", reinterpret_cast<void *>(&GetSystemMetrics)},
        {"GetWindow", reinterpret_cast<void *>(&GetWindow)},
        {"GetWindowLongW", reinterpret_cast<void *>(&GetWindowLongPtrW)},
        {"InterlockedCompareExchange", reinterpret_cast<void *>(&InterlockedCompareExchange)},
        {"InterlockedExchange", reinterpret_cast<void *>(&InterlockedExchange)},
        {"NKDbgPrintfW", reinterpret_cast<void *>(&NKDbgPrintfW)},
        {"PostMessageW", reinterpret_cast<void *>(&PostMessageW)},
        {"SetWindowLongW", reinterpret_cast<void *>(&SetWindowLongPtrW)},
        {"waveOutGetVolume", reinterpret_cast<void *>(&waveOutGetVolume)},
        {"waveOutSetVolume", reinterpret_cast<void *>(&waveOutSetVolume)},
        {"CoCreateInstance", reinterpret_cast<void *>(&CoCreateInstance)},
        {"CoInitializeEx", reinterpret_cast<void *>(&CoInitializeEx)},
        {"CoUninitialize", reinterpret_cast<void *>(&CoUninitialize)},
        {"GetWindowTextW", reinterpret_cast<void *>(&GetWindowTextW)},
    };
    for (const auto &import : kImports)
        if (WinceSameName(import.name, name)) return import.address;
    return nullptr;
}

template <typename F> F Export(const char *name) {
    void *address = WinceExport(dll, name);
    if (!address) Print(name), Print(": no such export\n"), Exit(1);
    return reinterpret_cast<F>(address);
}
#define EXPORT(name) Export<decltype(&name)>(#name)

bool Same(const WCHAR *a, const char16_t *b) {
    for (; *a == *b; ++a, ++b)
        if (!*a) return true;
    return false;
}

void Session() {
    Print("lifecycle\n");
    Check("GetLibraryVersion", EXPORT(GetLibraryVersion)() == FLATPLAY_VERSION);
    Check("GetPlayState at load", EXPORT(GetPlayState)() == FLATPLAY_STOPPED);
    Check("Initialize", EXPORT(Initialize)() == S_OK);
    seen.createResult = static_cast<HRESULT>(0x80040154);
    Check("InitGraph refused by CoCreateInstance",
          EXPORT(InitGraph)(u"clip.avi") == seen.createResult && seen.lineCode == 0x80040154);
    seen.createResult = S_OK;
    EXPORT(SetHWND)(Host());
    Check("InitGraph", EXPORT(InitGraph)(u"clip.avi") == S_OK);
    Check("the path arrives as 16-bit units", Same(seen.path, u"clip.avi"));
    Check("GetPlayState Stopped", EXPORT(GetPlayState)() == FLATPLAY_STOPPED);
    Check("PlayPause runs", EXPORT(PlayPause)() >= 0 && seen.runs == 1 && EXPORT(GetPlayState)() == FLATPLAY_RUNNING);

    Print("64-bit values and soft float\n");
    seen.position = 0x0000012300000456;
    Check("GetPlayPositionDuration", EXPORT(GetPlayPositionDuration)() == kDuration);
    Check("TotalTime (64-bit division)", EXPORT(TotalTime)() == kDuration / 10000000);
    LONGLONG current = 0, duration = 0;
    auto getPlayPosition = Export<decltype(&GetPlayPosition)>(FLATPLAY_GETPLAYPOSITION_EXPORT);
    Check("GetPlayPosition",
          getPlayPosition(&current, &duration) == S_OK && current == 0x0000012300000456 && duration == kDuration);
    Check("SeekToTime (r0:r1)", EXPORT(SeekToTime)(0x0000000F00000001) >= 0 && seen.position == 0x0000000F00000001,
          static_cast<uint32_t>(seen.position >> 32));
    Check("SeekSong(37.5) to 462962982912", EXPORT(SeekSong)(37.5f) == S_OK && seen.position == 462962982912,
          static_cast<uint32_t>(seen.position));
    seen.deviceVolume = 0x8000;
    Check("GetVolume of 0x8000 is -5000", EXPORT(GetVolume)() == -5000);
    seen.deviceVolume = 0x1999;
    Check("GetVolume of 0x1999 is -9001", EXPORT(GetVolume)() == -9001);
    Check("GetVolumeInit", EXPORT(GetVolumeInit)() == 0x1999);
    Check("Set_Volume", EXPORT(Set_Volume)(0x12345678) == S_OK && seen.deviceVolume == 0x12345678);
    Check("SetVolume(-5000) writes 32767", EXPORT(SetVolume)(-5000) == S_OK && seen.deviceVolume == 32767,
          seen.deviceVolume);

    Print("windows and the tap\n");
    seen.videoProc = &OwnProc;
    Check("PutForeground", EXPORT(PutForeground)(TRUE) == S_OK && seen.videoProc != &OwnProc);
    Check("a tap's own procedure",
          seen.videoProc(Video(), WM_LBUTTONUP, 0, 0) == 0x600D && seen.ownProcMessage == WM_LBUTTONUP);
    Check("a tap posts WM_VIDEO_TAPPED to the host", seen.postedTo == Host() && seen.posted == WM_VIDEO_TAPPED);

    Print("players\n");
    FLATPLAY_PLAYER player = nullptr;
    Check("PlayerCreate", EXPORT(PlayerCreate)(&player) == S_OK && player);
    Check("PlayerOpen", EXPORT(PlayerOpen)(player, u"two.avi") == S_OK && Same(seen.path, u"two.avi"));
    Check("PlayerSeek (r1:r2)",
          EXPORT(PlayerSeek)(player, 0x0000000700000005) >= 0 && seen.position == 0x0000000700000005);
    Check("PlayerSetRate(1.5) (r1:r2)",
          EXPORT(PlayerSetRate)(player, 1.5) == S_OK && seen.rateHigh == 0x3FF80000 && seen.rateLow == 0);
    const auto forged = reinterpret_cast<FLATPLAY_PLAYER>(reinterpret_cast<UINT_PTR>(player) + 0x10);
    Check("a forged handle refused", EXPORT(PlayerPlay)(forged) == E_HANDLE);
    kdata[0x808 / 4] = 8; // another thread
    Check("another thread refused", EXPORT(PlayerPlay)(player) == RPC_E_WRONG_THREAD);
    kdata[0x808 / 4] = 7;
    Check("PlayerDestroy", EXPORT(PlayerDestroy)(player) == S_OK);

    Print("a failure's debug line\n");
    EXPORT(ClearGraph)();
    seen.renderResult = static_cast<HRESULT>(0x80040216);
    Check("InitGraph of a file no filter takes", EXPORT(InitGraph)(u"clip.avi") == seen.renderResult);
    Check("its line", seen.lineCode == 0x80040216 && Same(seen.line, u"m_pGB->RenderFile(m_szPlayFile, NULL)"),
          seen.lineCode);
    EXPORT(ClearGraph)(); // a failed InitGraph keeps what it took until then
    Check("UnInitialize", EXPORT(UnInitialize)() == S_OK);
    Check("every reference given back", seen.refs == 0, static_cast<uint32_t>(seen.refs));
    Check("DllMain detach", reinterpret_cast<BOOL(WINAPI *)(HINSTANCE, DWORD, LPVOID)>(dll.entry)(
                                nullptr, DLL_PROCESS_DETACH, nullptr) == TRUE);
}

[[noreturn]] void IllegalInstruction(int) {
    Print("SIGILL: the planted BX stopped the processor, as on an ARMv4 device\n");
    Exit(3);
}

// Each guard `tst lr, #1; moveq pc, lr; bx lr` loses its MOVEQ.
int PlantBx() {
    int planted = 0;
    for (auto *word = reinterpret_cast<uint32_t *>(dll.base);
         reinterpret_cast<uint8_t *>(word + 3) <= dll.base + imageSize; ++word)
        if (word[0] == 0xE31E0001 && word[1] == 0x01A0F00E && word[2] == 0xE12FFF1E) word[1] = 0xE1A00000, ++planted;
    return planted;
}

} // namespace

extern "C" [[noreturn]] void Main(long *stack) {
    const long argc = stack[0];
    const char *const *argv = reinterpret_cast<const char *const *>(stack + 1);
    if (argc < 2) Print("usage: wince-freestanding DLL [plant-bx]\n"), Exit(2);
    const long fd = Sys(5, reinterpret_cast<long>(argv[1]), 0); // open
    if (fd < 0) Print(argv[1]), Print(": cannot be opened\n"), Exit(2);
    const long size = Sys(19, fd, 0, 2);                                            // lseek to the end
    auto *file = reinterpret_cast<const uint8_t *>(Sys(192, 0, size, 1, 2, fd, 0)); // mmap2, read-only
    imageSize = WinceImageSize(file, static_cast<size_t>(size));
    if (!imageSize) Print(argv[1]), Print(": no Windows CE ARM DLL\n"), Exit(2);
    auto *base = reinterpret_cast<uint8_t *>(Sys(192, 0, imageSize, 7, 0x22, -1, 0));       // mmap2, anonymous RWX
    kdata = reinterpret_cast<volatile DWORD *>(Sys(192, 0xFFFFC000, 4096, 3, 0x32, -1, 0)); // fixed, read-write
    if (reinterpret_cast<uintptr_t>(kdata) != 0xFFFFC000) Print("no page of user data\n"), Exit(2);
    kdata[0x808 / 4] = 7;
    if (const char *error = WinceLoad(file, static_cast<size_t>(size), base, Resolve, &dll))
        Print(error), Print(dll.missing ? dll.missing : ""), Print("\n"), Exit(2);
    Print("flatplay.dll at "), PrintHex(reinterpret_cast<uint32_t>(base)), Print(": "), PrintHex(dll.relocations);
    Print(" relocations, "), PrintHex(dll.imports), Print(" imports\n");
    if (argc > 2) {
        Print("planted BX in "), PrintHex(static_cast<uint32_t>(PlantBx())), Print(" return guards\n");
        // rt_sigaction(SIGILL): handler, flags, restorer, mask.
        const long action[5] = {reinterpret_cast<long>(&IllegalInstruction), 0, 0, 0, 0};
        Sys(174, 4, reinterpret_cast<long>(action), 0, 8);
    }
    reinterpret_cast<BOOL(WINAPI *)(HINSTANCE, DWORD, LPVOID)>(dll.entry)(reinterpret_cast<HINSTANCE>(base), 1,
                                                                          nullptr);
    Session();
    Print(failures ? "FAILED\n" : "all passed\n");
    Exit(failures ? 1 : 0);
}

extern "C" [[gnu::naked]] void _start() { asm("mov r0, sp\n\tbl Main"); }
