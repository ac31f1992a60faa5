#include "support.h"

#include <limits>

namespace {

const Calls kStopCalls = {"MC.Stop()", "MS.SetPositions(0, 1, null, 0)", "MC.Pause()"};

// Platform failures and successes other than S_OK, as DirectShow returns them.
constexpr HRESULT kUnexpected = static_cast<HRESULT>(0x8000FFFF);   // E_UNEXPECTED
constexpr HRESULT kWrongState = static_cast<HRESULT>(0x80040227);   // VFW_E_WRONG_STATE
constexpr HRESULT kNotConnected = static_cast<HRESULT>(0x80040209); // VFW_E_NOT_CONNECTED
constexpr HRESULT kIntermediate = 0x00040237;                       // VFW_S_STATE_INTERMEDIATE

} // namespace

using PlayPauseTest = PlayerTest;

TEST_F(PlayPauseTest, RunsFromPausedOrStoppedAndPausesFromAnyOtherState) {
    struct Row {
        PlayState from;
        const char *call;
        PlayState to;
    };
    const Row rows[] = {
        {Running, "MC.Pause()", Paused},
        {Paused, "MC.Run()", Running},
        {Stopped, "MC.Run()", Running},
        {Closed, "MC.Pause()", Paused},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.from);
        Reach(row.from);
        EXPECT_EQ(PlayPause(), S_OK);
        EXPECT_EQ(fake::TakeCalls(), Calls{row.call});
        EXPECT_EQ(GetPlayState(), row.to);
        EXPECT_EQ(fake::TakeDebugLines(), Lines{});
    }
}

TEST_F(PlayPauseTest, TogglesRunPauseRunAfterInitGraph) {
    OpenClip();
    EXPECT_EQ(PlayPause(), S_OK);
    EXPECT_EQ(GetPlayState(), Running);
    EXPECT_EQ(PlayPause(), S_OK);
    EXPECT_EQ(GetPlayState(), Paused);
    EXPECT_EQ(PlayPause(), S_OK);
    EXPECT_EQ(GetPlayState(), Running);
    EXPECT_EQ(fake::TakeCalls(), (Calls{"MC.Run()", "MC.Pause()", "MC.Run()"}));
}

TEST_F(PlayPauseTest, AfterInitializeWithAGraphHeldPausesTheGraph) {
    OpenClip();
    ASSERT_EQ(Initialize(), S_FALSE);
    ASSERT_EQ(GetPlayState(), Closed);
    fake::TakeCalls();

    EXPECT_EQ(PlayPause(), S_OK);
    EXPECT_EQ(fake::TakeCalls(), Calls{"MC.Pause()"});
    EXPECT_EQ(GetPlayState(), Paused);
}

// Without control the player cannot be active: only Stopped (at load) and
// Closed are left to try.
TEST_F(PlayPauseTest, WithoutMediaControlFailsWithoutCalls) {
    auto expectRefused = [](PlayState state) {
        SCOPED_TRACE(state);
        EXPECT_EQ(PlayPause(), E_FAIL);
        EXPECT_EQ(GetPlayState(), state);
        EXPECT_EQ(fake::TakeCalls(), Calls{});
        EXPECT_EQ(fake::TakeDebugLines(), Lines{});
    };
    expectRefused(Stopped); // at load
    ASSERT_EQ(Initialize(), S_OK);
    fake::TakeCalls();
    expectRefused(Closed);
    // A graph manager without its control does not help.
    Reach(Closed, "GB.QueryInterface(IID_IMediaControl)");
    expectRefused(Closed);
    Reach(Closed, "GB.RenderFile");
    expectRefused(Closed);
    // Given back after playing.
    Reach(Running);
    ClearGraph();
    fake::TakeCalls();
    expectRefused(Closed);
}

TEST_F(PlayPauseTest, FailedRunOrPauseWritesItsLineAndKeepsTheState) {
    struct Row {
        PlayState from;
        const char *call;
        HRESULT code;
        const char16_t *text;
    };
    const Row rows[] = {
        {Paused, "MC.Run", E_FAIL, u"m_pMC->Run()"},
        {Stopped, "MC.Run", kUnexpected, u"m_pMC->Run()"},
        {Stopped, "MC.Run", E_OUTOFMEMORY, u"m_pMC->Run()"},
        {Running, "MC.Pause", kWrongState, u"m_pMC->Pause()"},
        {Closed, "MC.Pause", kNotConnected, u"m_pMC->Pause()"},
        {Running, "MC.Pause", static_cast<HRESULT>(0x80000000), u"m_pMC->Pause()"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << row.from << ", 0x" << std::hex << row.code);
        Reach(row.from);
        fake::SetResult(row.call, row.code, 1);
        EXPECT_EQ(PlayPause(), row.code);
        EXPECT_EQ(fake::TakeCalls(), Calls{std::string(row.call) + "()"});
        EXPECT_EQ(fake::TakeDebugLines(), Lines{FailedLine(row.code, row.text)});
        EXPECT_EQ(GetPlayState(), row.from);
    }
}

TEST_F(PlayPauseTest, NonNegativeCodesCountAsSuccessAndAreReturned) {
    struct Row {
        PlayState from;
        const char *call;
        HRESULT code;
        PlayState to;
    };
    const Row rows[] = {
        {Stopped, "MC.Run", S_FALSE, Running},
        {Running, "MC.Pause", kIntermediate, Paused},
        {Paused, "MC.Run", 0x7FFFFFFF, Running},
        {Closed, "MC.Pause", S_FALSE, Paused},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << row.from << ", 0x" << std::hex << row.code);
        Reach(row.from);
        fake::SetResult(row.call, row.code, 1);
        EXPECT_EQ(PlayPause(), row.code);
        EXPECT_EQ(fake::TakeCalls(), Calls{std::string(row.call) + "()"});
        EXPECT_EQ(GetPlayState(), row.to);
        EXPECT_EQ(fake::TakeDebugLines(), Lines{});
    }
}

using StopTest = PlayerTest;

TEST_F(StopTest, WhileRunningOrPausedStopsRewindsAndPauses) {
    for (PlayState state : {Running, Paused}) {
        SCOPED_TRACE(state);
        Reach(state);
        fake::values().position = 123456789;
        EXPECT_EQ(Stop(), S_OK);
        EXPECT_EQ(fake::TakeCalls(), kStopCalls);
        EXPECT_EQ(GetPlayState(), Stopped);
        EXPECT_EQ(fake::values().position, 0);
        EXPECT_EQ(fake::TakeDebugLines(), Lines{});
    }
}

TEST_F(StopTest, WhenNotActiveDoesNothing) {
    auto expectIgnored = [](PlayState state) {
        SCOPED_TRACE(state);
        EXPECT_EQ(Stop(), 0);
        EXPECT_EQ(GetPlayState(), state);
        EXPECT_EQ(fake::TakeCalls(), Calls{});
    };
    OpenClip(); // Stopped, right after InitGraph
    expectIgnored(Stopped);
    Reach(Stopped);
    expectIgnored(Stopped);
    Reach(Closed);
    expectIgnored(Closed);
}

TEST_F(StopTest, WithoutControlOrSeekingDoesNothingInAnyState) {
    auto expectIgnored = [](PlayState state) {
        SCOPED_TRACE(state);
        EXPECT_EQ(Stop(), 0);
        EXPECT_EQ(GetPlayState(), state);
        EXPECT_EQ(fake::TakeCalls(), Calls{});
        EXPECT_EQ(fake::TakeDebugLines(), Lines{});
    };
    expectIgnored(Stopped); // at load, no graph
    ASSERT_EQ(Initialize(), S_OK);
    fake::TakeCalls();
    expectIgnored(Closed);
    Reach(Closed, "GB.QueryInterface(IID_IMediaControl)");
    expectIgnored(Closed);
    // A graph without seeking still plays and pauses, but is not stopped.
    for (PlayState state : {Running, Paused, Closed}) {
        Reach(state, "GB.QueryInterface(IID_IMediaSeeking)");
        expectIgnored(state);
    }
    // A corrupted record only: kept because Stop would otherwise call through null.
    for (PlayState state : {Running, Paused}) {
        Reach(state);
        Without<IMediaControl> noControl(g_ctx.m_pMC); // only ClearGraph and InitGraph drop it, and both close
        expectIgnored(state);
    }
}

// Each call of Stop fails in turn: the log stops there, one line names
// it, and the state is Stopped once the graph's own Stop has succeeded.
TEST_F(StopTest, FaultSweepReportsEachFailureAndKeepsStoppedOnceTheGraphStopped) {
    struct Step {
        const char *call;
        HRESULT code;
        const char16_t *text;
        size_t callsMade;
        bool stopped;
    };
    const Step steps[] = {
        {"MC.Stop", kUnexpected, u"m_pMC->Stop()", 1, false},
        {"MS.SetPositions", static_cast<HRESULT>(0x80004001) /* E_NOTIMPL */,
         u"m_pMS->SetPositions(&pos, AM_SEEKING_AbsolutePositioning , NULL, AM_SEEKING_NoPositioning)", 2, true},
        {"MC.Pause", kWrongState, u"m_pMC->Pause()", 3, true},
    };
    for (const Step &step : steps) {
        for (PlayState state : {Running, Paused}) {
            SCOPED_TRACE(testing::Message() << step.call << " from " << state);
            Reach(state);
            fake::SetResult(step.call, step.code, 1);
            EXPECT_EQ(Stop(), step.code);
            EXPECT_EQ(fake::TakeCalls(),
                      Calls(kStopCalls.begin(), kStopCalls.begin() + static_cast<long>(step.callsMade)));
            EXPECT_EQ(fake::TakeDebugLines(), Lines{FailedLine(step.code, step.text)});
            EXPECT_EQ(GetPlayState(), step.stopped ? Stopped : state);
        }
    }
}

TEST_F(StopTest, NonNegativeCodesCountAsSuccessAndThePauseCodeIsReturned) {
    struct Row {
        HRESULT stop, setPositions, pause;
    };
    const Row rows[] = {
        {S_FALSE, S_OK, S_OK},
        {S_OK, S_FALSE, S_OK},
        {S_OK, S_OK, S_FALSE},
        {S_FALSE, kIntermediate, kIntermediate},
        {kIntermediate, S_FALSE, 0x7FFFFFFF},
    };
    for (const Row &row : rows) {
        Reach(Running);
        fake::SetResult("MC.Stop", row.stop, 1);
        fake::SetResult("MS.SetPositions", row.setPositions, 1);
        fake::SetResult("MC.Pause", row.pause, 1);
        EXPECT_EQ(Stop(), row.pause);
        EXPECT_EQ(fake::TakeCalls(), kStopCalls);
        EXPECT_EQ(GetPlayState(), Stopped);
        EXPECT_EQ(fake::TakeDebugLines(), Lines{});
    }
}

TEST_F(StopTest, TheNextPlayPauseRunsFromTheStart) {
    OpenClip();
    PlayPause();
    fake::values().position = 30000000;
    ASSERT_EQ(Stop(), S_OK);
    fake::TakeCalls();
    EXPECT_EQ(PlayPause(), S_OK);
    EXPECT_EQ(fake::TakeCalls(), Calls{"MC.Run()"});
    EXPECT_EQ(GetPlayState(), Running);
    EXPECT_EQ(fake::values().position, 0);
}

TEST_F(StopTest, AfterStopItDoesNothingUntilThePlayerIsActiveAgain) {
    OpenClip();
    PlayPause();
    ASSERT_EQ(Stop(), S_OK);
    fake::TakeCalls();
    EXPECT_EQ(Stop(), 0);
    EXPECT_EQ(fake::TakeCalls(), Calls{});
    EXPECT_EQ(GetPlayState(), Stopped);
}

// ---- SeekToTime -------------------------------------------------------------

using SeekToTimeTest = PlayerTest;

// Clamped to the clip, seeked while stopped, then run or paused as before.
// A failing call ends it with its line; the state is Stopped once the
// graph's Stop has succeeded.
TEST_F(SeekToTimeTest, ClampsSeeksStoppedRestartsAndReportsEachFailure) {
    constexpr LONGLONG kMin = std::numeric_limits<LONGLONG>::min(), kMax = std::numeric_limits<LONGLONG>::max();
    const struct {
        PlayState from;
        LONGLONG target, duration;
        const char *seeked, *failing;
        const char16_t *text;
        size_t callsMade;
        PlayState after;
    } rows[] = {
        {Running, 25000000, 40000000, "25000000", nullptr, nullptr, 4, Running},
        {Paused, -1, 40000000, "0", nullptr, nullptr, 4, Paused},
        {Running, kMin, 40000000, "0", nullptr, nullptr, 4, Running},
        {Running, 40000001, 40000000, "40000000", nullptr, nullptr, 4, Running},
        {Running, kMax, 36001440000, "36001440000", nullptr, nullptr, 4, Running},
        {Running, 5000000, 0, "0", nullptr, nullptr, 4, Running}, // a length the graph reports as 0
        {Running, 0, 40000000, "0", "MS.GetDuration", u"m_pMS->GetDuration(&llDuration)", 1, Running},
        {Paused, 0, 40000000, "0", "MC.Stop", u"m_pMC->Stop()", 2, Paused},
        {Running, 0, 40000000, "0", "MS.SetPositions",
         u"m_pMS->SetPositions(&pos, AM_SEEKING_AbsolutePositioning , NULL, AM_SEEKING_NoPositioning)", 3, Stopped},
        {Running, 0, 40000000, "0", "MC.Run", u"m_pMC->Run()", 4, Stopped},
        {Paused, 0, 40000000, "0", "MC.Pause", u"m_pMC->Pause()", 4, Stopped},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << row.from << " " << row.target << " " << (row.failing ? row.failing : ""));
        Reach(row.from);
        fake::values().duration = row.duration;
        if (row.failing) fake::SetResult(row.failing, kWrongState, 1);
        fake::SetResult(row.from == Running ? "MC.Run" : "MC.Pause", S_FALSE, 1); // the restart's code comes back
        EXPECT_EQ(SeekToTime(row.target), row.failing ? kWrongState : S_FALSE);
        const Calls all = {"MS.GetDuration()", "MC.Stop()", Format("MS.SetPositions(%s, 1, null, 0)", row.seeked),
                           row.from == Running ? "MC.Run()" : "MC.Pause()"};
        EXPECT_EQ(fake::TakeCalls(), Calls(all.begin(), all.begin() + static_cast<long>(row.callsMade)));
        EXPECT_EQ(fake::TakeDebugLines(), row.failing ? Lines{FailedLine(kWrongState, row.text)} : Lines{});
        EXPECT_EQ(GetPlayState(), row.after);
    }
}
