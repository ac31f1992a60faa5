// The scripted session for headless machines: every export in the order a
// host uses them, one timeline line per call or sample, and screenshots.
#include "player.h"

#include <stdio.h>

namespace {

DWORD start;
const wchar_t *outDir;
int failures = 0;

void Print(const char *event, const char *result, LONG state, LONGLONG position, LONGLONG duration) {
    printf("%7lu  %-30s %-10s %5ld %12lld %12lld\n", (unsigned long)(GetTickCount() - start), event, result, state,
           position, duration);
}

// One timeline line: time, what happened, its result, then the state and
// the position and duration as the library reports them at that moment.
void Line(const char *event, const char *result) {
    Print(event, result, GetPlayState(), GetPlayPositionCurrent(), GetPlayPositionDuration());
}

void Logged(const char *event, HRESULT hr) {
    char result[16];
    snprintf(result, sizeof result, "0x%08lx", (unsigned long)hr);
    Line(event, result);
}

HRESULT Call(const char *event, HRESULT hr) {
    RefreshControls(); // what the screenshots show follows each call at once
    Logged(event, hr);
    return hr;
}

HRESULT SeekTo(LONGLONG position) {
    char event[40];
    snprintf(event, sizeof event, "SeekToTime(%lld)", position);
    return Call(event, SeekToTime(position));
}

void Value(const char *event, long long value) {
    char result[24];
    snprintf(result, sizeof result, "%lld", value);
    Line(event, result);
}

// Samples the position every `every` ms for `ms` ms while pumping messages.
void Samples(const char *tag, DWORD ms, DWORD every = 250) {
    for (DWORD t = 0; t < ms; t += every) {
        PumpFor(every);
        Line(tag, "-");
    }
}

// Samples until the end event has come and the player has stopped the clip
// (at most 3 s): the event's line and the Stop's come as they happen.
void UntilTheEnd() {
    int ends = g_player.clipEnds;
    for (int i = 0; i < 12 && g_player.clipEnds == ends; ++i) Samples("sample:ending", 250);
    if (g_player.clipEnds == ends) ++failures;
}

void Screenshot(const char *name) {
    wchar_t path[MAX_PATH];
    _snwprintf(path, MAX_PATH, L"%ls\\%hs", outDir, name);
    path[MAX_PATH - 1] = 0;
    PumpFor(200);
    bool ok = SaveScreenshot(path);
    Line(name, ok ? "saved" : "FAILED");
    if (!ok) ++failures;
}

// A real tap: the pointer moves onto the video and the button goes down
// and up, as the system's input queue sees it.
void Tap() {
    HWND video = GetWindow(g_player.videoArea, GW_CHILD);
    RECT r;
    GetWindowRect(video, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    int before = g_player.taps;
    SendInput(2, input, sizeof input[0]);
    for (int i = 0; i < 40 && g_player.taps == before; ++i) PumpFor(25);
    Value("taps seen", g_player.taps - before);
    Value("control bar visible", IsWindowVisible(g_player.bar) ? 1 : 0);
}

const char *Name(const wchar_t *path) {
    static char name[MAX_PATH];
    const wchar_t *slash = wcsrchr(path, L'\\');
    snprintf(name, sizeof name, "%ls", slash ? slash + 1 : path);
    return name;
}

// Opens the file and shows what it holds before playing: the video's size
// (0x0 without video), sound, seeking, and in the duration column the
// length GetMediaInfo gives.
void Open(const wchar_t *path) {
    char event[MAX_PATH + 16];
    snprintf(event, sizeof event, "InitGraph(%s)", Name(path));
    if (Call(event, OpenMedia(path)) < 0) ++failures;
    FLATPLAY_MEDIA_INFO info = {};
    info.cbSize = sizeof info;
    HRESULT hr = GetMediaInfo(&info);
    char result[16];
    snprintf(event, sizeof event, "media(%ldx%ld,sound=%d,seek=%d)", info.width, info.height, info.hasSound,
             info.canSeek);
    snprintf(result, sizeof result, "0x%08lx", (unsigned long)hr);
    Print(event, result, GetPlayState(), GetPlayPositionCurrent(), info.duration);
    // The library makes the renderer's window our video area's only child.
    Value("video window", GetWindow(g_player.videoArea, GW_CHILD) != nullptr ? 1 : 0);
}

// Sound and video: every export a host uses, seeking by time while paused
// and near the end while running; the end event, the player's Stop, and
// another Stop and ClearGraph after the seeks (SeekSong's seek would have
// left Wine unable to stop it).
void WithSound(const wchar_t *path) {
    Open(path);
    Value("TotalTime()", TotalTime());
    Call("PlayPause()", PlayPause());
    Samples("sample:playing", 1500);
    Value("TotalTime()", TotalTime());
    Value("GetPlayPositionDurationPercent()", GetPlayPositionDurationPercent());
    LONGLONG current = 0, duration = 0;
    Call("GetPlayPosition()", GetPlayPosition(&current, &duration));
    Screenshot("playing.png");
    Call("ToggleMute()", ToggleMute());
    LONG muted = -1;
    Call("GetMuteState()", GetMuteState(&muted));
    Value("muted", muted);
    Samples("sample:muted", 500);
    Call("ToggleMute()", ToggleMute());
    Call("PlayPause()", PlayPause());
    Samples("sample:paused", 500);
    SeekTo(10000000);
    Samples("sample:paused", 250);
    Tap();
    Screenshot("tapped.png");
    Tap();
    Call("PlayPause()", PlayPause());
    Samples("sample:playing", 500);
    Call("FullScreen(1)", FullScreen(TRUE));
    LONG on = -1;
    Call("IsFullScreen()", IsFullScreen(&on));
    Value("full screen", on);
    Call("FullScreen(0)", FullScreen(FALSE));
    PumpFor(100);
    Value("mode changes seen", g_player.modeChanges);
    SeekTo(35000000);
    UntilTheEnd();
    Call("Stop()", Stop());
    Screenshot("stopped.png");
    Call("PlayPause()", PlayPause());
    Samples("sample:restarted", 250);
    Call("Stop()", Stop());
    ClearGraph();
    Line("ClearGraph()", "-");
}

// Video only: seeking by time while paused, by percent while running, then
// stop and close.
void VideoOnly(const wchar_t *path) {
    Open(path);
    Call("PlayPause()", PlayPause());
    Samples("sample:playing", 750);
    Call("PlayPause()", PlayPause());
    SeekTo(20000000);
    Samples("sample:seeked", 250);
    Call("PlayPause()", PlayPause());
    Samples("sample:playing", 750);
    Call("SeekSong(25)", SeekSong(25.0f));
    Samples("sample:playing", 250);
    Call("Stop()", Stop());
    ClearGraph();
    Line("ClearGraph()", "-");
}

// Sound only: the video area shows the file and the time. Seeking and
// muting, then the end of the clip, where the player stops by itself on
// the end event, and playing again.
void Music(const wchar_t *path) {
    Open(path);
    Call("PlayPause()", PlayPause());
    Samples("sample:playing", 1000);
    Screenshot("music.png");
    Call("SeekSong(50)", SeekSong(50.0f));
    Samples("sample:playing", 500);
    Call("ToggleMute()", ToggleMute());
    Samples("sample:muted", 250);
    Call("ToggleMute()", ToggleMute());
    Call("SeekSong(90)", SeekSong(90.0f));
    UntilTheEnd();
    Call("PlayPause()", PlayPause());
    Samples("sample:restarted", 250);
    Call("Stop()", Stop());
    ClearGraph();
    Line("ClearGraph()", "-");
}

} // namespace

int RunScript(const wchar_t *dir, const wchar_t *withSound, const wchar_t *videoOnly, const wchar_t *music) {
    start = GetTickCount();
    outDir = dir;
    printf("%7s  %-30s %-10s %5s %12s %12s\n", "ms", "event", "result", "state", "position", "duration");
    Value("GetPlayState()", GetPlayState());
    if (Call("Initialize()", Initialize()) < 0) return 1;
    Call("SetHWND(video area)", SetHWND(g_player.videoArea));
    g_player.log = Logged;
    Call("SetEventWindow(main)", SetEventWindow(g_player.main, kGraphEventMessage));
    Value("GetVolumeInit()", GetVolumeInit());
    Value("GetVolume()", GetVolume());
    Call("SetVolume(GetVolume())", SetVolume(GetVolume()));
    WithSound(withSound);
    if (videoOnly) VideoOnly(videoOnly);
    if (music) Music(music);
    Call("UnInitialize()", UnInitialize());
    return failures ? 1 : 0;
}
