#include "support.h"

#include <limits>
#include <string>

namespace {

constexpr LONGLONG kMax = std::numeric_limits<LONGLONG>::max();
constexpr LONGLONG kMin = std::numeric_limits<LONGLONG>::min();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr HRESULT kUnexpected = static_cast<HRESULT>(0x8000FFFF);   // E_UNEXPECTED
constexpr HRESULT kNoTimeFormat = static_cast<HRESULT>(0x80040252); // VFW_E_NO_TIME_FORMAT_SET

constexpr PlayState kActive[] = {Running, Paused};

// Every timeline export once, with the result it gives when it may not act.
struct Refusal {
    const char *name;
    LONGLONG (*call)();
    LONGLONG result;
};
LONGLONG CallGetPlayPosition() {
    LONGLONG current = -7, duration = -7;
    HRESULT hr = GetPlayPosition(&current, &duration);
    EXPECT_EQ(current, -7) << "current written";
    EXPECT_EQ(duration, -7) << "duration written";
    return hr;
}
LONGLONG CallSeekSong() { return SeekSong(50.0f); }
LONGLONG CallSeekToTime() { return SeekToTime(20000000); }
const Refusal kExports[] = {
    {"GetPlayPositionDuration", GetPlayPositionDuration, 0},
    {"GetPlayPositionCurrent", GetPlayPositionCurrent, 0},
    {"GetPlayPositionDurationPercent", GetPlayPositionDurationPercent, 0},
    {"TotalTime", TotalTime, 0},
    {"GetPlayPosition", CallGetPlayPosition, E_FAIL},
    {"SeekSong", CallSeekSong, 0},
    {"SeekToTime", CallSeekToTime, 0},
};

// Each export refuses, calls nothing and leaves the state as it is.
void ExpectAllRefuse() {
    const LONG state = GetPlayState();
    for (const Refusal &e : kExports) {
        SCOPED_TRACE(testing::Message() << e.name << " in state " << static_cast<PlayState>(state));
        EXPECT_EQ(e.call(), e.result);
        EXPECT_EQ(GetPlayState(), state);
    }
    EXPECT_EQ(fake::TakeCalls(), Calls{});
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
}

} // namespace

using TimelineGateTest = PlayerTest;

// Without a graph the player is never active: at load it is Stopped, after
// Initialize or ClearGraph Closed.
TEST_F(TimelineGateTest, EveryExportRefusesWithoutAGraph) {
    fake::values().duration = 40000000;
    fake::values().position = 10000000;
    ExpectAllRefuse();
    ASSERT_EQ(Initialize(), S_OK);
    fake::TakeCalls();
    ExpectAllRefuse();
    Reach(Running);
    ClearGraph();
    fake::TakeCalls();
    ExpectAllRefuse();
}

// A graph without seeking (its query failed) still plays and pauses.
TEST_F(TimelineGateTest, EveryExportRefusesWithoutSeekingInEveryState) {
    fake::values().duration = 40000000;
    fake::values().position = 10000000;
    for (PlayState state : {Running, Paused, Closed}) {
        SCOPED_TRACE(state);
        Reach(state, "GB.QueryInterface(IID_IMediaSeeking)");
        ExpectAllRefuse();
    }
}

TEST_F(TimelineGateTest, EveryExportRefusesWithAGraphWhenNotRunningOrPaused) {
    fake::values().duration = 40000000;
    fake::values().position = 10000000;
    OpenClip();
    ExpectAllRefuse();
    Reach(Closed);
    ExpectAllRefuse();
}

TEST_F(TimelineGateTest, AfterStopTheGraphStandsAtZeroButEveryExportRefuses) {
    fake::values().duration = 40000000;
    Reach(Stopped);
    EXPECT_EQ(fake::values().position, 0);
    ExpectAllRefuse();
}

// No export and no platform fault writes a value outside the four states:
// only a corrupted record holds one. Every gate must still read it as
// inactive, and PlayPause, which runs only from Paused or Stopped, pauses.
TEST_F(TimelineGateTest, AStateOutsideTheFourCountsAsInactiveEverywhere) {
    fake::values().duration = 40000000;
    fake::values().position = 10000000;
    for (LONG corrupt : {4, -1}) {
        SCOPED_TRACE(corrupt);
        Reach(Running);
        g_ctx.m_nPlayState = corrupt; // every export writes one of the four
        EXPECT_EQ(GetPlayState(), corrupt);
        ExpectAllRefuse();
        EXPECT_EQ(Stop(), 0);
        EXPECT_EQ(FullScreen(TRUE), 0);
        EXPECT_EQ(fake::TakeCalls(), Calls{});
        EXPECT_EQ(GetPlayState(), corrupt);
        EXPECT_EQ(PlayPause(), S_OK);
        EXPECT_EQ(fake::TakeCalls(), Calls{"MC.Pause()"});
        EXPECT_EQ(GetPlayState(), Paused);
    }
}

TEST_F(TimelineGateTest, TheFirstPlayPauseAfterInitGraphLetsThemAnswer) {
    OpenClip();
    fake::values().duration = 40000000;
    fake::values().position = 0;
    EXPECT_EQ(TotalTime(), 0);
    PlayPause();
    EXPECT_EQ(TotalTime(), 4);
    EXPECT_EQ(GetPlayPositionDuration(), 40000000);
}

using TimelineQueryTest = PlayerTest;

// Seconds are truncated toward zero, never floored or rounded.
TEST_F(TimelineQueryTest, DurationAndPositionInUnitsAndWholeSeconds) {
    struct Row {
        LONGLONG units;
        LONGLONG seconds;
    };
    const Row rows[] = {
        {0, 0},        {1, 0},          {9999999, 0},         {10000000, 1},
        {39999999, 3}, {40000000, 4},   {1234567890, 123},    {-1, 0},
        {-9999999, 0}, {-15000000, -1}, {kMax, 922337203685}, {kMin, -922337203685},
    };
    for (PlayState state : kActive) {
        Reach(state);
        for (const Row &row : rows) {
            SCOPED_TRACE(testing::Message() << row.units << " in state " << state);
            fake::values().duration = row.units;
            fake::values().position = row.units;
            EXPECT_EQ(GetPlayPositionDuration(), row.units);
            EXPECT_EQ(TotalTime(), row.seconds);
            EXPECT_EQ(GetPlayPositionCurrent(), row.units);
            EXPECT_EQ(GetPlayPositionDurationPercent(), row.seconds);
            EXPECT_EQ(fake::TakeCalls(), (Calls{"MS.GetDuration()", "MS.GetDuration()", "MS.GetCurrentPosition()",
                                                "MS.GetCurrentPosition()"}));
            EXPECT_EQ(GetPlayState(), state);
        }
    }
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
}

TEST_F(TimelineQueryTest, DurationQueriesAskForTheDurationAndPositionQueriesForThePosition) {
    Reach(Running);
    fake::values().duration = 40000000;
    fake::values().position = 25000000;
    EXPECT_EQ(GetPlayPositionDuration(), 40000000);
    EXPECT_EQ(TotalTime(), 4);
    EXPECT_EQ(GetPlayPositionCurrent(), 25000000);
    EXPECT_EQ(GetPlayPositionDurationPercent(), 2);
}

TEST_F(TimelineQueryTest, AFailingQueryReadsAsZeroWithoutALine) {
    fake::values().duration = 40000000;
    fake::values().position = 25000000;
    fake::SetResult("MS.GetDuration", kNoTimeFormat);
    fake::SetResult("MS.GetCurrentPosition", E_NOTIMPL);
    for (PlayState state : kActive) {
        SCOPED_TRACE(state);
        Reach(state);
        EXPECT_EQ(GetPlayPositionDuration(), 0);
        EXPECT_EQ(TotalTime(), 0);
        EXPECT_EQ(GetPlayPositionCurrent(), 0);
        EXPECT_EQ(GetPlayPositionDurationPercent(), 0);
        EXPECT_EQ(GetPlayState(), state);
    }
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
}

TEST_F(TimelineQueryTest, ANonNegativeCodeStillGivesTheValue) {
    Reach(Paused);
    fake::values().duration = 40000000;
    fake::values().position = 25000000;
    fake::SetResult("MS.GetDuration", S_FALSE);
    fake::SetResult("MS.GetCurrentPosition", S_FALSE);
    EXPECT_EQ(GetPlayPositionDuration(), 40000000);
    EXPECT_EQ(TotalTime(), 4);
    EXPECT_EQ(GetPlayPositionCurrent(), 25000000);
    EXPECT_EQ(GetPlayPositionDurationPercent(), 2);
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
}

using GetPlayPositionTest = PlayerTest;

TEST_F(GetPlayPositionTest, AsksDurationThenPositionAndStoresPositionFirst) {
    fake::values().duration = 1234567890;
    fake::values().position = 9999999;
    for (PlayState state : kActive) {
        SCOPED_TRACE(state);
        Reach(state);
        LONGLONG current = -7, duration = -7;
        EXPECT_EQ(GetPlayPosition(&current, &duration), S_OK);
        EXPECT_EQ(current, 9999999);
        EXPECT_EQ(duration, 1234567890);
        EXPECT_EQ(fake::TakeCalls(), (Calls{"MS.GetDuration()", "MS.GetCurrentPosition()"}));
        EXPECT_EQ(GetPlayState(), state);
    }
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
}

TEST_F(GetPlayPositionTest, ReturnsThePositionQuerysCodeWhenBothSucceed) {
    struct Row {
        HRESULT duration, position;
    };
    const Row rows[] = {{S_FALSE, S_OK}, {S_OK, S_FALSE}, {0x00040237, 0x7FFFFFFF}};
    Reach(Running);
    fake::values().duration = 40000000;
    fake::values().position = 12345;
    for (const Row &row : rows) {
        fake::SetResult("MS.GetDuration", row.duration, 1);
        fake::SetResult("MS.GetCurrentPosition", row.position, 1);
        LONGLONG current = -7, duration = -7;
        EXPECT_EQ(GetPlayPosition(&current, &duration), row.position);
        EXPECT_EQ(current, 12345);
        EXPECT_EQ(duration, 40000000);
    }
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
}

TEST_F(GetPlayPositionTest, AFailingQueryWritesItsLineAndNeitherOutValue) {
    struct Row {
        const char *call;
        HRESULT code;
        const char16_t *text;
        Calls calls;
    };
    const Row rows[] = {
        {"MS.GetDuration", kNoTimeFormat, u"m_pMS->GetDuration(&llDuration)", {"MS.GetDuration()"}},
        {"MS.GetDuration", E_NOTIMPL, u"m_pMS->GetDuration(&llDuration)", {"MS.GetDuration()"}},
        {"MS.GetCurrentPosition",
         kUnexpected,
         u"m_pMS->GetCurrentPosition(&llCurrent)",
         {"MS.GetDuration()", "MS.GetCurrentPosition()"}},
        {"MS.GetCurrentPosition",
         E_FAIL,
         u"m_pMS->GetCurrentPosition(&llCurrent)",
         {"MS.GetDuration()", "MS.GetCurrentPosition()"}},
    };
    fake::values().duration = 40000000;
    fake::values().position = 12345;
    for (PlayState state : kActive) {
        Reach(state);
        for (const Row &row : rows) {
            SCOPED_TRACE(testing::Message() << row.call << " in state " << state);
            fake::SetResult(row.call, row.code, 1);
            LONGLONG current = -7, duration = -7;
            EXPECT_EQ(GetPlayPosition(&current, &duration), row.code);
            EXPECT_EQ(current, -7);
            EXPECT_EQ(duration, -7);
            EXPECT_EQ(fake::TakeCalls(), row.calls);
            EXPECT_EQ(fake::TakeDebugLines(), Lines{FailedLine(row.code, row.text)});
            EXPECT_EQ(GetPlayState(), state);
        }
    }
}

TEST_F(GetPlayPositionTest, ANullPointerGivesEPointerWithoutCallsOrWrites) {
    fake::values().duration = 40000000;
    fake::values().position = 12345;
    for (PlayState state : kActive) {
        SCOPED_TRACE(state);
        Reach(state);
        LONGLONG value = -7;
        EXPECT_EQ(GetPlayPosition(nullptr, &value), E_POINTER);
        EXPECT_EQ(GetPlayPosition(&value, nullptr), E_POINTER);
        EXPECT_EQ(GetPlayPosition(nullptr, nullptr), E_POINTER);
        EXPECT_EQ(value, -7);
        EXPECT_EQ(GetPlayState(), state);
    }
    EXPECT_EQ(fake::TakeCalls(), Calls{});
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
}

TEST_F(GetPlayPositionTest, TheGateComesBeforeThePointerCheck) {
    EXPECT_EQ(GetPlayPosition(nullptr, nullptr), E_FAIL) << "at load";
    for (PlayState state : {Stopped, Closed}) {
        SCOPED_TRACE(state);
        Reach(state);
        EXPECT_EQ(GetPlayPosition(nullptr, nullptr), E_FAIL);
    }
    Reach(Running, "GB.QueryInterface(IID_IMediaSeeking)");
    EXPECT_EQ(GetPlayPosition(nullptr, nullptr), E_FAIL);
    EXPECT_EQ(fake::TakeCalls(), Calls{});
}

using SeekSongTest = PlayerTest;

// Targets worked out independently with exact rational arithmetic rounded
// to single precision after each step. Rows marked "wide" would come out
// differently if the two products were not each rounded to single
// precision (x87 extended precision); "double" rows differ in double.
TEST_F(SeekSongTest, TargetsFollowTheSinglePrecisionStepsAndTruncateTowardZero) {
    struct Row {
        LONGLONG duration;
        float percent;
        LONGLONG target;
    };
    const Row rows[] = {
        {1000000000, 50.0f, 499999968},  // wide: 500000000
        {1000000000, 100.0f, 999999936}, // wide: 1000000000
        {1000000000, 0.0f, 0},
        {1000000000, -0.0f, 0},
        {40000000, 50.0f, 20000000},
        {40000000, 45.67f, 18267998},     // double: 18267999
        {40000000, 99.99f, 39995996},     // wide: 39996000
        {1000000000, 33.3f, 332999968},   // wide: 333000000
        {1234567890, 100.0f, 1234567936}, // the duration itself rounds up
        {999, 99.9f, 998},                // 998.0009765625
        {1000, 0.15f, 1},                 // 1.5
        {40000000, 1e-7f, 0},             // 0.04
        {0, 50.0f, 0},
        // Not clamped: outside 0..100 the graph gets what was computed.
        {1000000000, 150.0f, 1499999872}, // wide: 1500000000
        {1000000000, -10.0f, -100000000},
        {1000000000, -0.5f, -5000000},
        {1000, -0.15f, -1}, // -1.5, not -2
        {40000000, -45.67f, -18267998},
        {-1000000000, 50.0f, -499999968},
        // At the edge of the 64-bit range.
        {kMax, 99.99999237060546875f, 9223370937343148032}, // largest target below 2^63
        {kMax, 100.0f, kMax},                               // 2^63 saturates
        {kMin, 100.0f, kMin},                               // -2^63 is exact
        {1000000000000000000, 1e5f, kMax},                  // 9.9999995e20
        {-1000000000000000000, 1e5f, kMin},
        {1000000000, 1e30f, kMax}, // the first product overflows to infinity
        {1000000000, -1e30f, kMin},
        {1000000000, kInf, kMax},
        {1000000000, -kInf, kMin},
        // Not a number seeks to the start.
        {1000000000, kNaN, 0},
        {-1000000000, -kNaN, 0},
        {0, kInf, 0}, // 0 * infinity
    };
    for (PlayState state : kActive) {
        Reach(state);
        for (const Row &row : rows) {
            SCOPED_TRACE(testing::Message()
                         << "duration " << row.duration << " percent " << row.percent << " state " << state);
            fake::values().duration = row.duration;
            fake::values().position = 777;
            EXPECT_EQ(SeekSong(row.percent), S_OK);
            EXPECT_EQ(fake::TakeCalls(),
                      (Calls{"MS.GetDuration()", "MS.SetPositions(" + std::to_string(row.target) + ", 1, null, 0)"}));
            EXPECT_EQ(fake::values().position, row.target);
            EXPECT_EQ(GetPlayState(), state);
        }
    }
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
}

TEST_F(SeekSongTest, UsesTheSinglePrecisionHundredthOfItsPublishedBits) {
    // 2^40 * 1% is exact in single precision, so the target shows the
    // constant: 0x3C23D70A is 10737418 / 2^30, a little below 0.01 (a
    // double 0.01 would give 10995116277).
    Reach(Running);
    fake::values().duration = 1LL << 40;
    EXPECT_EQ(SeekSong(1.0f), S_OK);
    EXPECT_EQ(fake::values().position, 10737418LL * 1024);
}

TEST_F(SeekSongTest, SetPositionsFailureWritesItsLineAndKeepsTheState) {
    const HRESULT codes[] = {E_NOTIMPL, kUnexpected, static_cast<HRESULT>(0x80040227) /* VFW_E_WRONG_STATE */};
    fake::values().duration = 40000000;
    for (PlayState state : kActive) {
        Reach(state);
        for (HRESULT code : codes) {
            SCOPED_TRACE(testing::Message() << state << ", 0x" << std::hex << code);
            fake::SetResult("MS.SetPositions", code, 1);
            EXPECT_EQ(SeekSong(50.0f), code);
            EXPECT_EQ(fake::TakeCalls(), (Calls{"MS.GetDuration()", "MS.SetPositions(20000000, 1, null, 0)"}));
            EXPECT_EQ(fake::TakeDebugLines(),
                      Lines{FailedLine(code, u"m_pMS->SetPositions( &position, AM_SEEKING_AbsolutePositioning , "
                                             u"NULL, AM_SEEKING_NoPositioning )")});
            EXPECT_EQ(GetPlayState(), state);
        }
    }
}

TEST_F(SeekSongTest, ReturnsANonNegativeSetPositionsCodeWithoutALine) {
    Reach(Paused);
    fake::values().duration = 40000000;
    for (HRESULT code : {S_FALSE, 0x00040237, 0x7FFFFFFF}) {
        fake::SetResult("MS.SetPositions", code, 1);
        EXPECT_EQ(SeekSong(25.0f), code);
        EXPECT_EQ(GetPlayState(), Paused);
    }
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
}

// The duration's code is not looked at: a failing query reads as a length
// of 0, so the seek goes to the start.
TEST_F(SeekSongTest, AFailingDurationQuerySeeksToTheStartWithoutALine) {
    Reach(Running);
    fake::values().duration = 40000000;
    fake::values().position = 30000000;
    fake::SetResult("MS.GetDuration", kNoTimeFormat);
    EXPECT_EQ(SeekSong(50.0f), S_OK);
    EXPECT_EQ(fake::TakeCalls(), (Calls{"MS.GetDuration()", "MS.SetPositions(0, 1, null, 0)"}));
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
    EXPECT_EQ(GetPlayState(), Running);
}

TEST_F(SeekSongTest, KeepsARunningGraphRunningAndAPausedOnePaused) {
    OpenClip();
    fake::values().duration = 40000000;
    ASSERT_EQ(PlayPause(), S_OK);
    EXPECT_EQ(SeekSong(50.0f), S_OK);
    EXPECT_EQ(GetPlayState(), Running);
    ASSERT_EQ(PlayPause(), S_OK);
    EXPECT_EQ(SeekSong(75.0f), S_OK);
    EXPECT_EQ(GetPlayState(), Paused);
    EXPECT_EQ(GetPlayPositionCurrent(), 30000000);
    // Seeking touches nothing but the position.
    EXPECT_EQ(fake::TakeCalls(),
              (Calls{"MC.Run()", "MS.GetDuration()", "MS.SetPositions(20000000, 1, null, 0)", "MC.Pause()",
                     "MS.GetDuration()", "MS.SetPositions(30000000, 1, null, 0)", "MS.GetCurrentPosition()"}));
}
