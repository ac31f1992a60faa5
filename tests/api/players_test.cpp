// The pool players through their exports: handles refused before anything
// is touched, the pool, threads and COM, and each operation's calls, codes
// and gates, beside a default player that they never touch.
#include "support.h"
#include "video/tap.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

class PlayersTest : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        fake::NameProc(&PlayerTapProc, "PlayerTapProc");
        fake::values().duration = 40000000;
    }
    // Every player still alive is destroyed by its own thread.
    void TearDown() override {
        for (PoolPlayer &player : g_players) {
            if ((player.m_lSlot & kStatusMask) != Live) continue;
            fake::values().threadId = player.m_dwThread;
            EXPECT_EQ(PlayerDestroy(HandleOf(player)), S_OK);
        }
        PlayerTest::TearDown();
    }

    FLATPLAY_PLAYER Create() {
        FLATPLAY_PLAYER player = nullptr;
        EXPECT_EQ(PlayerCreate(&player), S_OK);
        fake::TakeCalls();
        return player;
    }
    // A player with clip.avi open, owned by `owner`, in `state`; the log emptied.
    FLATPLAY_PLAYER Open(PlayState state = Stopped, HWND owner = nullptr) {
        FLATPLAY_PLAYER player = Create();
        EXPECT_EQ(PlayerSetOwner(player, owner ? owner : host), S_OK);
        EXPECT_EQ(PlayerOpen(player, u"clip.avi"), S_OK);
        const HRESULT started = state == Running ? PlayerPlay(player) : state == Paused ? PlayerPause(player) : S_OK;
        EXPECT_GE(started, 0);
        fake::TakeCalls();
        return player;
    }
};

long long Number(FLATPLAY_PLAYER player) { return static_cast<long long>(reinterpret_cast<uintptr_t>(player)); }

LONG StateOf(FLATPLAY_PLAYER player) {
    LONG state = -1;
    PlayerGetState(player, &state);
    return state;
}

// The caption by which the player in `slot` finds its video window.
std::string Caption(int slot) {
    return Format("\"flatplay video %0*llx\"", static_cast<int>(2 * sizeof(uintptr_t)),
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(&g_players[slot])));
}

// Every export that takes a handle, called with valid other arguments, and
// its answer for a player without a file (nothing called then).
LONGLONG position, duration;
LONG code;
LONG_PTR param;
FLATPLAY_MEDIA_INFO info = {sizeof info, 0, 0, 0, 0, 0, 0};
const RECT rect = {0, 0, 320, 240};
const struct {
    const char *name;
    HRESULT (*call)(FLATPLAY_PLAYER);
    HRESULT withoutFile;
} kExports[] = {
    {"PlayerDestroy", [](FLATPLAY_PLAYER p) { return PlayerDestroy(p); }, S_OK},
    {"PlayerGetState", [](FLATPLAY_PLAYER p) { return PlayerGetState(p, &code); }, S_OK},
    {"PlayerOpen", [](FLATPLAY_PLAYER p) { return PlayerOpen(p, u"clip.avi"); }, S_OK},
    {"PlayerClose", [](FLATPLAY_PLAYER p) { return PlayerClose(p); }, S_OK},
    {"PlayerSetEventWindow", [](FLATPLAY_PLAYER p) { return PlayerSetEventWindow(p, nullptr, 0); }, S_OK},
    {"PlayerGetEvent", [](FLATPLAY_PLAYER p) { return PlayerGetEvent(p, &code, &param, &param); }, E_FAIL},
    {"PlayerGetMediaInfo", [](FLATPLAY_PLAYER p) { return PlayerGetMediaInfo(p, &info); }, E_FAIL},
    {"PlayerPlay", [](FLATPLAY_PLAYER p) { return PlayerPlay(p); }, E_FAIL},
    {"PlayerPause", [](FLATPLAY_PLAYER p) { return PlayerPause(p); }, E_FAIL},
    {"PlayerStop", [](FLATPLAY_PLAYER p) { return PlayerStop(p); }, E_FAIL},
    {"PlayerSeek", [](FLATPLAY_PLAYER p) { return PlayerSeek(p, 0); }, E_FAIL},
    {"PlayerGetPosition", [](FLATPLAY_PLAYER p) { return PlayerGetPosition(p, &position, &duration); }, E_FAIL},
    {"PlayerSetRate", [](FLATPLAY_PLAYER p) { return PlayerSetRate(p, 1.0); }, E_FAIL},
    {"PlayerSetVolume", [](FLATPLAY_PLAYER p) { return PlayerSetVolume(p, -100); }, S_OK},
    {"PlayerSetBalance", [](FLATPLAY_PLAYER p) { return PlayerSetBalance(p, 100); }, S_OK},
    {"PlayerSetMute", [](FLATPLAY_PLAYER p) { return PlayerSetMute(p, TRUE); }, S_OK},
    {"PlayerSetOwner", [](FLATPLAY_PLAYER p) { return PlayerSetOwner(p, nullptr); }, S_OK},
    {"PlayerSetVideoRect", [](FLATPLAY_PLAYER p) { return PlayerSetVideoRect(p, &rect); }, S_OK},
    {"PlayerShowVideo", [](FLATPLAY_PLAYER p) { return PlayerShowVideo(p, TRUE); }, E_FAIL},
    {"PlayerSetFullScreen", [](FLATPLAY_PLAYER p) { return PlayerSetFullScreen(p, TRUE); }, E_FAIL},
    {"PlayerSetMessageDrain", [](FLATPLAY_PLAYER p) { return PlayerSetMessageDrain(p, nullptr); }, S_OK},
};

HWND sessionHost;

} // namespace

// ---- Handles, the pool, threads and COM ---------------------------------------

TEST_F(PlayersTest, EveryBadHandleIsRefusedByEveryExportBeforeAnythingIsTouched) {
    FLATPLAY_PLAYER live = Open(Running), destroyed = Create();
    ASSERT_EQ(PlayerDestroy(destroyed), S_OK);
    FLATPLAY_PLAYER reborn = Create(); // the destroyed one's slot, a generation on
    ASSERT_EQ(Number(reborn) & kStatusMask, Number(destroyed) & kStatusMask);
    const auto value = static_cast<uintptr_t>(Number(live));
    const struct {
        const char *what;
        uintptr_t handle;
    } bad[] = {
        {"NULL", 0},
        {"destroyed, its slot reused", static_cast<uintptr_t>(Number(destroyed))},
        {"the live one's slot, the generation before", value - (1 << kSlotBits)},
        {"the live one's slot, the generation after", value + (1 << kSlotBits)},
        {"a slot past the pool", (value & ~uintptr_t{kStatusMask}) | FLATPLAY_MAX_PLAYERS},
        {"a never-used slot", (1 << kSlotBits) | (FLATPLAY_MAX_PLAYERS - 1)},
        {"a small number", 1},
        {"a pointer", reinterpret_cast<uintptr_t>(&g_players[0])},
        {"all bits", std::numeric_limits<uintptr_t>::max()},
    };
    const Calls untouched = fake::TakeCalls();
    for (const auto &handle : bad)
        for (const auto &e : kExports) {
            SCOPED_TRACE(std::string(handle.what) + ", " + e.name);
            EXPECT_EQ(e.call(reinterpret_cast<FLATPLAY_PLAYER>(handle.handle)), E_HANDLE);
        }
    fake::values().threadId = 2; // another thread, with the live handles
    for (FLATPLAY_PLAYER player : {live, reborn})
        for (const auto &e : kExports) EXPECT_EQ(e.call(player), RPC_E_WRONG_THREAD) << e.name;
    fake::values().threadId = 1;
    EXPECT_EQ(fake::TakeCalls(), untouched);
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
    EXPECT_EQ(StateOf(live), Running);
    EXPECT_EQ(StateOf(reborn), Closed);
}

TEST_F(PlayersTest, ThePoolFillsRefusesOneMoreAndGivesASlotBackWithANewGeneration) {
    FLATPLAY_PLAYER players[FLATPLAY_MAX_PLAYERS];
    for (FLATPLAY_PLAYER &player : players) {
        player = Create();
        EXPECT_NE(player, nullptr);
        for (FLATPLAY_PLAYER *other = players; other != &player; ++other) EXPECT_NE(*other, player);
    }
    FLATPLAY_PLAYER more = players[0];
    EXPECT_EQ(PlayerCreate(&more), FLATPLAY_E_NO_MORE_PLAYERS);
    EXPECT_EQ(more, nullptr);
    EXPECT_EQ(PlayerCreate(nullptr), E_POINTER);
    EXPECT_EQ(fake::TakeCalls(), Calls{});

    ASSERT_EQ(PlayerDestroy(players[3]), S_OK);
    EXPECT_EQ(fake::TakeCalls(), Calls{"CoUninitialize()"});
    ASSERT_EQ(PlayerCreate(&more), S_OK);
    EXPECT_NE(more, players[3]);
    EXPECT_EQ(PlayerGetState(players[3], &code), E_HANDLE);
    EXPECT_EQ(StateOf(more), Closed);
}

// A thread's COM: started and ended by the player, or used as it is.
TEST_F(PlayersTest, EachPlayerStartsComUnlessItsThreadHasAnotherApartment) {
    const struct {
        HRESULT answer, created;
        Calls destroy;
    } rows[] = {
        {S_OK, S_OK, {"CoUninitialize()"}},
        {S_FALSE, S_OK, {"CoUninitialize()"}},
        {RPC_E_CHANGED_MODE, S_OK, {}}, // a single-threaded apartment: kept
        {E_OUTOFMEMORY, E_OUTOFMEMORY, {}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.answer);
        fake::SetResult("CoInitializeEx", row.answer, 1);
        FLATPLAY_PLAYER player = nullptr;
        EXPECT_EQ(PlayerCreate(&player), row.created);
        EXPECT_EQ(fake::TakeCalls(), Calls{"CoInitializeEx(null, 0)"});
        if (FAILED(row.created)) {
            EXPECT_EQ(player, nullptr);
            continue;
        }
        EXPECT_EQ(PlayerDestroy(player), S_OK);
        EXPECT_EQ(fake::TakeCalls(), row.destroy);
    }
    for (const PoolPlayer &player : g_players) EXPECT_EQ(player.m_lSlot & kStatusMask, Free);
}

TEST_F(PlayersTest, TwoThreadsEachUseTheirOwnPlayers) {
    FLATPLAY_PLAYER first = Open(Running);
    fake::values().threadId = 2;
    FLATPLAY_PLAYER second = Open(Paused);
    EXPECT_EQ(PlayerPlay(first), RPC_E_WRONG_THREAD);
    EXPECT_EQ(PlayerPlay(second), S_OK);
    fake::values().threadId = 1;
    EXPECT_EQ(PlayerStop(second), RPC_E_WRONG_THREAD);
    EXPECT_EQ(StateOf(first), Running);
}

// ---- Operations -----------------------------------------------------------------

TEST_F(PlayersTest, WithoutAFileTheGraphsExportsFailAndTheSettingsAreKept) {
    FLATPLAY_PLAYER player = Create();
    // Not the two that change what follows: destroying it and opening a file.
    for (const auto &e : kExports)
        if (e.call != kExports[0].call && e.call != kExports[2].call) {
            EXPECT_EQ(e.call(player), e.withoutFile) << e.name;
        }
    EXPECT_EQ(fake::TakeCalls(), Calls{});
    EXPECT_EQ(StateOf(player), Closed);
}

TEST_F(PlayersTest, OpenGivesEachFileThePlayersSettingsAndCloseGivesItAllBack) {
    FLATPLAY_PLAYER player = Create();
    HWND drain = fake::NewWindow("drain");
    ASSERT_EQ(PlayerSetOwner(player, host), S_OK);
    ASSERT_EQ(PlayerSetEventWindow(player, host, 0x8001), S_OK);
    ASSERT_EQ(PlayerSetMessageDrain(player, drain), S_OK);
    ASSERT_EQ(PlayerSetVolume(player, -2500), S_OK);
    ASSERT_EQ(PlayerSetBalance(player, -800), S_OK);
    EXPECT_EQ(PlayerOpen(player, u"clip.avi"), S_OK);
    Calls opened = Opened();
    opened.insert(opened.begin() + 4, Format("ME.SetNotifyWindow(host, 32769, %lld)", Number(player)));
    EXPECT_EQ(fake::TakeCalls(),
              Join({opened, {"VW.put_MessageDrain(drain)", "BA.put_Volume(-2500)", "BA.put_Balance(-800)"}}));
    EXPECT_EQ(StateOf(player), Stopped);
    EXPECT_EQ(PlayerOpen(player, nullptr), E_POINTER);
    EXPECT_EQ(fake::TakeCalls(), Calls{});
    EXPECT_EQ(PlayerClose(player), S_OK);
    EXPECT_EQ(fake::TakeCalls(), Cleared());
    EXPECT_EQ(StateOf(player), Closed);
}

// From each state, each transport call: the calls made and the state after.
TEST_F(PlayersTest, TransportHasOneMeaningPerCallInEveryState) {
    const Calls seekStopped = {"MS.GetDuration()", "MS.SetPositions(20000000, 1, null, 0)"};
    const struct {
        PlayState from;
        HRESULT (*call)(FLATPLAY_PLAYER);
        Calls calls;
        PlayState to;
    } rows[] = {
        {Stopped, PlayerPlay, {"MC.Run()"}, Running},
        {Running, PlayerPlay, {"MC.Run()"}, Running},
        {Stopped, PlayerPause, {"MC.Pause()"}, Paused},
        {Running, PlayerStop, {"MC.Stop()", "MS.SetPositions(0, 1, null, 0)"}, Stopped},
        {Paused, PlayerStop, {"MC.Stop()", "MS.SetPositions(0, 1, null, 0)"}, Stopped},
        {Stopped, [](FLATPLAY_PLAYER p) { return PlayerSeek(p, 20000000); }, seekStopped, Stopped},
        {Running,
         [](FLATPLAY_PLAYER p) { return PlayerSeek(p, 20000000); },
         {"MS.GetDuration()", "MC.Stop()", "MS.SetPositions(20000000, 1, null, 0)", "MC.Run()"},
         Running},
        {Paused,
         [](FLATPLAY_PLAYER p) { return PlayerSeek(p, -1); },
         {"MS.GetDuration()", "MC.Stop()", "MS.SetPositions(0, 1, null, 0)", "MC.Pause()"},
         Paused},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.from) + " -> " + ::testing::PrintToString(row.to));
        FLATPLAY_PLAYER player = Open(row.from);
        EXPECT_EQ(row.call(player), S_OK);
        EXPECT_EQ(fake::TakeCalls(), row.calls);
        EXPECT_EQ(StateOf(player), row.to);
        PlayerDestroy(player);
    }
    FLATPLAY_PLAYER player = Open(Paused);
    fake::SetResult("MC.Run", E_FAIL, 1);
    EXPECT_EQ(PlayerPlay(player), E_FAIL);
    EXPECT_EQ(fake::TakeDebugLines(), Lines{FailedLine(E_FAIL, u"m_pMC->Run()")});
    EXPECT_EQ(StateOf(player), Paused);
}

TEST_F(PlayersTest, PositionAndDurationAnswerInEveryStateAndOnlyTogether) {
    FLATPLAY_PLAYER player = Open(Stopped);
    fake::values().position = 12345;
    EXPECT_EQ(PlayerGetPosition(player, &position, &duration), S_OK);
    EXPECT_EQ(position, 12345);
    EXPECT_EQ(duration, 40000000);
    EXPECT_EQ(fake::TakeCalls(), Calls({"MS.GetDuration()", "MS.GetCurrentPosition()"}));
    EXPECT_EQ(PlayerGetPosition(player, nullptr, &duration), E_POINTER);
    fake::SetResult("MS.GetCurrentPosition", E_FAIL, 1);
    position = duration = 7;
    EXPECT_EQ(PlayerGetPosition(player, &position, &duration), E_FAIL);
    EXPECT_EQ(position + duration, 14);
}

TEST_F(PlayersTest, LevelBalanceAndMuteAreKeptAndUnmuteGivesTheLevelBack) {
    FLATPLAY_PLAYER player = Open(Running);
    const struct {
        HRESULT (*call)(FLATPLAY_PLAYER);
        HRESULT code;
        Calls calls;
    } rows[] = {
        {[](FLATPLAY_PLAYER p) { return PlayerSetVolume(p, -2000); }, S_OK, {"BA.put_Volume(-2000)"}},
        {[](FLATPLAY_PLAYER p) { return PlayerSetMute(p, TRUE); }, S_OK, {"BA.put_Volume(-10000)"}},
        {[](FLATPLAY_PLAYER p) { return PlayerSetVolume(p, -3000); }, S_OK, {}}, // muted: heard at the unmute
        {[](FLATPLAY_PLAYER p) { return PlayerSetMute(p, FALSE); }, S_OK, {"BA.put_Volume(-3000)"}},
        {[](FLATPLAY_PLAYER p) { return PlayerSetVolume(p, 1); }, E_INVALIDARG, {}},
        {[](FLATPLAY_PLAYER p) { return PlayerSetVolume(p, -10001); }, E_INVALIDARG, {}},
        {[](FLATPLAY_PLAYER p) { return PlayerSetBalance(p, 10000); }, S_OK, {"BA.put_Balance(10000)"}},
        {[](FLATPLAY_PLAYER p) { return PlayerSetBalance(p, -10001); }, E_INVALIDARG, {}},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(row.call(player), row.code);
        EXPECT_EQ(fake::TakeCalls(), row.calls);
    }
    fake::SetResult("BA.put_Volume", E_NOTIMPL, 1); // a file without sound: recorded all the same
    EXPECT_EQ(PlayerSetMute(player, TRUE), E_NOTIMPL);
    EXPECT_EQ(PlayerOpen(player, u"clip.avi"), S_OK);
    const Calls calls = fake::TakeCalls();
    EXPECT_EQ(Calls(calls.end() - 2, calls.end()), Calls({"BA.put_Volume(-10000)", "BA.put_Balance(10000)"}));
}

TEST_F(PlayersTest, RateGoesToTheGraphOnlyWhenFiniteAndAboveZero) {
    FLATPLAY_PLAYER player = Open(Running);
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    for (double rate : {0.0, -0.0, -1.0, -2.0, nan, -nan, inf, -inf})
        EXPECT_EQ(PlayerSetRate(player, rate), E_INVALIDARG);
    EXPECT_EQ(fake::TakeCalls(), Calls{});
    for (double rate : {0.5, 2.0, std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::max()})
        EXPECT_EQ(PlayerSetRate(player, rate), S_OK);
    EXPECT_EQ(fake::TakeCalls(),
              Calls({"MS.SetRate(0.5)", "MS.SetRate(2)", "MS.SetRate(4.94066e-324)", "MS.SetRate(1.79769e+308)"}));
}

// ---- Video and taps ---------------------------------------------------------------

TEST_F(PlayersTest, TwoVideosInOneWindowEachForwardTheirOwnTapsAndNoControlIsTouched) {
    HWND button = fake::NewWindow("button"), videos[2] = {fake::NewWindow("video0"), fake::NewWindow("video1")};
    fake::SetFirstChild(host, button); // the host's own control first, above both videos
    FLATPLAY_PLAYER players[2];
    for (int i = 0; i < 2; ++i) {
        fake::GiveVideoWindow(i, videos[i]);
        players[i] = Open(Running);
        EXPECT_EQ(PlayerSetVideoRect(players[i], &rect), S_OK);
        EXPECT_EQ(PlayerShowVideo(players[i], TRUE), S_OK);
        const std::string caption = Caption(i);
        const std::string video = i ? "video1" : "video0";
        EXPECT_EQ(
            fake::TakeCalls(),
            Calls({"GB.QueryInterface(IID_IBasicVideo)", "BV.GetVideoSize()", "BV.Release()",
                   "VW.SetWindowPosition(0, 0, 320, 240)", "VW.put_Visible(-1)", "VW.put_Caption(" + caption + ")",
                   "FindWindowExW(host, null, null, " + caption + ")", "GetWindowLongPtrW(" + video + ", -4)",
                   "SetWindowLongPtrW(" + video + ", -4, PlayerTapProc)"}));
    }
    for (int i : {1, 0}) {
        fake::Deliver(videos[i], WM_LBUTTONUP, 0, 0);
        const std::string video = i ? "video1" : "video0";
        EXPECT_EQ(fake::TakeCalls(),
                  Calls({Format("PostMessageW(host, 0x%x, 0, %lld)", WM_VIDEO_TAPPED, Number(players[i])),
                         Format("CallWindowProcW(OwnProc, %s, 0x202, 0, 0)", video.c_str()),
                         Format("OwnProc(%s, 0x202, 0, 0)", video.c_str())}));
    }
    HWND other = fake::NewWindow("other"); // a new owner takes the taps from now on
    EXPECT_EQ(PlayerSetOwner(players[0], other), S_OK);
    fake::TakeCalls();
    fake::Deliver(videos[0], WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(fake::TakeCalls()[0], Format("PostMessageW(other, 0x%x, 0, %lld)", WM_VIDEO_TAPPED, Number(players[0])));
    EXPECT_EQ(PlayerShowVideo(players[1], TRUE), S_OK); // looked up once per file
    EXPECT_EQ(fake::TakeCalls().size(), 5u);
    EXPECT_EQ(PlayerClose(players[0]), S_OK);
    EXPECT_EQ(fake::TakeCalls().front(), "SetWindowLongPtrW(video0, -4, OwnProc)");
    EXPECT_EQ(fake::ProcOf(button), fake::ProcOf(other)); // the own procedure, never replaced
}

TEST_F(PlayersTest, FullScreenReportsTheRenderersAnswerAndComesBackShown) {
    FLATPLAY_PLAYER player = Open(Paused);
    fake::SetResult("VW.put_FullScreenMode", E_NOTIMPL, 1);
    EXPECT_EQ(PlayerSetFullScreen(player, TRUE), E_NOTIMPL);
    EXPECT_EQ(PlayerSetFullScreen(player, TRUE), S_OK);
    EXPECT_EQ(PlayerSetFullScreen(player, FALSE), S_OK);
    EXPECT_EQ(fake::TakeCalls(),
              Calls({"VW.put_FullScreenMode(-1)", "VW.put_FullScreenMode(-1)", "VW.put_FullScreenMode(0)",
                     "GetSystemMetrics(0)", "VW.SetWindowPosition(4, 14, 312, 223)", "VW.put_Visible(-1)",
                     "VW.put_Caption(" + Caption(0) + ")", "FindWindowExW(host, null, null, " + Caption(0) + ")"}));
}

// ---- Beside the default player --------------------------------------------------

// The default player's whole session logs the same calls with a pool
// player working between its calls, and that player's own calls never
// reach the default player's graph or windows.
TEST_F(PlayersTest, TheDefaultPlayerLogsTheSameWithAPlayerWorkingInBetween) {
    HRESULT(*const session[])
    () = {
        Initialize,
        [] { return SetHWND(sessionHost); },
        [] { return InitGraph(u"a.avi"); },
        [] { return PutForeground(TRUE); },
        PlayPause,
        [] { return SeekToTime(10000000); },
        ToggleMute,
        [] { return FullScreen(TRUE); },
        PlayPause,
        Stop,
        [] { return SetEventWindow(sessionHost, 0x8002); },
        [] {
            ClearGraph();
            return S_OK;
        },
        UnInitialize,
    };
    // No volume among them: the fake's graphs share one volume.
    HRESULT(*const between[])
    (FLATPLAY_PLAYER) = {
        [](FLATPLAY_PLAYER p) { return PlayerOpen(p, u"b.avi"); },
        [](FLATPLAY_PLAYER p) { return PlayerSetOwner(p, sessionHost); },
        PlayerPlay,
        [](FLATPLAY_PLAYER p) { return PlayerShowVideo(p, TRUE); },
        PlayerPause,
        [](FLATPLAY_PLAYER p) { return PlayerSeek(p, 30000000); },
        [](FLATPLAY_PLAYER p) { return PlayerSetFullScreen(p, TRUE); },
        [](FLATPLAY_PLAYER p) { return PlayerSetRate(p, 2.0); },
        [](FLATPLAY_PLAYER p) { return PlayerSetEventWindow(p, sessionHost, 0x8003); },
        [](FLATPLAY_PLAYER p) { return PlayerGetPosition(p, &position, &duration); },
        PlayerStop,
        [](FLATPLAY_PLAYER p) { return PlayerGetMediaInfo(p, &info); },
        PlayerClose,
    };
    static_assert(std::size(session) == std::size(between));
    Calls alone, interleaved;
    for (int pass = 0; pass < 2; ++pass) {
        PlayerTest::TearDown();
        PlayerTest::SetUp();
        sessionHost = host;
        fake::SetFirstChild(host, fake::NewWindow("video"));
        FLATPLAY_PLAYER player = pass ? Create() : nullptr;
        for (size_t i = 0; i < std::size(session); ++i) {
            session[i]();
            const Calls calls = fake::TakeCalls();
            (pass ? interleaved : alone).insert((pass ? interleaved : alone).end(), calls.begin(), calls.end());
            if (player) {
                EXPECT_GE(between[i](player), 0) << i;
            }
            fake::TakeCalls();
        }
    }
    EXPECT_EQ(interleaved, alone);
}
