// The recording fake of the Win32, COM and DirectShow operations the core
// calls. Every call is logged with its arguments ("MC.Run()",
// "VW.SetWindowPosition(9, 27, 519, 393)"); results are scripted per call;
// every object counts its references; windows have real procedures.
// The fake allocates nothing, so a test can count the library's heap use.
#pragma once

#include "platform/platform.h"

#include <string>
#include <vector>

namespace fake {

// A fresh platform: no objects, windows, rules or log; default values.
void Reset();

// The calls logged since the last Take, oldest first.
std::vector<std::string> TakeCalls();
// The debug lines written since the last Take, rendered as printf would.
std::vector<std::u16string> TakeDebugLines();
// Faults the fake itself detected (a release past zero, a call through a null procedure, ...).
std::vector<std::string> Errors();

// Every later call whose log entry is `pattern`, or whose method is
// `pattern` ("MC.Run"), returns `result` instead of its default; `times`
// limits how often (-1: always). Patterns must be string literals.
// For calls that return no HRESULT, a rule makes them fail: GetWindow,
// GetWindowLongPtrW and SetWindowLongPtrW return 0 (and change nothing),
// GetSystemMetrics and the wave calls return `result`.
void SetResult(const char *pattern, long long result, int times = -1);

// What the platform reports; tests set these before the calls.
struct Values {
    LONGLONG duration = 0;                    // IMediaSeeking::GetDuration
    DWORD capabilities = 0;                   // IMediaSeeking::GetCapabilities
    LONGLONG position = 0;                    // GetCurrentPosition; SetPositions moves it
    LONG audioVolume = 0;                     // IBasicAudio, updated by put_Volume
    LONG audioBalance = 0;                    // IBasicAudio, updated by put_Balance
    double rate = 1;                          // IMediaSeeking's, updated by SetRate
    LONG fullScreenMode = 0;                  // IVideoWindow, updated by put_FullScreenMode
    LONG videoWidth = 320, videoHeight = 240; // IBasicVideo::GetVideoSize
    DWORD deviceVolume = 0xFFFFFFFF;          // waveOutGetVolume, updated by waveOutSetVolume
    int screenWidth = 240, screenHeight = 320;
    LRESULT ownProcResult = 0x600D; // what a window's own procedure returns
    DWORD threadId = 1;             // CoGetCurrentProcess, the thread's number, which is not logged
};
Values &values();

// Puts an event on the queue of every graph: IMediaEventEx::GetEvent
// hands them out oldest first, then answers E_ABORT (none waits).
void QueueEvent(LONG code, LONG_PTR param1, LONG_PTR param2);
// Events still waiting.
int EventsQueued();

// Graphs made by CoCreateInstance, in order (0 = first).
int GraphsCreated();
// References one interface object of graph `graph` holds: "GB", "MC", "ME",
// "MS", "VW", "BA", "BV" (IBasicVideo, which no graph's InitGraph takes).
int Refs(int graph, const char *object);
// Sum of all references still held on any fake object.
int Outstanding();

// Windows. Each has its own procedure ("OwnProc") that logs what it gets.
HWND NewWindow(const char *name);
void SetFirstChild(HWND parent, HWND child);
// Makes `window` the video window of graph `graph` (in the order of
// creation): its caption follows IVideoWindow::put_Caption and its parent
// put_Owner, for FindWindowExW to find.
void GiveVideoWindow(int graph, HWND window);
WNDPROC ProcOf(HWND hwnd);
// Gives a procedure a name for the log ("VideoTapProc").
void NameProc(WNDPROC proc, const char *name);
// Delivers a message the way the system does: through the window's current procedure.
LRESULT Deliver(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

} // namespace fake
