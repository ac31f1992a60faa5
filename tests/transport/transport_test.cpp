#include "support.h"

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
        LONG from;
        const char *call;
        LONG to;
    };
    const Row rows[] = {
        {Running, "MC.Pause()", Paused}, {Paused, "MC.Run()", Running}, {Stopped, "MC.Run()", Running},
        {Closed, "MC.Pause()", Paused},  {4, "MC.Pause()", Paused},     {-1, "MC.Pause()", Paused},
    };
    OpenClip();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.from);
        g_ctx.m_nPlayState = row.from;
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

TEST_F(PlayPauseTest, WithoutMediaControlFailsInEveryStateWithoutCalls) {
    for (LONG state : {Running, Paused, Stopped, Closed}) {
        SCOPED_TRACE(state);
        g_ctx.m_nPlayState = state;
        EXPECT_EQ(PlayPause(), E_FAIL);
        EXPECT_EQ(GetPlayState(), state);
    }
    // A graph whose other interfaces are all there does not help.
    OpenClip();
    Without<IMediaControl> noControl(g_ctx.m_pMC);
    for (LONG state : {Running, Paused, Stopped, Closed}) {
        SCOPED_TRACE(state);
        g_ctx.m_nPlayState = state;
        EXPECT_EQ(PlayPause(), E_FAIL);
        EXPECT_EQ(GetPlayState(), state);
    }
    EXPECT_EQ(fake::TakeCalls(), Calls{});
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
}

TEST_F(PlayPauseTest, FailedRunOrPauseWritesItsLineAndKeepsTheState) {
    struct Row {
        LONG from;
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
    OpenClip();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.code);
        g_ctx.m_nPlayState = row.from;
        fake::SetResult(row.call, row.code, 1);
        EXPECT_EQ(PlayPause(), row.code);
        EXPECT_EQ(fake::TakeCalls().size(), 1u);
        EXPECT_EQ(fake::TakeDebugLines(), Lines{FailedLine(row.code, row.text)});
        EXPECT_EQ(GetPlayState(), row.from);
    }
}

TEST_F(PlayPauseTest, NonNegativeCodesCountAsSuccessAndAreReturned) {
    struct Row {
        LONG from;
        const char *call;
        HRESULT code;
        LONG to;
    };
    const Row rows[] = {
        {Stopped, "MC.Run", S_FALSE, Running},
        {Running, "MC.Pause", kIntermediate, Paused},
        {Paused, "MC.Run", 0x7FFFFFFF, Running},
        {Closed, "MC.Pause", S_FALSE, Paused},
    };
    OpenClip();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.code);
        g_ctx.m_nPlayState = row.from;
        fake::SetResult(row.call, row.code, 1);
        EXPECT_EQ(PlayPause(), row.code);
        EXPECT_EQ(GetPlayState(), row.to);
        EXPECT_EQ(fake::TakeDebugLines(), Lines{});
    }
}

using StopTest = PlayerTest;

TEST_F(StopTest, WhileRunningOrPausedStopsRewindsAndPauses) {
    OpenClip();
    for (LONG state : {Running, Paused}) {
        SCOPED_TRACE(state);
        g_ctx.m_nPlayState = state;
        fake::values().position = 123456789;
        EXPECT_EQ(Stop(), S_OK);
        EXPECT_EQ(fake::TakeCalls(), kStopCalls);
        EXPECT_EQ(GetPlayState(), Stopped);
        EXPECT_EQ(fake::values().position, 0);
        EXPECT_EQ(fake::TakeDebugLines(), Lines{});
    }
}

TEST_F(StopTest, WhenNotActiveDoesNothing) {
    OpenClip(); // Stopped, right after InitGraph
    for (LONG state : {LONG{Stopped}, LONG{Closed}, 4, -1}) {
        SCOPED_TRACE(state);
        g_ctx.m_nPlayState = state;
        EXPECT_EQ(Stop(), 0);
        EXPECT_EQ(GetPlayState(), state);
    }
    EXPECT_EQ(fake::TakeCalls(), Calls{});
}

TEST_F(StopTest, WithoutControlOrSeekingDoesNothingInAnyState) {
    for (LONG state : {Running, Paused, Stopped, Closed}) {
        g_ctx.m_nPlayState = state;
        EXPECT_EQ(Stop(), 0);
        EXPECT_EQ(GetPlayState(), state);
    }
    OpenClip();
    {
        Without<IMediaControl> noControl(g_ctx.m_pMC);
        for (LONG state : {Running, Paused, Stopped, Closed}) {
            g_ctx.m_nPlayState = state;
            EXPECT_EQ(Stop(), 0);
            EXPECT_EQ(GetPlayState(), state);
        }
    }
    {
        Without<IMediaSeeking> noSeeking(g_ctx.m_pMS);
        for (LONG state : {Running, Paused, Stopped, Closed}) {
            g_ctx.m_nPlayState = state;
            EXPECT_EQ(Stop(), 0);
            EXPECT_EQ(GetPlayState(), state);
        }
    }
    EXPECT_EQ(fake::TakeCalls(), Calls{});
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
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
    OpenClip();
    for (const Step &step : steps) {
        for (LONG state : {Running, Paused}) {
            SCOPED_TRACE(std::string(step.call) + " from " + std::to_string(state));
            g_ctx.m_nPlayState = state;
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
    OpenClip();
    for (const Row &row : rows) {
        g_ctx.m_nPlayState = Running;
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
