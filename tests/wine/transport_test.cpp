// The DLL under Wine with real DirectShow: play, pause, stop, duration,
// position and seeking on the generated 4-second clips, and on one file of
// each common format.
//
// Wine 8 hangs in IMediaControl::Stop once a graph that renders both sound
// and video has been seeked while running or paused, so Stop and
// ClearGraph would never return. The cases here never SeekSong av.avi
// while it is running or paused; seeking followed by a stop is shown on
// video.avi and tone.wav, and on av.avi by SeekToTime, which seeks while
// stopped.
#include "harness.h"

// strsafe.h (from dshow.h) would rename the C runtime's string functions.
#define STRSAFE_NO_DEPRECATE
#include <dshow.h>

#include <initializer_list>

namespace {

constexpr LONGLONG kSecond = 10000000;
constexpr LONGLONG kMs = 10000;
constexpr LONGLONG kClip = 4 * kSecond; // 100 frames at 25 fps; 88200 samples at 22050 Hz

// Closer to the start than this counts as "at the start" once running again.
constexpr LONGLONG kNearStart = kSecond / 2;

struct Session {
    HWND host;
    explicit Session(const wchar_t *title) : host(wt::CreateHost(title)) {
        CHECK_EQ(Initialize(), S_OK);
        SetHWND(host);
    }
    ~Session() {
        ClearGraph();
        DestroyWindow(host);
        UnInitialize();
    }
};

bool Open(const char *media) {
    bool ok = CHECK_EQ(InitGraph(wt::Media(media)), S_OK);
    CHECK_EQ(GetPlayState(), FLATPLAY_STOPPED);
    return ok;
}

void ExpectNothingAnswers() {
    CHECK_EQ(GetPlayPositionDuration(), 0);
    CHECK_EQ(GetPlayPositionCurrent(), 0);
    CHECK_EQ(GetPlayPositionDurationPercent(), 0);
    CHECK_EQ(TotalTime(), 0);
    LONGLONG current = -7, duration = -7;
    CHECK_EQ(GetPlayPosition(&current, &duration), E_FAIL);
    CHECK_EQ(current, -7);
    CHECK_EQ(duration, -7);
    CHECK_EQ(SeekSong(50.0f), 0);
}

// Further than a clock's or a frame's granularity: the graph really plays.
constexpr LONGLONG kAdvance = kSecond / 5;

// Awaits the position moving forward while running.
void ExpectAdvancing() {
    LONGLONG before = GetPlayPositionCurrent();
    DWORD start = GetTickCount();
    PUMP_UNTIL(wt::kDeadlineMs, GetPlayPositionCurrent() >= before + kAdvance);
    LONGLONG after = GetPlayPositionCurrent();
    wt::Print("  running: %lld -> %lld after %lu ms\n", before, after, (unsigned long)(GetTickCount() - start));
    CHECK(after > before);
}

// Stop returns the code of its last call, the Pause after the rewind, and
// Wine's Pause answers S_FALSE while the renderers still wait for a sample.
constexpr HRESULT kStopOnWine = S_FALSE;

// Stops, then runs again: the graph starts from the beginning.
void ExpectStopRewinds(FlatplayPlayState from) {
    CHECK_EQ(GetPlayState(), from);
    CHECK_EQ(Stop(), kStopOnWine);
    CHECK_EQ(GetPlayState(), FLATPLAY_STOPPED);
    CHECK_EQ(GetPlayPositionCurrent(), 0); // not active: the query does not ask
    CHECK(PlayPause() >= 0);
    CHECK_EQ(GetPlayState(), FLATPLAY_RUNNING);
    LONGLONG at = GetPlayPositionCurrent();
    wt::Print("  after Stop from %ld, running again at %lld\n", (long)from, at);
    CHECK(at >= 0);
    CHECK(at < kNearStart);
}

void AvQueries() {
    Session s(L"av queries");
    if (!Open("av.avi")) return;
    // Built but never started: nothing answers and nothing seeks.
    ExpectNothingAnswers();
    CHECK_EQ(GetPlayState(), FLATPLAY_STOPPED);

    CHECK_EQ(PlayPause(), S_FALSE); // Wine's Run: the graph is still starting
    CHECK_EQ(GetPlayState(), FLATPLAY_RUNNING);
    CHECK_EQ(TotalTime(), 4);
    CHECK_EQ(GetPlayPositionDuration(), kClip);
    LONGLONG current = -7, duration = -7;
    CHECK(GetPlayPosition(&current, &duration) >= 0);
    wt::Print("  GetPlayPosition: %lld of %lld\n", current, duration);
    CHECK_EQ(duration, kClip);
    CHECK(current >= 0 && current < kClip);
    CHECK_EQ(GetPlayPosition(nullptr, &duration), E_POINTER);
    CHECK_EQ(GetPlayPosition(&current, nullptr), E_POINTER);

    CHECK(PlayPause() >= 0);
    CHECK_EQ(GetPlayState(), FLATPLAY_PAUSED);
    CHECK_EQ(TotalTime(), 4);
    CHECK_EQ(GetPlayPositionDuration(), kClip);
}

void AvRunPause() {
    Session s(L"av run and pause");
    if (!Open("av.avi")) return;
    CHECK(PlayPause() >= 0);
    ExpectAdvancing();

    CHECK(PlayPause() >= 0);
    CHECK_EQ(GetPlayState(), FLATPLAY_PAUSED);
    LONGLONG held = GetPlayPositionCurrent();
    wt::Pump(300); // fixed: the position must not move meanwhile
    wt::Print("  paused at %lld, after 300 ms %lld\n", held, GetPlayPositionCurrent());
    CHECK_EQ(GetPlayPositionCurrent(), held);
    CHECK(held > 0);

    CHECK(PlayPause() >= 0);
    CHECK_EQ(GetPlayState(), FLATPLAY_RUNNING);
    ExpectAdvancing();
}

void AvStop() {
    Session s(L"av stop");
    if (!Open("av.avi")) return;
    // Stop right after InitGraph does nothing: Stopped is not active.
    CHECK_EQ(Stop(), 0);
    CHECK_EQ(GetPlayState(), FLATPLAY_STOPPED);

    CHECK(PlayPause() >= 0);
    PUMP_UNTIL(wt::kDeadlineMs, GetPlayPositionCurrent() > kSecond);
    ExpectStopRewinds(FLATPLAY_RUNNING);

    PUMP_UNTIL(wt::kDeadlineMs, GetPlayPositionCurrent() > kSecond);
    CHECK(PlayPause() >= 0);
    CHECK(GetPlayPositionCurrent() > kSecond);
    ExpectStopRewinds(FLATPLAY_PAUSED);
    ExpectAdvancing();
}

// Wine 8 counts every earlier running stretch again each time a paused
// graph runs on, so after many toggles the position reads far beyond the
// clip (about 18 s of a 4 s clip after 100 toggles 10 ms apart). It never
// goes backwards, which is what a host's progress display relies on.
void AvCycles() {
    Session s(L"av cycles");
    if (!Open("av.avi")) return;
    LONGLONG last = 0;
    int backwards = 0, failed = 0;
    for (int i = 0; i < 100; ++i) {
        if (PlayPause() < 0) ++failed;
        LONGLONG at = GetPlayPositionCurrent();
        if (at < last) {
            ++backwards;
            wt::Print("  cycle %d: %lld after %lld\n", i, at, last);
        }
        last = at;
        wt::Pump(10); // fixed: this rhythm is the scenario, and Wine's over-count grows with it
    }
    wt::Print("  100 PlayPause calls: %d failed, %d went backwards, last position %lld\n", failed, backwards, last);
    CHECK_EQ(failed, 0);
    CHECK_EQ(backwards, 0);
    CHECK(last > 0);
    // Wine's over-counting, kept explicit so that a fixed Wine shows up here.
    CHECK(last > kClip);
    // An even number of toggles from Stopped: Paused.
    CHECK_EQ(GetPlayState(), FLATPLAY_PAUSED);
}

void SeekChecks(const char *media) {
    Session s(L"seek");
    if (!Open(media)) return;
    CHECK_EQ(SeekSong(50.0f), 0); // Stopped: no seek

    CHECK(PlayPause() >= 0);
    CHECK(PlayPause() >= 0);
    CHECK_EQ(GetPlayState(), FLATPLAY_PAUSED);
    CHECK_EQ(GetPlayPositionDuration(), kClip);

    CHECK_EQ(SeekSong(50.0f), S_OK);
    CHECK_EQ(GetPlayState(), FLATPLAY_PAUSED);
    CHECK_EQ(GetPlayPositionCurrent(), 20000000);
    // Single precision: in double the target would be 18,267,999.
    CHECK_EQ(SeekSong(45.67f), S_OK);
    CHECK_EQ(GetPlayPositionCurrent(), 18267998);
    CHECK_EQ(GetPlayPositionDurationPercent(), 1);
    LONGLONG current = 0, duration = 0;
    CHECK(GetPlayPosition(&current, &duration) >= 0);
    CHECK_EQ(current, 18267998);
    CHECK_EQ(duration, kClip);
    CHECK_EQ(SeekSong(0.0f), S_OK);
    CHECK_EQ(GetPlayPositionCurrent(), 0);

    // A seek while running keeps it running from the new place.
    CHECK(PlayPause() >= 0);
    CHECK_EQ(GetPlayState(), FLATPLAY_RUNNING);
    CHECK_EQ(SeekSong(25.0f), S_OK);
    CHECK_EQ(GetPlayState(), FLATPLAY_RUNNING);
    LONGLONG at = GetPlayPositionCurrent();
    wt::Print("  running after SeekSong(25): %lld\n", at);
    CHECK(at >= 10000000 && at < 10000000 + kNearStart);
    ExpectAdvancing();

    // Stop after a seek rewinds to the start.
    CHECK_EQ(SeekSong(75.0f), S_OK);
    CHECK(GetPlayPositionCurrent() >= 30000000);
    ExpectStopRewinds(FLATPLAY_RUNNING);
    CHECK(PlayPause() >= 0);
    CHECK_EQ(SeekSong(75.0f), S_OK);
    CHECK_EQ(GetPlayPositionCurrent(), 30000000);
    ExpectStopRewinds(FLATPLAY_PAUSED);
}

void VideoSeek() { SeekChecks("video.avi"); }

void WavSeek() { SeekChecks("tone.wav"); }

void VideoCycles() {
    Session s(L"video cycles");
    int done = 0;
    const int rounds = wt::Rounds(100, "cycles of open, play, seek, stop, close");
    const DWORD start = GetTickCount();
    for (int i = 0; i < rounds; ++i) {
        bool ok = CHECK_EQ(InitGraph(wt::Media("video.avi")), S_OK);
        ok = CHECK(PlayPause() >= 0) && ok;
        ok = CHECK_EQ(SeekSong(50.0f), S_OK) && ok;
        ok = CHECK_EQ(Stop(), kStopOnWine) && ok;
        ok = CHECK_EQ(GetPlayState(), FLATPLAY_STOPPED) && ok;
        ClearGraph();
        ok = CHECK_EQ(GetPlayState(), FLATPLAY_CLOSED) && ok;
        if (ok) ++done;
        if (!ok) break;
        wt::DispatchPending(); // what each graph's window posted the host, not left to pile up
        // A timeout then shows how far the loop came, and at what pace.
        if (done % 10 == 0) wt::Print("  %d cycles after %lu ms\n", done, (unsigned long)(GetTickCount() - start));
    }
    wt::Print("  %d of %d cycles of open, play, seek, stop, close\n", done, rounds);
    CHECK_EQ(done, rounds);
    // Nothing of the graphs holds the file any longer.
    HANDLE file = CreateFileW(wt::Media("video.avi"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    CHECK(file != INVALID_HANDLE_VALUE);
    CloseHandle(file);
}

void WavPlay() {
    Session s(L"wav");
    if (!Open("tone.wav")) return;
    CHECK(PlayPause() >= 0);
    CHECK_EQ(TotalTime(), 4);
    ExpectAdvancing();
    CHECK_EQ(SeekSong(50.0f), S_OK);
    CHECK(GetPlayPositionCurrent() >= 20000000);
    ExpectStopRewinds(FLATPLAY_RUNNING);
    ClearGraph();
    CHECK_EQ(GetPlayState(), FLATPLAY_CLOSED);
    HANDLE file = CreateFileW(wt::Media("tone.wav"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    CHECK(file != INVALID_HANDLE_VALUE);
    CloseHandle(file);
}

// ---- Seeking by time, heard ----------------------------------------------------

// One frame at 25 fps: how close SeekToTime must land.
constexpr LONGLONG kFrame = kSecond / 25;

// Seeks by time, keeping the state, and lands within a frame of `target`.
void SeekAndLand(LONGLONG target, LONG state) {
    CHECK(SeekToTime(target) >= 0);
    CHECK_EQ(GetPlayState(), state);
    LONGLONG at = GetPlayPositionCurrent();
    CHECK(at >= target - kFrame && at <= target + kFrame);
}

// av.avi, sound and video through one splitter, seeked by time ten times
// while running and ten times while paused (Wine 8 would never stop it
// again after SeekSong): each time it lands within a frame and its sound
// flows again on the null sink; then it stops, closes and the next file
// opens and sounds. What the stop-first seek costs: the sound's gap is
// measured on the recording, the picture's as the wall time the position
// took to move on from the target beyond the time it moved.
void AvSeekTime() {
    Session s(L"seek by time");
    if (!Open("av.avi")) return;
    // Targets in ms, each at least 1 s before the end: forward and back.
    const LONG running[] = {2500, 500, 1500, 2800, 0, 2000, 1000, 2900, 300, 1800};
    const LONG paused[] = {1000, 2600, 200, 1200, 2800, 600, 2200, 100, 2700, 1400};
    constexpr LONGLONG kPlayed = 900 * kMs; // played after each seek
    constexpr LONG kMovedMs = 200;          // how far the position moves for the picture's gap
    CHECK(PlayPause() >= 0);
    PUMP_UNTIL(wt::kDeadlineMs, GetPlayPositionCurrent() >= kSecond / 2);
    for (int i = 0; i < 10; ++i) {
        char mark[16];
        wt::Format(mark, sizeof mark, "seek%d", i);
        wt::AudioMark(mark);
        LONGLONG target = running[i] * kMs;
        const DWORD called = GetTickCount();
        SeekAndLand(target, FLATPLAY_RUNNING);
        const DWORD took = GetTickCount() - called;
        PUMP_UNTIL(wt::kDeadlineMs, GetPlayPositionCurrent() >= target + kMovedMs * kMs);
        const LONG pictureGap = static_cast<LONG>(GetTickCount() - called) - kMovedMs;
        wt::Print("  seek %d to %ld ms running: %lu ms in the call, picture gap %ld ms\n", i, running[i],
                  (unsigned long)took, (long)pictureGap);
        PUMP_UNTIL(wt::kDeadlineMs, GetPlayPositionCurrent() >= target + kPlayed);
        wt::ExpectAudio("audible", mark, 500, 850);
        wt::MeasureAudioGap(mark, 0, 500);

        CHECK(PlayPause() >= 0);
        target = paused[i] * kMs;
        SeekAndLand(target, FLATPLAY_PAUSED);
        wt::Format(mark, sizeof mark, "resume%d", i);
        wt::AudioMark(mark);
        CHECK(PlayPause() >= 0);
        PUMP_UNTIL(wt::kDeadlineMs, GetPlayPositionCurrent() >= target + kPlayed);
        wt::ExpectAudio("audible", mark, 500, 850);
    }

    // Still able to stop and close, unlike a graph seeked by SeekSong.
    DWORD at = GetTickCount();
    CHECK(Stop() >= 0);
    CHECK_EQ(GetPlayState(), FLATPLAY_STOPPED);
    ClearGraph();
    CHECK_EQ(GetPlayState(), FLATPLAY_CLOSED);
    if (!Open("tone.wav")) return;
    wt::Print("  Stop, ClearGraph and InitGraph of the next file: %lu ms\n", (unsigned long)(GetTickCount() - at));
    CHECK(PlayPause() >= 0);
    wt::AudioMark("next");
    PUMP_UNTIL(wt::kDeadlineMs, GetPlayPositionCurrent() >= kPlayed);
    wt::ExpectAudio("audible", "next", 500, 850);
}

// ---- Every common format ---------------------------------------------------

enum class Streams { None, Sound, Video, SoundAndVideo };

struct Format {
    const char *label;
    const wchar_t *file; // in the media folder, named as PathOf says
    HRESULT open;        // what InitGraph answers
    Streams streams;
    LONGLONG length;             // the file's true length
    LONGLONG tolerance;          // how far the reported duration may be from it
    SIZE picture;                // the video's native size; 0 x 0 without video
    bool seekable;               // GetMediaInfo's canSeek
    const char *needs = nullptr; // GStreamer packages beyond base and good it needs
};

// A file that needs GStreamer packages this platform's Wine lacks: skipped,
// by name. `needs` is null for base and good alone, which is all the
// emulated targets' Wine roots hold.
bool MissingPlugins(const char *label, const char *needs) {
    if (!wt::Emulated() || !needs) return false;
    char why[160];
    wt::Format(why, sizeof why, "%s: needs %s, which the emulated target's Wine root does not hold", label, needs);
    wt::Skip(why);
    return true;
}

constexpr LONGLONG kHour = 3600 * kSecond;
constexpr LONGLONG kOnDisk = -1; // the length of what a cut file still holds, see AviLengthOnDisk

// Compressed sound carries its encoder's delay and padding, up to two
// frames (an MP3 frame is 26 ms at 44.1 kHz, 72 ms at 8 kHz); PCM, MJPEG
// and a cut AVI are exact to the frame.
constexpr SIZE kQvga = {320, 240}; // every generated clip's picture
constexpr SIZE kNoPicture = {0, 0};

const Format kFormats[] = {
    {"MP3", L"song.mp3", S_OK, Streams::Sound, kClip, 100 * kMs, kNoPicture, true},
    {"Ogg Vorbis", L"tone.ogg", S_OK, Streams::Sound, kClip, 100 * kMs, kNoPicture, true},
    {"WAV", L"tone.wav", S_OK, Streams::Sound, kClip, 0, kNoPicture, true},
    {"WMA", L"tone.wma", S_OK, Streams::Sound, kClip, 100 * kMs, kNoPicture, true, "gstreamer1.0-libav"},
    {"MPEG-1 system", L"av.mpg", S_OK, Streams::SoundAndVideo, kClip, 100 * kMs, kQvga, true,
     "gstreamer1.0-plugins-bad, gstreamer1.0-libav"},
    {"MP4 H.264+AAC", L"av.mp4", S_OK, Streams::SoundAndVideo, kClip, 100 * kMs, kQvga, true, "gstreamer1.0-libav"},
    {"WebM VP8+Vorbis", L"av.webm", S_OK, Streams::SoundAndVideo, kClip, 100 * kMs, kQvga, true},
    {"MJPEG AVI", L"video.avi", S_OK, Streams::Video, kClip, 0, kQvga, true},
    {"MP3, one hour", L"long.mp3", S_OK, Streams::Sound, kHour, 200 * kMs, kNoPicture, true},
    {"MP3, non-ASCII path", L"Música ä\\日本語\\canción 1.mp3", S_OK, Streams::Sound, kClip, 100 * kMs, kNoPicture,
     true},
    {"MP3, relative path", L"./song.mp3", S_OK, Streams::Sound, kClip, 100 * kMs, kNoPicture, true},
    {"MP3, forward slashes", L"/song.mp3", S_OK, Streams::Sound, kClip, 100 * kMs, kNoPicture, true},
    {"AVI cut in half", L"truncated.avi", S_OK, Streams::SoundAndVideo, kOnDisk, 40 * kMs, kQvga, true},
    {"a directory", L"album", HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED), Streams::None, 0, 0, kNoPicture, false},
    {"a missing file", L"missing.mp3", HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), Streams::None, 0, 0, kNoPicture,
     false},
    {"an http URL", L"http://127.0.0.1/song.mp3", HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), Streams::None, 0, 0,
     kNoPicture, false},
};

// The ways a host names a file: "./x" relative to the current directory
// (the media folder), "/x" the media folder's path with forward slashes, a
// URL as it stands; anything else the media folder's path.
const wchar_t *PathOf(const wchar_t *file) {
    static wchar_t path[MAX_PATH];
    if (wt::Find(file, L"://") || wt::Compare(file, L"./", 2) == 0) return file;
    if (file[0] != L'/') return wt::Media(file);
    wt::Copy(path, MAX_PATH, wt::Media(file + 1));
    for (wchar_t *c = path; *c; ++c)
        if (*c == L'\\') *c = L'/';
    return path;
}

// The length of the complete chunks left in an AVI of av.avi's kind, cut
// short: the longer of its MJPEG frames (25 fps) and its PCM sound (22050
// Hz, 16-bit mono), or that of its frames alone. The header still claims
// the whole clip.
LONGLONG AviLengthOnDisk(const wchar_t *file, bool pictureOnly = false) {
    static unsigned char data[1 << 21];
    size_t size = 0;
    if (!CHECK(wt::ReadAll(wt::Media(file), data, sizeof data, &size))) return 0;
    LONGLONG frames = 0, soundBytes = 0;
    auto chunkEnd = [&](size_t at) {
        DWORD chunk;
        memcpy(&chunk, data + at + 4, 4);
        return at + 8 + chunk + (chunk & 1);
    };
    size_t at = 12; // past "RIFF", its size and "AVI "
    while (at + 12 <= size && memcmp(data + at + 8, "movi", 4) != 0) at = chunkEnd(at);
    for (at += 12; at + 8 <= size;) {
        DWORD chunk;
        memcpy(&chunk, data + at + 4, 4);
        size_t end = chunkEnd(at);
        if (end > size) break; // the cut one
        if (memcmp(data + at, "00db", 4) == 0) ++frames;
        if (memcmp(data + at, "01wb", 4) == 0) soundBytes += chunk;
        at = end;
    }
    LONGLONG video = frames * kSecond / 25, sound = soundBytes / 2 * kSecond / 22050;
    wt::Print("  what is left: %lld frames (%lld) and %lld bytes of sound (%lld)\n", frames, video, soundBytes, sound);
    return video > sound || pictureOnly ? video : sound;
}

// GetMediaInfo, which must change nothing: asked once muted and once at
// full volume (a file with sound), the mute state reads the same after.
FLATPLAY_MEDIA_INFO AskMediaInfo(bool sound) {
    FLATPLAY_MEDIA_INFO info = {};
    info.cbSize = sizeof info;
    const LONG state = GetPlayState();
    for (LONG muted : {1, 0}) {
        if (sound) CHECK(ToggleMute() >= 0);
        CHECK_EQ(GetMediaInfo(&info), S_OK);
        LONG after = -1;
        if (sound) {
            CHECK(GetMuteState(&after) >= 0);
            CHECK_EQ(after, muted);
        } else {
            CHECK_EQ(GetMuteState(&after), E_NOTIMPL); // no sound to read or change
            CHECK_EQ(after, -1);
        }
    }
    CHECK_EQ(GetPlayState(), state);
    return info;
}

// Where SeekSong(50) must land: single precision, rounded after each step.
LONGLONG HalfWayOf(LONGLONG duration) {
    float target = static_cast<float>(duration);
    target = target * 50.0f;
    target = target * 0.01f;
    return static_cast<LONGLONG>(target);
}

// One table of files a host meets, each opened, played, measured, seeked
// where Wine allows it, stopped and closed in one process.
void Formats() {
    Session s(L"formats");
    CHECK(SetCurrentDirectoryW(wt::Media(L".")));
    wt::Print("  %-20s %-10s %12s %6s %-27s %6s\n", "format", "InitGraph", "duration", "total", "SeekSong(50)", "ms");
    for (const Format &f : kFormats) {
        wt::Print("  %s\n", f.label);
        if (MissingPlugins(f.label, f.needs)) continue;
        DWORD start = GetTickCount();
        HRESULT hr = InitGraph(PathOf(f.file));
        CHECK_EQ(hr, f.open);
        if (FAILED(hr)) {
            wt::ExpectDebugLine("FAILED(hr=0x%lx) in m_pGB->RenderFile(m_szPlayFile, NULL)\n", (unsigned long)hr);
            CHECK_EQ(GetPlayState(), FLATPLAY_CLOSED);
            ClearGraph();
            CHECK_EQ(GetPlayState(), FLATPLAY_CLOSED);
            wt::Print("  %-20s 0x%08lx %12s %6s %-27s %6lu\n", f.label, (unsigned long)hr, "-", "-", "-",
                      (unsigned long)(GetTickCount() - start));
            continue;
        }
        if (f.streams == Streams::None) { // opened although it should not have
            ClearGraph();
            continue;
        }
        bool video = f.streams != Streams::Sound;
        bool sound = f.streams != Streams::Video;
        CHECK_EQ(GetWindow(s.host, GW_CHILD) != nullptr, video); // a renderer window only with video
        LONGLONG length = f.length == kOnDisk ? AviLengthOnDisk(f.file) : f.length;
        // Before playing, as a host asks to show the length.
        FLATPLAY_MEDIA_INFO opened = AskMediaInfo(sound);
        CHECK_EQ(opened.hasVideo, video);
        CHECK_EQ(opened.hasSound, sound);
        CHECK_EQ(opened.width, f.picture.cx);
        CHECK_EQ(opened.height, f.picture.cy);
        CHECK_EQ(opened.canSeek, f.seekable);
        CHECK(opened.duration >= length - f.tolerance && opened.duration <= length + f.tolerance);
        CHECK_EQ(GetPlayState(), FLATPLAY_STOPPED);
        CHECK_EQ(PutForeground(TRUE), 0);
        // What a host meets on a file without video, and without sound.
        CHECK_EQ(PutMessageDrain(s.host), video ? S_OK : E_NOINTERFACE);
        if (f.streams == Streams::Video) {
            CHECK_EQ(ToggleMute(), E_NOTIMPL);
            wt::ExpectDebugLine("Failed in pBA->get_Volume!  hr=0x80004001\r\n");
        }
        CHECK(PlayPause() >= 0);
        CHECK_EQ(GetPlayState(), FLATPLAY_RUNNING);
        LONGLONG duration = GetPlayPositionDuration();
        LONGLONG total = TotalTime();
        CHECK(length > 0);
        CHECK(duration >= length - f.tolerance && duration <= length + f.tolerance);
        CHECK_EQ(total, duration / kSecond);
        // The length shown before playing is the one playing reports, to the frame.
        CHECK(opened.duration >= duration - kFrame && opened.duration <= duration + kFrame);
        ExpectAdvancing();
        // Asked again while running: the same answers, and it plays on.
        FLATPLAY_MEDIA_INFO running = AskMediaInfo(sound);
        CHECK_EQ(running.hasVideo, opened.hasVideo);
        CHECK_EQ(running.hasSound, opened.hasSound);
        CHECK_EQ(running.width, opened.width);
        CHECK_EQ(running.height, opened.height);
        CHECK_EQ(running.canSeek, opened.canSeek);
        CHECK_EQ(running.duration, duration);
        CHECK_EQ(GetPlayState(), FLATPLAY_RUNNING);
        ExpectAdvancing();

        char seek[40] = "not tried: Wine fault";
        if (f.streams != Streams::SoundAndVideo) {
            CHECK(PlayPause() >= 0);
            CHECK_EQ(GetPlayState(), FLATPLAY_PAUSED);
            LONGLONG target = HalfWayOf(duration);
            CHECK_EQ(SeekSong(50.0f), S_OK);
            LONGLONG at = GetPlayPositionCurrent();
            CHECK_EQ(at, target);
            wt::Format(seek, sizeof seek, "%lld (%+lld)", at, at - duration / 2);
            // By time, to three quarters: for the hour, a value whose upper
            // half is not 0, which x86 passes on the stack in two words.
            SeekAndLand(duration / 4 * 3, FLATPLAY_PAUSED);
        }
        HRESULT stopped = Stop();
        CHECK(stopped >= 0);
        CHECK_EQ(GetPlayState(), FLATPLAY_STOPPED);
        ClearGraph();
        CHECK_EQ(GetPlayState(), FLATPLAY_CLOSED);
        wt::Print("  %-20s 0x%08lx %12lld %6lld %-27s %6lu   info: %s%s %ldx%ld %lld%s\n", f.label, (unsigned long)hr,
                  duration, total, seek, (unsigned long)(GetTickCount() - start), opened.hasVideo ? "video" : "-",
                  opened.hasSound ? "+sound" : "", opened.width, opened.height, opened.duration,
                  opened.canSeek ? " seekable" : "");
    }
}

// ---- The end event -------------------------------------------------------------

constexpr UINT kEventMessage = WM_APP + 1;

// The events of one clip, each taken with GetGraphEvent on the message that
// announced it, and when the one that ended the clip came.
struct Announced {
    int ends = 0;     // FLATPLAY_EVENT_COMPLETE and FLATPLAY_EVENT_ERRORABORT
    LONG endCode = 0; // the first of them
    LONG_PTR endParam = 0;
    DWORD endAt = 0; // GetTickCount when it was taken
};

void TakeAnnounced(HWND host, Announced &seen) {
    if (wt::TakeReceived(host, kEventMessage) == 0) return;
    LONG code = 0;
    LONG_PTR param1 = 0, param2 = 0;
    HRESULT hr;
    while ((hr = GetGraphEvent(&code, &param1, &param2)) == S_OK) {
        wt::Print("  event 0x%lx (0x%llx, 0x%llx)\n", (long)code, (unsigned long long)param1,
                  (unsigned long long)param2);
        if (code != FLATPLAY_EVENT_COMPLETE && code != FLATPLAY_EVENT_ERRORABORT) continue;
        if (seen.ends++ == 0) {
            seen.endCode = code;
            seen.endParam = param1;
            seen.endAt = GetTickCount();
        }
    }
    CHECK_EQ(hr, S_FALSE);
    CHECK_EQ(code, 0);
}

enum class Course { Plays, SeeksNearTheEnd, PausesAndResumes };

// Where Wine ends two clips, each a Wine fault of its own, kept here as
// the lengths it plays so that a Wine that plays them whole fails the case:
// - a cut AVI ends with its last whole frame, with no error, although
//   sound is left (1.92 s of picture, 2.44 s of sound in truncated.avi);
constexpr LONGLONG kPictureOnDisk = -2;
// - a video-only MPEG-1 system stream from avmux_mpeg, whose length and
//   position Wine reads as 0, ends before its first frame: the GStreamer
//   splitter's end of stream reaches the renderer right after Run.
constexpr LONGLONG kWineEndsAtOnce = 0;

struct Ending {
    const char *label;
    const wchar_t *file; // in the media folder
    Course course;
    LONGLONG length; // how long Wine plays it; kPictureOnDisk: the frames a cut AVI still holds
    bool reported;   // Wine reads its length and position
    const char *needs = nullptr;
};

const Ending kEndings[] = {
    {"AVI, sound and video", L"av.avi", Course::Plays, kClip, true},
    {"AVI, SeekToTime(3 s)", L"av.avi", Course::SeeksNearTheEnd, kClip, true},
    {"AVI, paused and resumed", L"av.avi", Course::PausesAndResumes, kClip, true},
    {"WAV", L"tone.wav", Course::Plays, kClip, true},
    {"MPEG-1 video alone", L"video.mpg", Course::Plays, kWineEndsAtOnce, false,
     "gstreamer1.0-plugins-bad, gstreamer1.0-libav"},
    {"AVI cut in half", L"truncated.avi", Course::Plays, kPictureOnDisk, true},
};

// How far from the clip's end the end event may come. The end is due when
// the last position the graph read while playing, short of its end, would
// have run out; the graph's start-up is not in it, since emulation and the
// machine's load stretch that (timed from Run, the AVI's end came +160 to
// +220 ms late on a quiet machine, +875 ms with all four targets side by
// side). So timed, it came +160 to +173 ms after the end for the AVI and
// +48 to +94 ms for the WAV, on all four targets. A stream whose position
// Wine reads as 0 throughout can only be timed from Run (+4 to +59 ms).
constexpr LONG kEndLatenessMs = 250;

// The last moment the graph was seen playing before its end: when it read
// `position`, short of `length`, at `tick`.
struct LastSeen {
    LONGLONG position = -1;
    DWORD tick = 0;
    void Sample(LONGLONG from, LONGLONG length) {
        const DWORD now = GetTickCount();
        const LONGLONG read = GetPlayPositionCurrent();
        if (read > from && read < length) position = read, tick = now;
    }
};

// Each clip played to its end, its events announced to the window named
// once before the first graph: the end comes once, on time, and the state
// stays Running until the host stops it.
void EndEvent() {
    Session s(L"end event");
    CHECK_EQ(SetEventWindow(s.host, kEventMessage), S_OK);
    for (const Ending &e : kEndings) {
        wt::Print("  %s\n", e.label);
        if (MissingPlugins(e.label, e.needs)) continue;
        const LONGLONG length = e.length == kPictureOnDisk ? AviLengthOnDisk(e.file, true) : e.length;
        if (!CHECK_EQ(InitGraph(wt::Media(e.file)), S_OK)) continue;
        FLATPLAY_MEDIA_INFO info = {};
        info.cbSize = sizeof info;
        CHECK_EQ(GetMediaInfo(&info), S_OK);
        CHECK_EQ(info.duration > 0, e.reported); // nor can a host learn the length before playing
        Announced seen;
        CHECK(PlayPause() >= 0);
        const DWORD started = GetTickCount(); // where a stream that reads no position is timed from
        LONGLONG from = 0;
        if (e.course == Course::SeeksNearTheEnd) {
            PUMP_UNTIL(wt::kDeadlineMs, GetPlayPositionCurrent() >= kSecond / 2);
            from = 3 * kSecond;
            CHECK(SeekToTime(from) >= 0);
        } else if (e.course == Course::PausesAndResumes) {
            PUMP_UNTIL(wt::kDeadlineMs, GetPlayPositionCurrent() >= kSecond);
            CHECK(PlayPause() >= 0);
            from = GetPlayPositionCurrent();
            wt::Pump(500); // paused: no end may come meanwhile
            TakeAnnounced(s.host, seen);
            CHECK_EQ(seen.ends, 0);
            CHECK(PlayPause() >= 0);
        }
        if (e.reported) {
            CHECK(GetPlayPositionDuration() > 0);
        } else {
            // Named: Wine's answers for this stream, which a polling host meets.
            CHECK_EQ(GetPlayPositionDuration(), 0);
            CHECK_EQ(GetPlayPositionCurrent(), 0);
        }
        LastSeen last;
        PUMP_UNTIL(static_cast<DWORD>((length - from) / kMs) + wt::kDeadlineMs,
                   (last.Sample(from, length), TakeAnnounced(s.host, seen), seen.ends > 0));
        const bool moved = last.position >= 0;
        CHECK_EQ(moved, e.reported);
        const DWORD due = moved ? last.tick + static_cast<DWORD>((length - last.position) / kMs)
                                : started + static_cast<DWORD>((length - from) / kMs);
        const LONG late = static_cast<LONG>(seen.endAt - due);
        wt::Print("  %-26s event 0x%lx (0x%llx) %+ld ms from the end, at %lld of %lld\n", e.label, (long)seen.endCode,
                  (unsigned long long)seen.endParam, (long)late, GetPlayPositionCurrent(), GetPlayPositionDuration());
        // Wine reports no error for a cut file: it ends it as complete.
        CHECK_EQ(seen.endCode, FLATPLAY_EVENT_COMPLETE);
        CHECK_EQ(seen.endParam, S_OK);
        CHECK(late >= -kEndLatenessMs && late <= kEndLatenessMs);
        // The library changes no state on its own; no second end follows.
        CHECK_EQ(GetPlayState(), FLATPLAY_RUNNING);
        wt::Pump(500);
        TakeAnnounced(s.host, seen);
        CHECK_EQ(seen.ends, 1);
        CHECK_EQ(GetPlayState(), FLATPLAY_RUNNING);
        CHECK(Stop() >= 0); // what the host does on the event
        CHECK_EQ(GetPlayState(), FLATPLAY_STOPPED);
        ClearGraph();
        wt::DispatchPending();
        wt::TakeReceived(s.host, kEventMessage); // whatever the graph announced as it went
    }
    CHECK_EQ(SetEventWindow(nullptr, 0), S_OK);
}

// ---- Players -----------------------------------------------------------------

LONGLONG PositionOf(FLATPLAY_PLAYER player) {
    LONGLONG position = -1, duration = 0;
    PlayerGetPosition(player, &position, &duration);
    return position;
}

// Two players' events through one window: every message names its player
// (lParam, the handle) and is answered by that player's PlayerGetEvent;
// each end comes once, the second player's first (seeked to 3 s of 4),
// and leaves its player Running until the host stops it.
void PlayerEvents() {
    HWND host = wt::CreateHost(L"player events");
    FLATPLAY_PLAYER players[2] = {};
    const char *files[2] = {"tone.wav", "video.avi"};
    int ends[2] = {0, 0}, order = 0, endedAs[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        CHECK_EQ(PlayerCreate(&players[i]), S_OK);
        CHECK_EQ(PlayerSetEventWindow(players[i], host, kEventMessage), S_OK); // before the file: kept for it
        CHECK_EQ(PlayerOpen(players[i], wt::Media(files[i])), S_OK);
        CHECK(PlayerPlay(players[i]) >= 0);
    }
    PUMP_UNTIL(wt::kDeadlineMs, PositionOf(players[1]) >= kSecond / 2);
    CHECK(PlayerSeek(players[1], 3 * kSecond) >= 0);
    auto takeEvents = [&] {
        for (int i = 0; i < 2; ++i) {
            if (wt::TakeReceived(host, kEventMessage, reinterpret_cast<LPARAM>(players[i])) == 0) continue;
            LONG code = 0;
            LONG_PTR param1 = 0, param2 = 0;
            while (PlayerGetEvent(players[i], &code, &param1, &param2) == S_OK)
                if (code == FLATPLAY_EVENT_COMPLETE && ends[i]++ == 0) endedAs[i] = ++order;
        }
        return ends[0] > 0 && ends[1] > 0;
    };
    PUMP_UNTIL(kClip / kMs + wt::kDeadlineMs, takeEvents());
    wt::Pump(300);
    takeEvents();
    wt::Print("  ends: %s %d (%d), %s %d (%d)\n", files[0], ends[0], endedAs[0], files[1], ends[1], endedAs[1]);
    CHECK_EQ(ends[0], 1);
    CHECK_EQ(ends[1], 1);
    CHECK_EQ(endedAs[1], 1);
    CHECK_EQ(wt::CountReceived(host, kEventMessage), 0); // none for anyone else
    for (FLATPLAY_PLAYER player : players) {
        LONG state = -1;
        CHECK_EQ(PlayerGetState(player, &state), S_OK);
        CHECK_EQ(state, FLATPLAY_RUNNING);
        CHECK_EQ(PlayerStop(player), S_OK);
        CHECK_EQ(PlayerDestroy(player), S_OK);
    }
    DestroyWindow(host);
}

// A Wine 8 fault, pinned so that it shows the day Wine is fixed: its graph
// takes any rate (S_OK) and plays on at 1.0; GetRate still answers 1.0.
constexpr bool kWineIgnoresTheRate = true;

// The rate against the clock, on video.avi (video alone, 4 s): a second of
// the clock at 2.0 and at 0.5 moves the position by that many seconds (by
// one second under Wine 8). A rate of 0, negative or not a number the
// player refuses itself; Wine's graph, asked directly, takes them too.
void PlayerRate() {
    FLATPLAY_PLAYER player = nullptr;
    CHECK_EQ(PlayerCreate(&player), S_OK);
    CHECK_EQ(PlayerOpen(player, wt::Media("video.avi")), S_OK);
    CHECK(PlayerPlay(player) >= 0);
    PUMP_UNTIL(wt::kDeadlineMs, PositionOf(player) > kSecond / 5);
    for (double rate : {2.0, 0.5}) {
        CHECK_EQ(PlayerSetRate(player, rate), S_OK);
        const LONGLONG from = PositionOf(player);
        const DWORD start = GetTickCount();
        wt::Pump(1000);
        const LONGLONG moved = PositionOf(player) - from, elapsed = (GetTickCount() - start) * kMs;
        wt::Print("  rate %d/10: %lld of the position in %lld of the clock\n", (int)(rate * 10), moved, elapsed);
        const double heard = kWineIgnoresTheRate ? 1.0 : rate;
        const auto want = static_cast<LONGLONG>(heard * static_cast<double>(elapsed));
        CHECK(moved > want * 4 / 5 && moved < want * 6 / 5);
    }
    for (double rate : {0.0, -1.0, -0.5}) CHECK_EQ(PlayerSetRate(player, rate), E_INVALIDARG);
    CHECK_EQ(PlayerDestroy(player), S_OK);

    IGraphBuilder *graph = nullptr;
    IMediaSeeking *seeking = nullptr;
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (CHECK(SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                         reinterpret_cast<void **>(&graph)))) &&
        CHECK(SUCCEEDED(graph->RenderFile(wt::Media("video.avi"), nullptr))) &&
        CHECK(SUCCEEDED(graph->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void **>(&seeking))))) {
        for (double rate : {2.0, 0.0, -1.0}) {
            const HRESULT hr = seeking->SetRate(rate);
            double now = 0;
            seeking->GetRate(&now);
            wt::Print("  Wine's graph: SetRate(%d/10) 0x%lx, GetRate then %d/10\n", (int)(rate * 10), (unsigned long)hr,
                      (int)(now * 10));
            CHECK_EQ(hr, S_OK);
            CHECK_EQ(now == 1.0, kWineIgnoresTheRate);
        }
        seeking->Release();
    }
    if (graph) graph->Release();
    CoUninitialize();
}

const wt::Case kCases[] = {
    {"av-queries", AvQueries},   {"av-run-pause", AvRunPause}, {"av-stop", AvStop},
    {"av-cycles", AvCycles},     {"video-seek", VideoSeek},    {"video-cycles", VideoCycles},
    {"wav-seek", WavSeek},       {"wav-play", WavPlay},        {"formats", Formats},
    {"end-event", EndEvent},     {"av-seek-time", AvSeekTime}, {"player-events", PlayerEvents},
    {"player-rate", PlayerRate},
};

} // namespace

WT_ENTRY_POINT(kCases)
