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

// ---- Players beside the default one ------------------------------------------------

FLATPLAY_PLAYER song, preview;

const char *NameOf(FLATPLAY_PLAYER player) { return player == song ? "song" : player == preview ? "preview" : "?"; }

// A timeline line of a player from the pool: its name before the event,
// and its own state, position and duration.
void PlayerLine(FLATPLAY_PLAYER player, const char *event, const char *result) {
    char named[48];
    snprintf(named, sizeof named, "%s:%s", NameOf(player), event);
    LONG state = -1;
    LONGLONG position = 0, duration = 0;
    PlayerGetState(player, &state);
    PlayerGetPosition(player, &position, &duration);
    Print(named, result, state, position, duration);
}

void PlayerLogged(FLATPLAY_PLAYER player, const char *event, HRESULT hr) {
    char result[16];
    snprintf(result, sizeof result, "0x%08lx", (unsigned long)hr);
    PlayerLine(player, event, result);
}

HRESULT PlayerCall(FLATPLAY_PLAYER player, const char *event, HRESULT hr) {
    PlayerLogged(player, event, hr);
    if (hr < 0) ++failures;
    return hr;
}

// The top right of the clip's picture, a quarter of its size: the preview.
constexpr RECT kPreview = {212, 18, 312, 93};

// A real tap on the preview: it pauses, and a second one resumes it.
void TapPreview() {
    POINT centre = {(kPreview.left + kPreview.right) / 2, (kPreview.top + kPreview.bottom) / 2};
    ClientToScreen(g_player.videoArea, &centre);
    SetCursorPos(centre.x, centre.y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    int before = g_player.playerTaps, taps = 0;
    SendInput(2, input, sizeof input[0]);
    for (int i = 0; i < 40 && g_player.playerTaps == before; ++i) PumpFor(25);
    taps = g_player.playerTaps - before;
    Value("preview taps seen", taps);
}

// Three at once: the clip on the default player, a song under it on a
// player of its own (a little lower), and a video-only clip on another,
// shown small in the clip's corner of the same window. Each plays on its
// own; their ends come to the main window with their handles.
void Together(const wchar_t *av, const wchar_t *video, const wchar_t *music) {
    Open(av);
    Call("PlayPause()", PlayPause());
    if (Call("PlayerCreate(song)", PlayerCreate(&song)) < 0 ||
        Call("PlayerCreate(preview)", PlayerCreate(&preview)) < 0)
        return;
    g_player.playerLog = PlayerLogged;
    PlayerCall(song, "PlayerSetEventWindow(main)", PlayerSetEventWindow(song, g_player.main, kGraphEventMessage));
    PlayerCall(song, "PlayerSetVolume(-600)", PlayerSetVolume(song, -600));
    PlayerCall(song, "PlayerOpen(song.mp3)", PlayerOpen(song, music));
    PlayerCall(song, "PlayerPlay()", PlayerPlay(song));
    PlayerCall(preview, "PlayerSetEventWindow(main)", PlayerSetEventWindow(preview, g_player.main, kGraphEventMessage));
    PlayerCall(preview, "PlayerSetOwner(video area)", PlayerSetOwner(preview, g_player.videoArea));
    PlayerCall(preview, "PlayerOpen(video.avi)", PlayerOpen(preview, video));
    PlayerCall(preview, "PlayerSetVideoRect(corner)", PlayerSetVideoRect(preview, &kPreview));
    PlayerCall(preview, "PlayerShowVideo(1)", PlayerShowVideo(preview, TRUE));
    PlayerCall(preview, "PlayerPlay()", PlayerPlay(preview));
    for (int i = 0; i < 6; ++i) {
        PumpFor(250);
        Line("sample:together", "-");
        PlayerLine(song, "sample:together", "-");
        PlayerLine(preview, "sample:together", "-");
    }
    Screenshot("together.png");
    TapPreview();
    PlayerLine(preview, "sample:tapped", "-");
    TapPreview();
    // Until the ends of both (4 s each, at most 5 s more): each player's
    // end event and its PlayerStop come as they happen.
    for (int i = 0; i < 20 && g_player.playerEnds < 2; ++i) {
        PumpFor(250);
        PlayerLine(song, "sample:ending", "-");
    }
    if (g_player.playerEnds < 2) ++failures;
    PlayerCall(song, "PlayerDestroy()", PlayerDestroy(song));
    PlayerCall(preview, "PlayerDestroy()", PlayerDestroy(preview));
    g_player.playerLog = nullptr;
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
    if (videoOnly && music) Together(withSound, videoOnly, music);
    Call("UnInitialize()", UnInitialize());
    return failures ? 1 : 0;
}
