// The volume exports of the real DLL under Wine: the device volume as Wine
// answers it, the translations of the x64 build against a device of our
// own, and ToggleMute heard on the PulseAudio null sink (record-case).
#include "harness.h"

#include <mmsystem.h>

#include <limits.h>

namespace {

// ---- Wine's device volume --------------------------------------------------

// Wine 8's winmm refuses the device id 0 that the library passes (Windows
// takes an id or an open handle): both calls answer MMSYSERR_INVALHANDLE,
// so the exports take their failure paths, which this case pins down.
void WineDevice() {
    DWORD raw = 0x12345678;
    CHECK_EQ(waveOutGetVolume(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(0)), &raw), MMSYSERR_INVALHANDLE);
    CHECK_EQ(waveOutSetVolume(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(0)), 0x8000), MMSYSERR_INVALHANDLE);

    // No Initialize and no graph.
    CHECK_EQ(GetVolumeInit(), 0);
    CHECK_EQ(GetVolume(), -10000);
    CHECK_EQ(Set_Volume(0x8000), 0);
    CHECK_EQ(SetVolume(-5000), 0);
    CHECK_EQ(GetVolumeInit(), 0);
    CHECK_EQ(GetVolume(), -10000);
    CHECK_EQ(GetPlayState(), FLATPLAY_STOPPED);
}

// ---- The x64 build's arithmetic, on a device that answers ------------------
// The DLL's two winmm imports are pointed at a device of this program's own
// that keeps what was set.

DWORD deviceVolume = 0;
UINT_PTR lastDevice = 99;

MMRESULT WINAPI EchoGetVolume(HWAVEOUT device, LPDWORD volume) {
    lastDevice = reinterpret_cast<UINT_PTR>(device);
    *volume = deviceVolume;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI EchoSetVolume(HWAVEOUT device, DWORD volume) {
    lastDevice = reinterpret_cast<UINT_PTR>(device);
    deviceVolume = volume;
    return MMSYSERR_NOERROR;
}

// The same exact values as the native tests: the shipped x64 code rounds
// like the native build.
void Arithmetic() {
    if (!CHECK(wt::RedirectImport("winmm.dll", "waveOutGetVolume", reinterpret_cast<void *>(EchoGetVolume)))) return;
    if (!CHECK(wt::RedirectImport("winmm.dll", "waveOutSetVolume", reinterpret_cast<void *>(EchoSetVolume)))) return;

    const struct {
        DWORD raw;
        LONG attenuation;
    } readings[] = {
        {0xFFFF, 0},
        {0x8000, -5000},
        {0x7FFF, -5001},
        {0x1999, -9001},
        {0, -10000},
        {0x3333, -8000},
        {0x1FD2, -8757},
        {0x00010000, 0},
        {0x33333333, 131064000},
        {0x80000000, 327674992},
        {0xFFFFFFFF, 655359984},
    };
    for (const auto &r : readings) {
        deviceVolume = r.raw;
        lastDevice = 99;
        CHECK_EQ(GetVolume(), r.attenuation);
        CHECK_EQ(lastDevice, 0);
    }

    const struct {
        LONG attenuation;
        DWORD sent;
    } settings[] = {
        {0, 65535},  {-1, 65528},   {-100, 64879},  {-2500, 49151}, {-5000, 32767}, {-7500, 16383}, {-9999, 6},
        {-10000, 0}, {-271, 63759}, {-1243, 57389}, {5000, 32767},  {10001, 0},     {LONG_MIN, 0},
    };
    for (const auto &s : settings) {
        deviceVolume = 0x5A5A5A5A;
        lastDevice = 99;
        CHECK_EQ(SetVolume(s.attenuation), 0);
        CHECK_EQ(deviceVolume, s.sent);
        CHECK_EQ(lastDevice, 0);
    }

    int same = 0, lower = 0, other = 0;
    for (LONG attenuation = 0; attenuation >= -10000; --attenuation) {
        SetVolume(attenuation);
        LONG read = GetVolume();
        if (read == attenuation)
            ++same;
        else if (read == attenuation - 1)
            ++lower;
        else
            ++other;
    }
    wt::Print("  round trip over 10001 attenuations: %d one lower, %d the same, %d other\n", lower, same, other);
    CHECK_EQ(lower, 9980);
    CHECK_EQ(same, 21);
    CHECK_EQ(other, 0);
}

// ---- ToggleMute, heard -------------------------------------------------------

// av.avi is 4 s of 440 Hz tone with video: mute once 1.5 s have played,
// unmute once 1 s more has. Measured here, sound reaches the sink 0.2 to
// 0.3 s after Run and follows a volume change within 0.15 s. Each window
// starts at least 0.3 s after the change it follows (0.8 s after Run, for
// the start-up) and ends at least 0.1 s before the next.
void Mute() {
    HWND host = wt::CreateHost(L"mute");
    CHECK_EQ(Initialize(), S_OK);
    SetHWND(host);
    if (!CHECK_EQ(InitGraph(wt::Media("av.avi")), S_OK)) return;

    // The position follows the graph's clock, so awaiting it keeps at least
    // as much real time between the marks as it names.
    constexpr LONGLONG kMs = 10000;
    CHECK(PlayPause() >= 0);
    wt::AudioMark("run");
    PUMP_UNTIL(wt::kDeadlineMs, GetPlayPositionCurrent() >= 1500 * kMs);
    LONG state = -1;
    CHECK_EQ(GetMuteState(&state), S_OK);
    CHECK_EQ(state, 0);
    HRESULT muted = ToggleMute();
    wt::AudioMark("muted");
    CHECK_EQ(GetMuteState(&state), S_OK); // read, and heard: silent below
    CHECK_EQ(state, 1);
    LONGLONG at = GetPlayPositionCurrent();
    wt::Print("  ToggleMute (mute) at %lld: 0x%lx\n", at, (unsigned long)muted);
    CHECK(muted >= 0);
    PUMP_UNTIL(wt::kDeadlineMs, GetPlayPositionCurrent() >= at + 1000 * kMs);
    HRESULT unmuted = ToggleMute();
    wt::AudioMark("unmuted");
    CHECK_EQ(GetMuteState(&state), S_OK);
    CHECK_EQ(state, 0);
    at = GetPlayPositionCurrent();
    wt::Print("  ToggleMute (unmute) at %lld: 0x%lx\n", at, (unsigned long)unmuted);
    CHECK(unmuted >= 0);
    PUMP_UNTIL(wt::kDeadlineMs, GetPlayPositionCurrent() >= at + 1000 * kMs);
    wt::AudioMark("end");

    wt::ExpectAudio("audible", "run", 800, 1400);
    wt::ExpectAudio("silent", "muted", 300, 900);
    wt::ExpectAudio("audible", "unmuted", 300, 900);

    // Never seeked, so stopping this graph is safe under Wine.
    ClearGraph();
    DestroyWindow(host);
    UnInitialize();
}

// ---- Two players, heard -------------------------------------------------------

// Waits until `player`'s position is `ms` past where it was.
void PlayOn(FLATPLAY_PLAYER player, LONGLONG ms) {
    LONGLONG from = 0, now = 0, duration = 0;
    PlayerGetPosition(player, &from, &duration);
    PUMP_UNTIL(wt::kDeadlineMs, SUCCEEDED(PlayerGetPosition(player, &now, &duration)) && now >= from + ms * 10000);
}

// Two players at once, a 440 Hz and a 1 kHz tone (10 s each): both heard;
// the second muted is gone while the first plays on, and unmuted comes back
// at its level (not full volume: it was never lowered, so the same); the
// first at -2000 (20 dB down) sounds at a tenth; the second at balance
// -10000 sounds on the left alone. Windows as in Mute; the amplitudes are
// the tones' own (Goertzel), each about 13,000 at full level.
void PlayersHeard() {
    FLATPLAY_PLAYER low = nullptr, high = nullptr;
    if (!CHECK_EQ(PlayerCreate(&low), S_OK) || !CHECK_EQ(PlayerCreate(&high), S_OK)) return;
    if (!CHECK_EQ(PlayerOpen(low, wt::Media("tone-440.wav")), S_OK) ||
        !CHECK_EQ(PlayerOpen(high, wt::Media("tone-1000.wav")), S_OK))
        return;
    CHECK(PlayerPlay(low) >= 0);
    CHECK(PlayerPlay(high) >= 0);
    wt::AudioMark("both");
    PlayOn(low, 1500);
    const struct {
        const char *mark;
        HRESULT (*change)(FLATPLAY_PLAYER, FLATPLAY_PLAYER);
    } steps[] = {
        {"muted", [](FLATPLAY_PLAYER, FLATPLAY_PLAYER h) { return PlayerSetMute(h, TRUE); }},
        {"unmuted", [](FLATPLAY_PLAYER, FLATPLAY_PLAYER h) { return PlayerSetMute(h, FALSE); }},
        {"lowered", [](FLATPLAY_PLAYER l, FLATPLAY_PLAYER) { return PlayerSetVolume(l, -2000); }},
        {"left", [](FLATPLAY_PLAYER, FLATPLAY_PLAYER h) { return PlayerSetBalance(h, -10000); }},
    };
    for (const auto &step : steps) {
        CHECK_EQ(step.change(low, high), S_OK);
        wt::AudioMark(step.mark);
        PlayOn(low, 1000);
    }
    wt::AudioMark("end");
    LONG state = -1;
    CHECK_EQ(PlayerGetState(high, &state), S_OK);
    CHECK_EQ(state, FLATPLAY_RUNNING);

    wt::ExpectTone("mono", 440, 8000, 20000, "both", 800, 1400);
    wt::ExpectTone("mono", 1000, 8000, 20000, "both", 800, 1400);
    wt::ExpectTone("mono", 440, 8000, 20000, "muted", 300, 900);
    wt::ExpectTone("mono", 1000, 0, 200, "muted", 300, 900);
    wt::ExpectToneRatio(1000, 80, 125, "both", "unmuted", 300, 900);
    wt::ExpectToneRatio(440, 7, 14, "both", "lowered", 300, 900);
    wt::ExpectTone("left", 1000, 8000, 20000, "left", 300, 900);
    wt::ExpectTone("right", 1000, 0, 200, "left", 300, 900);
    wt::ExpectTone("right", 440, 800, 2000, "left", 300, 900); // the first, lowered, on both sides still

    // WAVs: stopping them after their plays is safe under Wine.
    CHECK_EQ(PlayerDestroy(low), S_OK);
    CHECK_EQ(PlayerDestroy(high), S_OK);
}

const wt::Case kCases[] = {
    {"wine-device", WineDevice},
    {"arithmetic", Arithmetic},
    {"mute", Mute},
    {"players-heard", PlayersHeard},
};

} // namespace

WT_ENTRY_POINT(kCases)
