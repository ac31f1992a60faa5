// ToggleMute: the graph's audio volume between full (0) and silent (-10000),
// re-read from the graph at every call.
#include "support.h"

#include <limits>

namespace {

// The two calls of a toggle that sets `volume`.
Calls Toggled(const char *volume) { return Calls{"BA.get_Volume()", std::string("BA.put_Volume(") + volume + ")"}; }

} // namespace

using ToggleMuteTest = PlayerTest;

// Without a graph the player is Stopped (at load) or Closed.
TEST_F(ToggleMuteTest, WithoutAGraphReturnsZeroAndCallsNothing) {
    EXPECT_EQ(ToggleMute(), 0) << "at load";
    EXPECT_EQ(g_ctx.m_lVolume, 0);
    // Muted on an earlier graph: that value stays as it is.
    Reach(Running);
    fake::values().audioVolume = 0;
    ASSERT_EQ(ToggleMute(), S_OK);
    ClearGraph();
    fake::TakeCalls();
    EXPECT_EQ(ToggleMute(), 0);
    EXPECT_EQ(GetPlayState(), Closed);
    EXPECT_EQ(fake::TakeCalls(), Calls{});
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
    EXPECT_EQ(g_ctx.m_lVolume, -10000);
}

// InitGraph stopped at the audio query: the graph manager is held, the
// audio interface is not, and the graph still plays.
TEST_F(ToggleMuteTest, WithoutTheAudioInterfaceReturnsZeroAndCallsNothingInEveryState) {
    for (PlayState state : {Running, Paused, Stopped, Closed}) {
        SCOPED_TRACE(state);
        Reach(state, "GB.QueryInterface(IID_IBasicAudio)");
        ASSERT_EQ(fake::Refs(fake::GraphsCreated() - 1, "GB"), 1);
        EXPECT_EQ(ToggleMute(), 0);
        EXPECT_EQ(fake::TakeCalls(), Calls{});
        EXPECT_EQ(fake::TakeDebugLines(), Lines{});
    }
}

// A corrupted record only: kept because ToggleMute checks both pointers.
TEST_F(ToggleMuteTest, WithoutTheGraphManagerReturnsZeroAndCallsNothing) {
    OpenClip();
    Without<IGraphBuilder> noGraph(g_ctx.m_pGB); // every interface comes from it and is released first
    EXPECT_EQ(ToggleMute(), 0);
    EXPECT_EQ(fake::TakeCalls(), Calls{});
    EXPECT_EQ(fake::values().audioVolume, 0);
}

TEST_F(ToggleMuteTest, OnFullVolumeMutesThenRestoresFull) {
    OpenClip();
    fake::values().audioVolume = 0;

    EXPECT_EQ(ToggleMute(), S_OK);
    EXPECT_EQ(fake::TakeCalls(), Toggled("-10000"));
    EXPECT_EQ(fake::values().audioVolume, -10000);
    EXPECT_EQ(g_ctx.m_lVolume, -10000);

    EXPECT_EQ(ToggleMute(), S_OK);
    EXPECT_EQ(fake::TakeCalls(), Toggled("0"));
    EXPECT_EQ(fake::values().audioVolume, 0);
    EXPECT_EQ(g_ctx.m_lVolume, 0);
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
}

// Nothing is saved: a lowered volume comes back full, not at its old level.
TEST_F(ToggleMuteTest, OnALoweredVolumeRestoresFullThenMutes) {
    OpenClip();
    fake::values().audioVolume = -3000;

    EXPECT_EQ(ToggleMute(), S_OK);
    EXPECT_EQ(fake::TakeCalls(), Toggled("0"));
    EXPECT_EQ(fake::values().audioVolume, 0);

    EXPECT_EQ(ToggleMute(), S_OK);
    EXPECT_EQ(fake::TakeCalls(), Toggled("-10000"));
    EXPECT_EQ(fake::values().audioVolume, -10000);
    EXPECT_EQ(g_ctx.m_lVolume, -10000);
}

TEST_F(ToggleMuteTest, OnlyFullVolumeIsMutedAnythingElseBecomesFull) {
    OpenClip();
    const struct {
        LONG before, after;
    } cases[] = {
        {0, -10000}, {-1, 0}, {-3000, 0}, {-10000, 0}, {1, 0}, {std::numeric_limits<LONG>::min(), 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.before);
        fake::values().audioVolume = c.before;
        EXPECT_EQ(ToggleMute(), S_OK);
        EXPECT_EQ(fake::values().audioVolume, c.after);
        EXPECT_EQ(g_ctx.m_lVolume, c.after);
    }
}

// The host turned the sound back up between two toggles: the second toggle
// sees that and mutes again instead of flipping what it wrote last.
TEST_F(ToggleMuteTest, RereadsTheGraphVolumeAtEveryToggle) {
    OpenClip();
    fake::values().audioVolume = 0;
    ASSERT_EQ(ToggleMute(), S_OK);
    fake::values().audioVolume = 0;
    fake::TakeCalls();

    EXPECT_EQ(ToggleMute(), S_OK);
    EXPECT_EQ(fake::TakeCalls(), Toggled("-10000"));
    EXPECT_EQ(fake::values().audioVolume, -10000);
}

TEST_F(ToggleMuteTest, WorksInEveryPlayState) {
    for (PlayState state : {Running, Paused, Stopped, Closed}) {
        SCOPED_TRACE(state);
        Reach(state);
        fake::values().audioVolume = 0;
        EXPECT_EQ(ToggleMute(), S_OK);
        EXPECT_EQ(fake::TakeCalls(), Toggled("-10000"));
        EXPECT_EQ(GetPlayState(), state);
    }
}

TEST_F(ToggleMuteTest, PassesASuccessCodeOfPutVolumeThrough) {
    OpenClip();
    fake::SetResult("BA.put_Volume", S_FALSE);
    EXPECT_EQ(ToggleMute(), S_FALSE);
    EXPECT_EQ(fake::values().audioVolume, -10000);
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
}

// E_NOTIMPL is what Wine's audio renderer answers without a sound server.
TEST_F(ToggleMuteTest, FailingGetVolumeReturnsItsCodeWritesItsLineAndSetsNothing) {
    const struct {
        HRESULT code;
        const char16_t *line;
    } cases[] = {
        {E_NOTIMPL, u"Failed in pBA->get_Volume!  hr=0x80004001\r\n"},
        {E_FAIL, u"Failed in pBA->get_Volume!  hr=0x80004005\r\n"},
        {static_cast<HRESULT>(0x80040256) /* VFW_E_NO_AUDIO_HARDWARE */,
         u"Failed in pBA->get_Volume!  hr=0x80040256\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(Format("0x%x", static_cast<unsigned>(c.code)));
        OpenClip();
        // Left at 0 by a first toggle; then the host lowers the volume. The
        // failing read writes nothing, so the field keeps the 0.
        fake::values().audioVolume = -3000;
        ASSERT_EQ(ToggleMute(), S_OK);
        fake::values().audioVolume = -2000;
        fake::TakeCalls();
        fake::SetResult("BA.get_Volume", c.code, 1);

        EXPECT_EQ(ToggleMute(), c.code);
        EXPECT_EQ(fake::TakeCalls(), Calls{"BA.get_Volume()"});
        EXPECT_EQ(fake::TakeDebugLines(), Lines{c.line});
        EXPECT_EQ(g_ctx.m_lVolume, 0);
        EXPECT_EQ(fake::values().audioVolume, -2000);
        ClearGraph();
    }
}

// The value that was not applied stays in m_lVolume; the next toggle reads
// the graph again and tries the same change.
TEST_F(ToggleMuteTest, FailingPutVolumeReturnsItsCodeWritesItsLineAndKeepsTheNewValue) {
    OpenClip();
    fake::values().audioVolume = 0;
    fake::SetResult("BA.put_Volume", E_FAIL, 1);

    EXPECT_EQ(ToggleMute(), E_FAIL);
    EXPECT_EQ(fake::TakeCalls(), Toggled("-10000"));
    EXPECT_EQ(fake::TakeDebugLines(), (Lines{FailedLine(E_FAIL, u"m_pBA->put_Volume(m_lVolume)")}));
    EXPECT_EQ(g_ctx.m_lVolume, -10000);
    EXPECT_EQ(fake::values().audioVolume, 0);

    EXPECT_EQ(ToggleMute(), S_OK);
    EXPECT_EQ(fake::TakeCalls(), Toggled("-10000"));
    EXPECT_EQ(fake::values().audioVolume, -10000);
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
}

TEST_F(ToggleMuteTest, NeitherTakesNorGivesBackReferences) {
    OpenClip();
    ToggleMute();
    ToggleMute();
    for (const char *object : {"GB", "BA"}) EXPECT_EQ(fake::Refs(0, object), 1) << object;
}

// ---- GetMuteState -------------------------------------------------------------

using GetMuteStateTest = PlayerTest;

// Muted is whatever ToggleMute would turn up: anything short of full.
// Refusals (no graph, no audio, no sound: E_NOTIMPL) leave the value.
TEST_F(GetMuteStateTest, TellsWhatToggleMuteWouldTurnUpOrLeavesTheValue) {
    const struct {
        LONG volume;
        const char *missing; // in the graph's open
        HRESULT getVolume, result;
        LONG muted;
    } rows[] = {{0, nullptr, S_OK, S_OK, 0},
                {-1, nullptr, S_OK, S_OK, 1},
                {-10000, nullptr, S_FALSE, S_FALSE, 1},
                {1, nullptr, S_OK, S_OK, 1},
                {std::numeric_limits<LONG>::min(), nullptr, S_OK, S_OK, 1},
                {-1, nullptr, E_NOTIMPL, E_NOTIMPL, 7},
                {-1, "GB.QueryInterface(IID_IBasicAudio)", S_OK, E_FAIL, 7}};
    LONG muted = 7;
    EXPECT_EQ(GetMuteState(nullptr), E_POINTER);
    EXPECT_EQ(GetMuteState(&muted), E_FAIL) << "no graph";
    for (const auto &row : rows) {
        SCOPED_TRACE(row.volume);
        Reach(Paused, row.missing);
        fake::values().audioVolume = row.volume;
        fake::SetResult("BA.get_Volume", row.getVolume, 1);
        muted = 7;
        EXPECT_EQ(GetMuteState(&muted), row.result);
        EXPECT_EQ(muted, row.muted);
        EXPECT_EQ(fake::values().audioVolume, row.volume);
        EXPECT_EQ(fake::TakeDebugLines(), Lines{});
    }
}
