// The DLL under Wine with real DirectShow: loading, exports, lifecycle,
// its debug lines, opening and closing real files.
#include "harness.h"

// strsafe.h (from dshow.h) would rename wvsprintfW, the reference here.
#define STRSAFE_NO_DEPRECATE
#include "platform/debug_line.h"

#include <initializer_list>

namespace {

struct Export {
    int ordinal;
    const char *name;
};
// The DLL's export table, from the .def file it is linked from.
const Export kExports[] = {
#include "exports.inc"
};

void Exports() {
    HMODULE dll = LoadLibraryW(L"flatplay.dll");
    if (!CHECK(dll != nullptr)) return;
    // The 23 of 0.1, the seven of 0.2 and the players' of 0.3 after them.
    constexpr int kCount = sizeof kExports / sizeof kExports[0];
    CHECK_EQ(kCount, 52);
    for (const Export &e : kExports) {
        FARPROC byName = GetProcAddress(dll, e.name);
        FARPROC byOrdinal = GetProcAddress(dll, MAKEINTRESOURCEA(e.ordinal));
        wt::Print("  %2d %-32s %p\n", e.ordinal, e.name, (void *)byName);
        CHECK(byName != nullptr);
        CHECK(byName == byOrdinal);
    }
    // The header names the export the table has at ordinal 3.
    CHECK_EQ(wt::Compare(kExports[2].name, FLATPLAY_GETPLAYPOSITION_EXPORT), 0);
    CHECK(GetProcAddress(dll, "GetPlayPosition") == nullptr);
    // 0.2's after the 23, in the order they came, and no more.
    const char *const added[] = {"SetEventWindow", "GetGraphEvent", "GetMediaInfo",     "SetVideoRect",
                                 "SeekToTime",     "GetMuteState",  "GetLibraryVersion"};
    for (int i = 0; i < 7; ++i) {
        CHECK_EQ(kExports[23 + i].ordinal, 24 + i);
        CHECK_EQ(wt::Compare(kExports[23 + i].name, added[i]), 0);
    }
    for (int i = 30; i < kCount; ++i) CHECK_EQ(wt::Compare(kExports[i].name, "Player", 6), 0);
    CHECK(GetProcAddress(dll, MAKEINTRESOURCEA(kCount + 1)) == nullptr);
    // The header's declaration links through the import library to the
    // decorated export: without a graph both calls refuse alike.
    LONGLONG current = 7, duration = 7;
    auto byName = reinterpret_cast<FLATPLAY_GETPLAYPOSITION_FN>(
        reinterpret_cast<void *>(GetProcAddress(dll, FLATPLAY_GETPLAYPOSITION_EXPORT)));
    HRESULT viaHeader = GetPlayPosition(&current, &duration);
    CHECK(viaHeader < 0);
    CHECK_EQ(viaHeader, byName(&current, &duration));
    CHECK_EQ(current + duration, 14);
    FreeLibrary(dll);
}

// The DLL's version resource, as Windows reads it: the header's version,
// and the names an installer or Explorer shows.
void Version() {
    HMODULE dll = GetModuleHandleW(L"flatplay.dll");
    wchar_t path[MAX_PATH];
    if (!CHECK(dll && GetModuleFileNameW(dll, path, MAX_PATH))) return;
    DWORD ignored = 0;
    static BYTE info[4096];
    DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (!CHECK(size > 0 && size <= sizeof info) || !CHECK(GetFileVersionInfoW(path, 0, size, info))) return;
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    if (CHECK(VerQueryValueW(info, L"\\", reinterpret_cast<void **>(&fixed), &length) && fixed)) {
        CHECK_EQ(fixed->dwFileVersionMS, MAKELONG(FLATPLAY_VERSION_MINOR, FLATPLAY_VERSION_MAJOR));
        CHECK_EQ(fixed->dwFileVersionLS, MAKELONG(0, FLATPLAY_VERSION_PATCH));
        CHECK_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
        CHECK_EQ(fixed->dwFileType, VFT_DLL);
        // The version at run time is the resource's, and the header's.
        CHECK_EQ(GetLibraryVersion(),
                 FLATPLAY_MAKE_VERSION(HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                                       HIWORD(fixed->dwFileVersionLS)));
    }
    CHECK_EQ(GetLibraryVersion(), FLATPLAY_VERSION);
    wchar_t version[32];
    wt::Format(version, 32, L"%d.%d.%d", FLATPLAY_VERSION_MAJOR, FLATPLAY_VERSION_MINOR, FLATPLAY_VERSION_PATCH);
    const struct {
        const wchar_t *name, *want;
    } strings[] = {{L"FileVersion", version},     {L"ProductVersion", version},
                   {L"ProductName", L"flatplay"}, {L"OriginalFilename", L"flatplay.dll"},
                   {L"FileDescription", nullptr}, {L"LegalCopyright", nullptr}};
    for (const auto &s : strings) {
        wchar_t query[64];
        wt::Format(query, 64, L"\\StringFileInfo\\040904B0\\%ls", s.name);
        wchar_t *value = nullptr;
        if (!CHECK(VerQueryValueW(info, query, reinterpret_cast<void **>(&value), &length) && value)) continue;
        wt::Print("  %-16ls %ls\n", s.name, value);
        CHECK(s.want ? wt::Compare(value, s.want) == 0 : value[0] != 0);
    }
}

void Lifecycle() {
    CHECK_EQ(GetPlayState(), FLATPLAY_STOPPED);
    CHECK_EQ(Initialize(), S_OK);
    CHECK_EQ(GetPlayState(), FLATPLAY_CLOSED);
    CHECK_EQ(Initialize(), S_FALSE);
    CHECK_EQ(GetPlayState(), FLATPLAY_CLOSED);
    CHECK_EQ(UnInitialize(), 0);
    CHECK_EQ(UnInitialize(), 0);
    CHECK_EQ(GetPlayState(), FLATPLAY_CLOSED);
}

// A host whose thread already has a single-threaded apartment: Initialize
// cannot have its multithreaded one, and graphs still play in the host's.
// No UnInitialize then: the host's own initialisation must stay.
void Apartment() {
    CHECK_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    CHECK_EQ(Initialize(), RPC_E_CHANGED_MODE);
    wt::ExpectDebugLine("CoInitialize Failed!\r\n");
    CHECK_EQ(GetPlayState(), FLATPLAY_STOPPED);
    HWND host = wt::CreateHost(L"apartment");
    SetHWND(host);
    CHECK_EQ(InitGraph(wt::Media("video.avi")), S_OK);
    CHECK(PlayPause() >= 0);
    CHECK_EQ(GetPlayState(), FLATPLAY_RUNNING);
    PUMP_UNTIL(wt::kDeadlineMs, GetPlayPositionCurrent() > 0);
    ClearGraph();
    CHECK_EQ(GetPlayState(), FLATPLAY_CLOSED);
    DestroyWindow(host);
    CHECK_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE); // still the host's
    CoUninitialize();
    CoUninitialize();
}

void OpenAndClose() {
    HWND host = wt::CreateHost(L"open");
    CHECK_EQ(Initialize(), S_OK);
    CHECK_EQ(SetHWND(host), 0);
    CHECK_EQ(InitGraph(wt::Media("av.avi")), S_OK);
    CHECK_EQ(GetPlayState(), FLATPLAY_STOPPED);
    PUMP_UNTIL(wt::kDeadlineMs, GetWindow(host, GW_CHILD) != nullptr);
    HWND video = GetWindow(host, GW_CHILD);
    if (CHECK(video != nullptr)) {
        RECT r;
        GetWindowRect(video, &r);
        wt::Print("  video child %p: %ld x %ld\n", (void *)video, r.right - r.left, r.bottom - r.top);
        CHECK_EQ(r.right - r.left, 0);
        CHECK_EQ(r.bottom - r.top, 0);
        CHECK((GetWindowLongW(video, GWL_STYLE) & WS_CHILD) != 0);
    }
    ClearGraph();
    CHECK_EQ(GetPlayState(), FLATPLAY_CLOSED);
    // Nothing of the graph holds the file any longer.
    HANDLE file = CreateFileW(wt::Media("av.avi"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    CHECK(file != INVALID_HANDLE_VALUE);
    CloseHandle(file);
    DestroyWindow(host);
    UnInitialize();
}

void BadFiles() {
    HWND host = wt::CreateHost(L"bad files");
    CHECK_EQ(Initialize(), S_OK);
    SetHWND(host);
    for (const char *name : {"missing.avi", "empty.avi", "text.avi"}) {
        wt::Print("  %s\n", name);
        HRESULT hr = InitGraph(wt::Media(name));
        CHECK(hr < 0);
        CHECK_EQ(GetPlayState(), FLATPLAY_CLOSED);
        wt::ExpectDebugLine("FAILED(hr=0x%lx) in m_pGB->RenderFile(m_szPlayFile, NULL)\n", (unsigned long)hr);
        ClearGraph();
        CHECK_EQ(GetPlayState(), FLATPLAY_CLOSED);
    }
    DestroyWindow(host);
    UnInitialize();
}

void Cycles() {
    HWND host = wt::CreateHost(L"cycles");
    CHECK_EQ(Initialize(), S_OK);
    SetHWND(host);
    int opened = 0;
    const int rounds = wt::Rounds(50, "cycles of open and close");
    const DWORD start = GetTickCount();
    for (int i = 0; i < rounds; ++i) {
        if (CHECK_EQ(InitGraph(wt::Media("av.avi")), S_OK) && CHECK(GetWindow(host, GW_CHILD) != nullptr)) ++opened;
        ClearGraph();
        wt::DispatchPending(); // what each graph's window posted the host, not left to pile up
        // A timeout then shows how far the loop came, and at what pace.
        if ((i + 1) % 10 == 0) wt::Print("  %d cycles after %lu ms\n", i + 1, (unsigned long)(GetTickCount() - start));
    }
    wt::Print("  %d of %d cycles opened\n", opened, rounds);
    HANDLE file = CreateFileW(wt::Media("av.avi"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    CHECK(file != INVALID_HANDLE_VALUE);
    CloseHandle(file);
    DestroyWindow(host);
    UnInitialize();
}

// ---- Players ------------------------------------------------------------------

// Plays `file` on a player of the calling thread until its position has
// advanced, while `other` (of another thread) plays on; returns the player.
FLATPLAY_PLAYER PlayUntilAdvanced(const wchar_t *file) {
    FLATPLAY_PLAYER player = nullptr;
    if (!CHECK_EQ(PlayerCreate(&player), S_OK)) return nullptr;
    CHECK_EQ(PlayerOpen(player, file), S_OK);
    CHECK(PlayerPlay(player) >= 0);
    LONGLONG position = 0, duration = 0;
    PUMP_UNTIL(wt::kDeadlineMs, SUCCEEDED(PlayerGetPosition(player, &position, &duration)) && position > 2000000);
    return player;
}

// Two threads of the host's, one without COM and one in a single-threaded
// apartment, each with a player that plays while the main thread's does:
// a thread's player is refused to any other thread.
struct Worker {
    DWORD apartment; // CoInitializeEx's flags, or ~0 for no COM
    const wchar_t *file;
    FLATPLAY_PLAYER player;
    HANDLE played, release;
    HRESULT comAfter; // the thread's CoInitializeEx once its player is gone
};

DWORD WINAPI WorkerThread(void *argument) {
    auto &w = *static_cast<Worker *>(argument);
    if (w.apartment != ~0u) CoInitializeEx(nullptr, w.apartment);
    w.player = PlayUntilAdvanced(w.file);
    SetEvent(w.played);
    while (MsgWaitForMultipleObjects(1, &w.release, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        wt::DispatchPending();
    LONGLONG position = 0, duration = 0;
    CHECK_EQ(PlayerGetPosition(w.player, &position, &duration), S_OK);
    CHECK(position > 2000000);
    CHECK_EQ(PlayerDestroy(w.player), S_OK);
    // The player's COM is ended again; a host's apartment is still there.
    w.comAfter = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CoUninitialize();
    if (w.apartment != ~0u) CoUninitialize();
    return 0;
}

// Players without Initialize: every slot with a graph open at once and one
// more refused; one destroyed while it plays, its slot given to a new one
// and the old handle refused; then players on three threads playing at
// the same time.
void Players() {
    FLATPLAY_PLAYER players[FLATPLAY_MAX_PLAYERS] = {};
    for (int i = 0; i < FLATPLAY_MAX_PLAYERS; ++i) {
        CHECK_EQ(PlayerCreate(&players[i]), S_OK);
        CHECK_EQ(PlayerOpen(players[i], wt::Media(i % 2 ? "tone.wav" : "video.avi")), S_OK);
    }
    FLATPLAY_PLAYER more = players[1];
    CHECK_EQ(PlayerCreate(&more), FLATPLAY_E_NO_MORE_PLAYERS);
    CHECK(more == nullptr);
    CHECK(PlayerPlay(players[0]) >= 0);
    LONGLONG position = 0, duration = 0;
    PUMP_UNTIL(wt::kDeadlineMs, SUCCEEDED(PlayerGetPosition(players[0], &position, &duration)) && position > 0);
    const FLATPLAY_PLAYER old = players[0];
    CHECK_EQ(PlayerDestroy(old), S_OK);
    CHECK_EQ(PlayerCreate(&players[0]), S_OK);
    wt::Print("  slot 0: handle %p, then %p\n", (void *)old, (void *)players[0]);
    CHECK(players[0] != old);
    CHECK_EQ(PlayerPlay(old), E_HANDLE);
    CHECK_EQ(PlayerDestroy(old), E_HANDLE);
    for (FLATPLAY_PLAYER player : players) CHECK_EQ(PlayerDestroy(player), S_OK);

    Worker workers[] = {{~0u, wt::Media("video.avi"), nullptr, nullptr, nullptr, E_FAIL},
                        {COINIT_APARTMENTTHREADED, nullptr, nullptr, nullptr, nullptr, E_FAIL}};
    static wchar_t second[MAX_PATH];
    wt::Copy(second, MAX_PATH, wt::Media("tone.wav"));
    workers[1].file = second;
    HANDLE threads[2];
    for (int i = 0; i < 2; ++i) {
        workers[i].played = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        workers[i].release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        threads[i] = CreateThread(nullptr, 0, WorkerThread, &workers[i], 0, nullptr);
    }
    FLATPLAY_PLAYER mine = PlayUntilAdvanced(wt::Media("av.avi"));
    for (Worker &w : workers) {
        CHECK_EQ(WaitForSingleObject(w.played, wt::kDeadlineMs), WAIT_OBJECT_0);
        CHECK_EQ(PlayerPause(w.player), RPC_E_WRONG_THREAD);
    }
    // All three at once: each position has gone on while the others played.
    CHECK_EQ(PlayerGetPosition(mine, &position, &duration), S_OK);
    wt::Print("  three threads' players play at once; this thread's at %lld\n", position);
    for (int i = 0; i < 2; ++i) {
        SetEvent(workers[i].release);
        CHECK_EQ(WaitForSingleObject(threads[i], wt::kDeadlineMs), WAIT_OBJECT_0);
        CloseHandle(threads[i]);
    }
    CHECK_EQ(workers[0].comAfter, S_OK);    // no COM left behind
    CHECK_EQ(workers[1].comAfter, S_FALSE); // the host's apartment kept
    // Never seeked: a graph with sound and video stops under Wine.
    CHECK_EQ(PlayerDestroy(mine), S_OK);
}

// ---- Random calls -----------------------------------------------------------------

// What a file holds, as the model needs it.
struct File {
    const char *name;
    bool video, sound;
};
const File kFiles[] = {{"video.avi", true, false}, {"tone.wav", false, true}, {"av.avi", true, true}};

DWORD randomSeed = 20261209;
DWORD Next(DWORD below) {
    randomSeed = randomSeed * 1664525 + 1013904223;
    return (randomSeed >> 8) % below;
}

// A player and what it must answer: its file (or none) and its state.
struct Model {
    FLATPLAY_PLAYER handle = nullptr; // a pool player's; null for the default one
    const File *file = nullptr;
    LONG state = FLATPLAY_CLOSED;
    bool muted = false;
};

// Checks a call's code against the model's: `want` exactly, or any success
// (kSucceeds) or failure (kFails) of the platform's.
constexpr HRESULT kSucceeds = 0x7FFFFFFF, kFails = static_cast<HRESULT>(0x8FFFFFFF);
int calls = 0, wrong = 0;
void Expect(HRESULT got, HRESULT want, const char *call, const Model &m) {
    ++calls;
    const bool ok = want == kSucceeds ? SUCCEEDED(got) : want == kFails ? FAILED(got) : got == want;
    if (!ok && ++wrong <= 10)
        wt::Print("  call %d: %s on %s (%s, state %ld) gave 0x%lx\n", calls, call,
                  m.handle ? "a player" : "the default", m.file ? m.file->name : "no file", (long)m.state,
                  (unsigned long)got);
    CHECK(ok);
}
#define EXPECT(call, want, m) Expect((call), (want), #call, (m))

// One random call on a pool player, its answer held to the model.
void PoolCall(Model &m) {
    const FLATPLAY_PLAYER p = m.handle;
    const bool file = m.file != nullptr;
    LONGLONG position = -1, duration = -1;
    switch (Next(12)) {
    case 0: {
        const File &f = kFiles[Next(3)];
        EXPECT(PlayerOpen(p, wt::Media(f.name)), S_OK, m);
        m.file = &f, m.state = FLATPLAY_STOPPED;
        break;
    }
    case 1: EXPECT(PlayerClose(p), S_OK, m), m.file = nullptr, m.state = FLATPLAY_CLOSED; break;
    case 2:
    case 3:
        EXPECT(PlayerPlay(p), file ? kSucceeds : E_FAIL, m);
        if (file) m.state = FLATPLAY_RUNNING;
        break;
    case 4:
        EXPECT(PlayerPause(p), file ? kSucceeds : E_FAIL, m);
        if (file) m.state = FLATPLAY_PAUSED;
        break;
    case 5:
        EXPECT(PlayerStop(p), file ? kSucceeds : E_FAIL, m);
        if (file) m.state = FLATPLAY_STOPPED;
        break;
    case 6:
        EXPECT(PlayerSeek(p, static_cast<LONGLONG>(Next(50)) * 1000000 - 5000000), file ? kSucceeds : E_FAIL, m);
        break;
    case 7:
        EXPECT(PlayerGetPosition(p, &position, &duration), file ? S_OK : E_FAIL, m);
        if (file) CHECK(position >= 0 && position <= duration && duration == 40000000);
        break;
    case 8: {
        const LONG level = -static_cast<LONG>(Next(10200));
        const HRESULT want = level < -10000 ? E_INVALIDARG : !file || m.muted ? S_OK : m.file->sound ? S_OK : kFails;
        EXPECT(PlayerSetVolume(p, level), want, m);
        break;
    }
    case 9:
        m.muted = !m.muted;
        EXPECT(PlayerSetMute(p, m.muted), !file ? S_OK : m.file->sound ? S_OK : kFails, m);
        break;
    case 10: EXPECT(PlayerShowVideo(p, Next(2)), !file ? E_FAIL : m.file->video ? S_OK : kFails, m); break;
    default: {
        const double rates[] = {2.0, 0.5, 0.0, -1.0};
        const DWORD r = Next(4);
        EXPECT(PlayerSetRate(p, rates[r]), r >= 2 ? E_INVALIDARG : file ? S_OK : E_FAIL, m);
        break;
    }
    }
    LONG state = -1;
    EXPECT(PlayerGetState(p, &state), S_OK, m);
    CHECK_EQ(state, m.state);
}

// One random call on the default player, held to its own rules.
void DefaultCall(Model &m) {
    const bool graph = m.file != nullptr, active = m.state == FLATPLAY_RUNNING || m.state == FLATPLAY_PAUSED;
    LONGLONG current = -1, duration = -1;
    switch (Next(9)) {
    case 0: {
        const File &f = kFiles[Next(3)];
        EXPECT(InitGraph(wt::Media(f.name)), S_OK, m);
        m.file = &f, m.state = FLATPLAY_STOPPED;
        break;
    }
    case 1: ClearGraph(), m.file = nullptr, m.state = FLATPLAY_CLOSED; break;
    case 2:
    case 3:
        EXPECT(PlayPause(), graph ? kSucceeds : E_FAIL, m);
        if (graph)
            m.state = m.state == FLATPLAY_PAUSED || m.state == FLATPLAY_STOPPED ? FLATPLAY_RUNNING : FLATPLAY_PAUSED;
        break;
    case 4:
        EXPECT(Stop(), active ? kSucceeds : S_OK, m);
        if (active) m.state = FLATPLAY_STOPPED;
        break;
    case 5: EXPECT(SeekToTime(static_cast<LONGLONG>(Next(45)) * 1000000), active ? kSucceeds : S_OK, m); break;
    case 6:
        EXPECT(GetPlayPosition(&current, &duration), active ? S_OK : E_FAIL, m);
        if (active) CHECK(current >= 0 && current <= duration && duration == 40000000);
        break;
    case 7: EXPECT(ToggleMute(), !graph ? S_OK : m.file->sound ? S_OK : kFails, m); break;
    default: EXPECT(PutForeground(Next(2)), graph ? S_OK : E_FAIL, m); break;
    }
    CHECK_EQ(GetPlayState(), m.state);
}

// Two players and the default one, each kind with a host window of its own
// that also holds a button, under random calls for a fixed time (30 s, or
// FLATPLAY_RANDOM_SECONDS), each answer held to a model of its player: no
// crash, no hang, every code as the header says, no button hooked, and at
// the end every file released and every slot free again. Players are
// destroyed (playing or not) and made again, their old handles refused.
// Never SeekSong: Wine 8 cannot stop a graph with sound and video after it.
void Random() {
    wchar_t text[16] = L"";
    GetEnvironmentVariableW(L"FLATPLAY_RANDOM_SECONDS", text, 16);
    DWORD seconds = 0;
    for (const wchar_t *c = text; *c >= L'0' && *c <= L'9'; ++c) seconds = seconds * 10 + static_cast<DWORD>(*c - L'0');
    // Emulated, a fifth of them, as for the cycles (the rest a named skip).
    if (!seconds) seconds = static_cast<DWORD>(wt::Rounds(30, "seconds of random calls"));
    HWND hosts[2] = {wt::CreateHost(L"random: default"), wt::CreateHost(L"random: players")};
    HWND buttons[2];
    WNDPROC own[2];
    for (int i = 0; i < 2; ++i) {
        buttons[i] = CreateWindowExW(0, L"BUTTON", L"Own", WS_CHILD | WS_VISIBLE, 400, 300, 120, 40, hosts[i], nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
        own[i] = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(buttons[i], GWLP_WNDPROC));
    }
    CHECK_EQ(Initialize(), S_OK);
    SetHWND(hosts[0]);
    Model models[3];
    for (int i = 1; i < 3; ++i) {
        CHECK_EQ(PlayerCreate(&models[i].handle), S_OK);
        CHECK_EQ(PlayerSetOwner(models[i].handle, hosts[1]), S_OK);
        CHECK_EQ(PlayerSetEventWindow(models[i].handle, hosts[1], WM_APP + 7), S_OK);
    }
    wt::Print("  seed %lu, %lu s\n", (unsigned long)randomSeed, (unsigned long)seconds);
    int destroyed = 0;
    for (const DWORD start = GetTickCount(); GetTickCount() - start < seconds * 1000;) {
        Model &m = models[Next(3)];
        if (!m.handle) {
            DefaultCall(m);
        } else if (Next(40) == 0) { // destroyed, playing or not, and made again
            const FLATPLAY_PLAYER old = m.handle;
            CHECK_EQ(PlayerDestroy(old), S_OK);
            m = Model{};
            CHECK_EQ(PlayerCreate(&m.handle), S_OK);
            CHECK_EQ(PlayerSetOwner(m.handle, hosts[1]), S_OK);
            CHECK_EQ(PlayerPlay(old), E_HANDLE);
            ++destroyed;
        } else {
            PoolCall(m);
        }
        for (int i = 0; i < 2; ++i)
            CHECK(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(buttons[i], GWLP_WNDPROC)) == own[i]);
        wt::Pump(10);
    }
    wt::Print("  %d calls, %d answered otherwise than the model, %d players destroyed and made again\n", calls, wrong,
              destroyed);
    // Nothing left behind: every file opens alone, every slot is free.
    ClearGraph();
    for (int i = 1; i < 3; ++i) CHECK_EQ(PlayerDestroy(models[i].handle), S_OK);
    for (const File &f : kFiles) {
        HANDLE h = CreateFileW(wt::Media(f.name), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        CHECK(h != INVALID_HANDLE_VALUE);
        CloseHandle(h);
    }
    FLATPLAY_PLAYER all[FLATPLAY_MAX_PLAYERS];
    for (FLATPLAY_PLAYER &p : all) CHECK_EQ(PlayerCreate(&p), S_OK);
    for (FLATPLAY_PLAYER p : all) CHECK_EQ(PlayerDestroy(p), S_OK);
    for (HWND host : hosts) DestroyWindow(host);
    UnInitialize();
}

// ---- The debug lines, formatted by the DLL itself ----------------------------

using Line = WCHAR[kDebugLineMax + 1];

// What wvsprintfW writes, the reference; arm64 Wine's cannot serve (it is
// Linux code that misreads a Windows argument list, the reason the DLL has
// its own), so there the source's formatter stands in for it and the
// comparison with wvsprintfW is reported as skipped.
void Reference(Line &line, LPCWSTR format, ...) {
    va_list args;
    va_start(args, format);
#if defined(__aarch64__)
    FormatDebugLine(line, format, args);
#else
    wvsprintfW(line, format, args);
#endif
    va_end(args);
}

void Ours(Line &line, LPCWSTR format, ...) {
    va_list args;
    va_start(args, format);
    FormatDebugLine(line, format, args);
    va_end(args);
}

// What the DLL's redirected imports see and answer.
Line written;
int writtenLines = 0;
void WINAPI CaptureDebugString(LPCWSTR text) {
    wt::Copy(written, kDebugLineMax + 1, text);
    ++writtenLines;
}
HRESULT createAnswer = E_FAIL;
HRESULT WINAPI RefuseGraph(REFCLSID, LPUNKNOWN, DWORD, REFIID, void **) { return createAnswer; }

// 0, every power of two and its neighbours, the codes the library names,
// and pseudo-random values.
int SweepValues(DWORD *values) {
    int n = 0;
    values[n++] = 0;
    for (int bit = 0; bit < 32; ++bit) {
        const DWORD power = DWORD{1} << bit;
        values[n++] = power - 1;
        values[n++] = power;
        values[n++] = power + 1;
    }
    for (HRESULT hr :
         {S_FALSE, E_FAIL, E_POINTER, E_NOTIMPL, E_NOINTERFACE, E_INVALIDARG, CO_E_NOTINITIALIZED, RPC_E_CHANGED_MODE,
          VFW_E_CANNOT_RENDER, HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND),
          HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED)})
        values[n++] = static_cast<DWORD>(hr);
    DWORD seed = 20261208;
    for (int i = 0; i < 1000; ++i) values[n++] = seed = seed * 1664525 + 1013904223;
    return n;
}

// Every line of the library's kinds, formatted by the source's formatter
// and by wvsprintfW over the sweep; then the shipped DLL's own lines, from
// InitGraph with COM refusing the graph with each failure code of the sweep.
void DebugLines() {
#if defined(__aarch64__)
    wt::Skip("comparison with wvsprintfW: arm64 Wine's is Linux code, which misreads a Windows argument list");
#endif
    static DWORD values[1200];
    const int count = SweepValues(values);
    const LPCWSTR formats[] = {
        L"FAILED(hr=0x%x) in m_pMC->Run()\n", L"Failed in pBA->get_Volume!  hr=0x%x\r\n", L"CoInitialize Failed!\r\n",
        L"%x%x%%x %% 0x%x", // every conversion, side by side
    };
    int compared = 0, differ = 0;
    for (LPCWSTR format : formats) {
        for (int i = 0; i < count; ++i) {
            const DWORD v = values[i], w = ~values[i], x = values[count - 1 - i];
            static Line want, got; // not on the stack: ARM would need a stack probe
            Reference(want, format, v, w, x);
            Ours(got, format, v, w, x);
            ++compared;
            if (wt::Compare(got, want) == 0) continue;
            if (++differ <= 5) wt::Print("  0x%x: \"%ls\", want \"%ls\"\n", (unsigned)v, got, want);
        }
    }
    wt::Print("  the source's formatter: %d lines compared, %d differ\n", compared, differ);
    CHECK_EQ(differ, 0);

    if (!CHECK(
            wt::RedirectImport("kernel32.dll", "OutputDebugStringW", reinterpret_cast<void *>(CaptureDebugString))) ||
        !CHECK(wt::RedirectImport("ole32.dll", "CoCreateInstance", reinterpret_cast<void *>(RefuseGraph))))
        return;
    const LPCWSTR refused = L"FAILED(hr=0x%x) in CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, "
                            L"IID_IGraphBuilder, (void **)&m_pGB)\n";
    int shipped = 0;
    differ = 0;
    for (int i = 0; i < count; ++i) {
        createAnswer = static_cast<HRESULT>(values[i]);
        if (SUCCEEDED(createAnswer)) continue; // a success would go on to use the graph
        static Line want;
        Reference(want, refused, values[i]);
        writtenLines = 0;
        ++shipped;
        const bool same =
            InitGraph(L"clip.avi") == createAnswer && writtenLines == 1 && wt::Compare(written, want) == 0;
        if (!same && ++differ <= 5) wt::Print("  0x%x: \"%ls\", want \"%ls\"\n", (unsigned)values[i], written, want);
    }
    wt::Print("  the DLL's InitGraph: %d lines compared, %d differ\n", shipped, differ);
    CHECK(shipped > 500);
    CHECK_EQ(differ, 0);
    CHECK_EQ(GetPlayState(), FLATPLAY_STOPPED);
}

const wt::Case kCases[] = {
    {"exports", Exports},     {"version", Version},   {"lifecycle", Lifecycle}, {"debug-lines", DebugLines},
    {"apartment", Apartment}, {"open", OpenAndClose}, {"bad-files", BadFiles},  {"cycles", Cycles},
    {"players", Players},     {"random", Random},
};

} // namespace

WT_ENTRY_POINT(kCases)
