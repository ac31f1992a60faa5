// A small harness for the Win32 integration programs that run under Wine:
// one scenario per process, named on the command line, with checks that
// print the failing expression and line, and expected debug lines that the
// run-case script looks for on Wine's debug output.
//
// No C runtime: the programs start at their own entry (WT_ENTRY_POINT) and
// format, compare and read files with what follows. There is none for the
// ARM targets here, and on arm64 Wine a PE program's variadic call into
// Wine's msvcrt or wsprintf (Linux code there) misreads its arguments.
#pragma once

#include <flatplay/flatplay.h>
#include <windows.h>

#include <stdarg.h>

namespace wt {

// ---- Output, strings and files -------------------------------------------------

// printf-style, for what the programs print: %d %u %x %c %s %p %%, the sizes
// l and ll, the flags - + 0 and a width. %s and %c are of the output's own
// width, %hs and %ls narrow and wide; a wide string prints as UTF-8 and a
// narrow one widens byte by byte. %p is the pointer's full width of hex
// digits. Print writes to the standard output at once, each \n as \r\n.
void Print(const char *format, ...);
// Into `out`, cut short if need be; always terminated when `size` > 0.
void Format(char *out, size_t size, const char *format, ...);
void Format(wchar_t *out, size_t size, const wchar_t *format, ...);
void FormatV(char *out, size_t size, const char *format, va_list args);

// Less than, equal to or greater than 0 as `a` sorts before, with or after
// `b`, unit by unit; the second form compares at most `n` units.
int Compare(const char *a, const char *b);
int Compare(const wchar_t *a, const wchar_t *b);
int Compare(const wchar_t *a, const wchar_t *b, size_t n);
int Compare(const char *a, const char *b, size_t n);
// The first place `part` occurs in `text`, or null.
const wchar_t *Find(const wchar_t *text, const wchar_t *part);
// Copies `from` into `to` of `size` units, cut short if need be and terminated.
void Copy(wchar_t *to, size_t size, const wchar_t *from);
// Reads up to `capacity` bytes of the file at `path` into `data`; false if
// it cannot be opened or read. `*size` is what was read.
bool ReadAll(const wchar_t *path, void *data, size_t capacity, size_t *size);

// Counted atomically: a case's own threads check too.
extern volatile LONG checks;
extern volatile LONG failures;

bool Check(bool ok, const char *what, const char *file, int line);
bool CheckEq(long long got, long long want, const char *what, const char *file, int line);

#define CHECK(cond) ::wt::Check((cond), #cond, __FILE__, __LINE__)
#define CHECK_EQ(got, want) ::wt::CheckEq((long long)(got), (long long)(want), #got " == " #want, __FILE__, __LINE__)

// Announces that Wine's teardown of this process may crash (a segmentation
// fault) after the case has reported, for the reason given: run-case then
// takes that one outcome, after a clean report, as the case's result.
void ExpectTeardownCrash(const char *why);

// Announces a line the library must write to the debug output (printf-style).
void ExpectDebugLine(const char *format, ...);

// ---- Sound, recorded from the null sink by record-case (RECORDED_CASES) ----
// Has record-case note how much it has recorded at this moment, as `name`.
void AudioMark(const char *name);
// What must be heard from `fromMs` to `toMs` after a mark: "audible" or "silent".
void ExpectAudio(const char *level, const char *mark, int fromMs, int toMs);
// The amplitude of the tone of `hz` on `channel` ("mono", "left" or
// "right") in that window must lie within [least, most].
void ExpectTone(const char *channel, int hz, int least, int most, const char *mark, int fromMs, int toMs);
// The tone's amplitude after `mark`, over its amplitude after `base` (the
// same window after each), must lie within [least, most] percent.
void ExpectToneRatio(int hz, int least, int most, const char *base, const char *mark, int fromMs, int toMs);
// Has record-case print the longest quiet stretch in that window: a
// measurement, reported, not checked.
void MeasureAudioGap(const char *mark, int fromMs, int toMs);

// Names a part of the case that cannot run on this platform, and why: it
// is counted and reported ("skipped: ..."), never passed.
void Skip(const char *why);

// Whether this runs through qemu-user: always on ARM; on x86 where the
// kernel runs no 32-bit code (run-case sets FLATPLAY_EMULATED there).
bool Emulated();
// How many rounds a repeating case runs: `rounds` natively; under emulation
// a fifth of them, the rest named as a skip: there a graph costs 0.5 to
// 0.6 s of processor time (0.34 s on x64), and the suite shares two cores.
// `what` names the rounds.
int Rounds(int rounds, const char *what);

// Points flatplay.dll's import of `name` from `dll` at `replacement`, so a
// case can give the shipped code answers Wine never gives; false if the DLL
// does not import it.
bool RedirectImport(const char *dll, const char *name, void *replacement);

// A Windows path for a file of the generated media folder.
const wchar_t *Media(const char *name);
const wchar_t *Media(const wchar_t *name);

// A top-level window that records the private (WM_USER and above) messages
// and the notifications of its controls (WM_COMMAND) it gets.
HWND CreateHost(const wchar_t *title, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, int x = 0, int y = 0);
// Messages `msg` with `lParam` that reached `hwnd` since the last call,
// each checked to carry wParam 0 (and so, with lParam 0, both parameters 0).
int TakeReceived(HWND hwnd, UINT msg, LPARAM lParam = 0);
// WM_COMMAND notifications `code` from control `id` that reached `hwnd` since the last call.
int TakeCommands(HWND hwnd, WORD id, WORD code);
// What the two above would take now, left in place: for awaiting it.
int CountReceived(HWND hwnd, UINT msg);
int CountCommands(HWND hwnd, WORD id, WORD code);
// How long anything awaited may take: generous, since it costs only on failure.
constexpr DWORD kDeadlineMs = 10000;

// Dispatches this thread's pending messages and returns at once.
void DispatchPending();
// Dispatches this thread's messages for `ms` milliseconds: only for showing
// that something does not happen, since anything that does can be awaited.
void Pump(DWORD ms);
// Dispatches this thread's messages until `done()` holds, for at most
// `timeoutMs`; a check, failed and naming `what` if the deadline passed.
template <class F> bool PumpUntil(DWORD timeoutMs, F done, const char *what, const char *file, int line);
#define PUMP_UNTIL(timeoutMs, cond)                                                                                    \
    ::wt::PumpUntil((timeoutMs), [&] { return static_cast<bool>(cond); }, #cond, __FILE__, __LINE__)
// Dispatches every message posted to `hwnd` (a host window) before this call,
// by any thread: a marker posted after them comes out of the queue last.
bool PumpPostedSoFar(HWND hwnd);

bool Waited(bool held, DWORD timeoutMs, const char *what, const char *file, int line);

template <class F> bool PumpUntil(DWORD timeoutMs, F done, const char *what, const char *file, int line) {
    const DWORD start = GetTickCount();
    for (;;) {
        DispatchPending();
        if (done()) return Waited(true, timeoutMs, what, file, line);
        if (GetTickCount() - start >= timeoutMs) return Waited(false, timeoutMs, what, file, line);
        // Wakes for a message at once; conditions on the graph are polled.
        MsgWaitForMultipleObjectsEx(0, nullptr, 5, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

struct Case {
    const char *name;
    void (*run)();
};

// Runs the case named by the first argument with the media folder the
// second names; 0 when every check held.
int Main(const Case *cases, int count);

} // namespace wt

// The program's entry, which its link names: no C runtime starts these
// programs, so nothing else has run and the process ends here. The loader
// keeps x86's stack only 4-byte aligned; SSE code expects 16.
#if defined(__i386__)
#define WT_ENTRY_ALIGN __attribute__((force_align_arg_pointer))
#else
#define WT_ENTRY_ALIGN
#endif
#define WT_ENTRY_POINT(cases)                                                                                          \
    extern "C" WT_ENTRY_ALIGN void WineTestEntry() {                                                                   \
        ExitProcess(static_cast<UINT>(::wt::Main(cases, sizeof cases / sizeof cases[0])));                             \
    }
