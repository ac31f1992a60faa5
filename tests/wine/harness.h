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
// Dispatches this thread's messages for `ms` milliseconds.
void Pump(DWORD ms);

struct Case {
    const char *name;
    void (*run)();
};

// Runs the case named by argv[1] with the media folder argv[2]; 0 when every check held.
int Main(int argc, char **argv, const Case *cases, int count);

} // namespace wt
