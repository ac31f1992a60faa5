// A small harness for the Win32 integration programs that run under Wine:
// one scenario per process, named on the command line, with checks that
// print the failing expression and line, and expected debug lines that the
// run-case script looks for on Wine's debug output.
#pragma once

#include <flatplay/flatplay.h>
#include <windows.h>

#include <stdio.h>

namespace wt {

extern int checks;
extern int failures;

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

// A Windows path for a file of the generated media folder.
const wchar_t *Media(const char *name);
const wchar_t *Media(const wchar_t *name);

// A top-level window that records the private (WM_USER and above) messages
// and the notifications of its controls (WM_COMMAND) it gets.
HWND CreateHost(const wchar_t *title, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, int x = 0, int y = 0);
// Messages `msg` that reached `hwnd` since the last call, each checked to carry 0, 0.
int TakeReceived(HWND hwnd, UINT msg);
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

// Runs the case named by argv[1] with the media folder argv[2]; 0 when every check held.
int Main(int argc, char **argv, const Case *cases, int count);

} // namespace wt
