#include "support.h"
#include "video/tap.h"

#include <ostream>
#include <string>

namespace {

const char *const kSmallPosition = "VW.SetWindowPosition(4, 14, 312, 223)";
const char *const kWidePosition = "VW.SetWindowPosition(9, 27, 519, 393)";
const Calls kHookChild = {"GetWindow(host, 5)", "GetWindowLongPtrW(video, -4)",
                          "SetWindowLongPtrW(video, -4, VideoTapProc)"};
const Calls kHide = {"VW.put_Visible(0)", "VW.SetWindowForeground(0)"};
const Calls kTellDrain = {Format("VW.NotifyOwnerMessage(drain, 0x%x, 0, 0)", WM_VIDEO_MODE_CHANGED),
                          Format("PostMessageW(drain, 0x%x, 0, 0)", WM_VIDEO_MODE_CHANGED)};

class VideoTest : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        video = fake::NewWindow("video");
        fake::SetFirstChild(host, video);
        fake::NameProc(&VideoTapProc, "VideoTapProc");
    }

    // The show branch of PutForeground on the default 240 x 320 screen.
    static Calls Show() {
        return {"GetSystemMetrics(0)", kSmallPosition, "VW.put_Visible(-1)", "VW.SetWindowForeground(-1)"};
    }
    // The off branch of FullScreen on the default 240 x 320 screen.
    static Calls Embed() {
        return {"VW.put_FullScreenMode(0)", "VW.put_Visible(-1)", "GetSystemMetrics(0)", kSmallPosition,
                "VW.SetWindowForeground(-1)"};
    }

    HWND video = nullptr;
};

// ---- Both branches of PutForeground and FullScreen, screen by screen ------

struct Screen {
    int width, height;
    Calls placement; // metrics asked, then the position chosen
};

// Test names and failures show the screen, not its bytes.
void PrintTo(const Screen &screen, std::ostream *os) { *os << screen.width << "x" << screen.height; }

const Screen kScreens[] = {
    {800, 480, {"GetSystemMetrics(0)", "GetSystemMetrics(1)", kWidePosition}},
    {480, 800, {"GetSystemMetrics(0)", kSmallPosition}},
    {320, 240, {"GetSystemMetrics(0)", kSmallPosition}},
    {240, 320, {"GetSystemMetrics(0)", kSmallPosition}},
    {640, 480, {"GetSystemMetrics(0)", kSmallPosition}},
    // The wide rectangle needs both: the width alone or the height alone is not enough.
    {800, 600, {"GetSystemMetrics(0)", "GetSystemMetrics(1)", kSmallPosition}},
    {1024, 480, {"GetSystemMetrics(0)", kSmallPosition}},
};

class VideoScreenTest : public VideoTest, public ::testing::WithParamInterface<Screen> {
protected:
    void SetUp() override {
        VideoTest::SetUp();
        fake::values().screenWidth = GetParam().width;
        fake::values().screenHeight = GetParam().height;
        OpenClip();
    }
};

INSTANTIATE_TEST_SUITE_P(Screens, VideoScreenTest, ::testing::ValuesIn(kScreens),
                         [](const ::testing::TestParamInfo<Screen> &row) {
                             return ::testing::PrintToString(row.param);
                         });

TEST_P(VideoScreenTest, PutForegroundShowPlacesThenShowsThenRaisesThenHooksTheChild) {
    EXPECT_EQ(PutForeground(TRUE), S_OK);
    EXPECT_EQ(fake::TakeCalls(),
              Join({GetParam().placement, {"VW.put_Visible(-1)", "VW.SetWindowForeground(-1)"}, kHookChild}));
}

TEST_P(VideoScreenTest, PutForegroundHideOnlyHidesAndLowers) {
    EXPECT_EQ(PutForeground(FALSE), S_OK);
    EXPECT_EQ(fake::TakeCalls(), kHide);
}

TEST_P(VideoScreenTest, FullScreenOnOnlySwitchesTheMode) {
    Reach(Running);
    EXPECT_EQ(FullScreen(TRUE), S_OK);
    EXPECT_EQ(fake::TakeCalls(), Calls{"VW.put_FullScreenMode(-1)"});
}

TEST_P(VideoScreenTest, FullScreenOffShowsThenPlacesThenRaises) {
    Reach(Running);
    EXPECT_EQ(FullScreen(FALSE), S_OK);
    EXPECT_EQ(fake::TakeCalls(), Join({{"VW.put_FullScreenMode(0)", "VW.put_Visible(-1)"},
                                       GetParam().placement,
                                       {"VW.SetWindowForeground(-1)"}}));
}

// ---- PutForeground ----------------------------------------------------------

using VideoPutForegroundTest = VideoTest;

TEST_F(VideoPutForegroundTest, WithoutAGraphFailsAndCallsNothing) {
    Initialize();
    SetHWND(host);
    fake::TakeCalls();
    EXPECT_EQ(PutForeground(TRUE), E_FAIL);
    EXPECT_EQ(PutForeground(FALSE), E_FAIL);
    EXPECT_EQ(fake::TakeCalls(), Calls{});
    ASSERT_EQ(InitGraph(u"clip.avi"), S_OK);
    fake::TakeCalls();
    EXPECT_EQ(PutForeground(TRUE), S_OK);
    EXPECT_EQ(fake::TakeCalls(), Join({Show(), kHookChild})) << "the refused showing took no child";
}

TEST_F(VideoPutForegroundTest, AnyNonZeroFlagShows) {
    OpenClip();
    bool first = true;
    for (BOOL flag : {1, -1, 2, 0x100, static_cast<BOOL>(0x80000000)}) {
        SCOPED_TRACE(flag);
        EXPECT_EQ(PutForeground(flag), S_OK);
        EXPECT_EQ(fake::TakeCalls(), first ? Join({Show(), kHookChild}) : Show());
        first = false;
    }
}

TEST_F(VideoPutForegroundTest, WorksAlikeInEveryPlayStateAndKeepsIt) {
    for (PlayState state : {Running, Paused, Stopped, Closed}) {
        SCOPED_TRACE(state);
        Reach(state);
        EXPECT_EQ(PutForeground(TRUE), S_OK);
        EXPECT_EQ(PutForeground(FALSE), S_OK);
        EXPECT_EQ(PutForeground(TRUE), S_OK);
        EXPECT_EQ(fake::TakeCalls(), Join({Show(), kHookChild, kHide, Show()}));
        EXPECT_EQ(GetPlayState(), state);
    }
}

TEST_F(VideoPutForegroundTest, HidingLeavesPositionAndForwardingAlone) {
    OpenClip();
    PutForeground(FALSE);
    EXPECT_EQ(fake::TakeCalls(), kHide) << "hiding must not look for the child";
    PutForeground(TRUE);
    EXPECT_EQ(fake::TakeCalls(), Join({Show(), kHookChild}));
    PutForeground(FALSE);
    EXPECT_EQ(fake::TakeCalls(), kHide);
    EXPECT_EQ(fake::ProcOf(video), &VideoTapProc) << "hiding must not take the forwarding out";
}

// The result and the calls stay the same whichever call fails; only a
// showing that failed leaves the host's child alone (see the tap tests).
TEST_F(VideoPutForegroundTest, FailingVideoWindowCallsChangeNeitherTheResultNorTheCalls) {
    struct Row {
        const char *call;
        bool hooks;
    };
    const Row rows[] = {{"VW.SetWindowPosition", true}, {"VW.put_Visible", false}, {"VW.SetWindowForeground", true}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.call);
        OpenClip();
        fake::SetResult(row.call, E_FAIL, 1);
        EXPECT_EQ(PutForeground(TRUE), S_OK);
        EXPECT_EQ(fake::TakeCalls(), row.hooks ? Join({Show(), kHookChild}) : Show());
        EXPECT_EQ(PutForeground(FALSE), S_OK);
        EXPECT_EQ(fake::TakeDebugLines(), Lines{});
        ClearGraph();
    }
}

// ---- FullScreen -------------------------------------------------------------

using VideoFullScreenTest = VideoTest;

// A drain named on an earlier graph stays; without a video window it hears nothing.
TEST_F(VideoFullScreenTest, WithoutAVideoWindowFailsInEveryStateAndTellsNobody) {
    auto expectRefused = [](PlayState state) {
        SCOPED_TRACE(state);
        EXPECT_EQ(FullScreen(TRUE), E_FAIL);
        EXPECT_EQ(FullScreen(FALSE), E_FAIL);
        EXPECT_EQ(fake::TakeCalls(), Calls{});
        EXPECT_EQ(GetPlayState(), state);
    };
    expectRefused(Stopped); // at load
    Reach(Running);
    ASSERT_EQ(PutMessageDrain(fake::NewWindow("drain")), S_OK);
    ClearGraph();
    fake::TakeCalls();
    expectRefused(Closed);
    // The video window's query failed: the graph still plays.
    for (PlayState state : {Running, Paused, Stopped, Closed}) {
        Reach(state, "GB.QueryInterface(IID_IVideoWindow)");
        expectRefused(state);
    }
}

TEST_F(VideoFullScreenTest, ActsOnlyWhenRunningOrPaused) {
    struct Row {
        PlayState state;
        bool acts;
    };
    const Row rows[] = {{Running, true}, {Paused, true}, {Stopped, false}, {Closed, false}};
    HWND drain = fake::NewWindow("drain");
    for (const Row &row : rows) {
        SCOPED_TRACE(row.state);
        Reach(row.state);
        ASSERT_EQ(PutMessageDrain(drain), S_OK);
        fake::TakeCalls();
        EXPECT_EQ(FullScreen(TRUE), S_OK);
        EXPECT_EQ(fake::TakeCalls(), row.acts ? Join({{"VW.put_FullScreenMode(-1)"}, kTellDrain}) : Calls{});
        EXPECT_EQ(FullScreen(FALSE), S_OK);
        EXPECT_EQ(fake::TakeCalls(), row.acts ? Join({Embed(), kTellDrain}) : Calls{});
        EXPECT_EQ(GetPlayState(), row.state);
    }
}

TEST_F(VideoFullScreenTest, WithNoDrainNamedHandsOnAndPostsNothing) {
    Reach(Paused);
    FullScreen(TRUE);
    FullScreen(FALSE);
    EXPECT_EQ(fake::TakeCalls(), Join({{"VW.put_FullScreenMode(-1)"}, Embed()}));
}

TEST_F(VideoFullScreenTest, AnyNonZeroFlagSwitchesOn) {
    Reach(Running);
    for (BOOL flag : {1, -1, 2, static_cast<BOOL>(0x80000000)}) {
        SCOPED_TRACE(flag);
        FullScreen(flag);
        EXPECT_EQ(fake::TakeCalls(), Calls{"VW.put_FullScreenMode(-1)"});
    }
}

// Wine's renderer answers E_NOTIMPL to every full-screen call.
TEST_F(VideoFullScreenTest, TellsTheDrainAndReturnsZeroEvenWhenEveryCallFails) {
    Reach(Running);
    ASSERT_EQ(PutMessageDrain(fake::NewWindow("drain")), S_OK);
    fake::TakeCalls();
    for (const char *call : {"VW.put_FullScreenMode", "VW.put_Visible", "VW.SetWindowPosition",
                             "VW.SetWindowForeground", "VW.NotifyOwnerMessage"})
        fake::SetResult(call, E_NOTIMPL);
    fake::SetResult("PostMessageW", FALSE);
    EXPECT_EQ(FullScreen(TRUE), S_OK);
    EXPECT_EQ(fake::TakeCalls(), Join({{"VW.put_FullScreenMode(-1)"}, kTellDrain}));
    EXPECT_EQ(FullScreen(FALSE), S_OK);
    EXPECT_EQ(fake::TakeCalls(), Join({Embed(), kTellDrain}));
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
}

TEST_F(VideoFullScreenTest, OffShowsTheVideoAgainAfterPutForegroundHidIt) {
    Reach(Running);
    PutForeground(TRUE);
    PutForeground(FALSE);
    fake::TakeCalls();
    FullScreen(FALSE);
    EXPECT_EQ(fake::TakeCalls(), Embed());
}

// ---- IsFullScreen -----------------------------------------------------------

using VideoIsFullScreenTest = VideoTest;

TEST_F(VideoIsFullScreenTest, ANullPointerIsRefusedWithoutAnyCall) {
    EXPECT_EQ(IsFullScreen(nullptr), E_POINTER);
    OpenClip();
    EXPECT_EQ(IsFullScreen(nullptr), E_POINTER);
    EXPECT_EQ(fake::TakeCalls(), Calls{});
}

TEST_F(VideoIsFullScreenTest, WithoutAGraphFailsAndLeavesTheValue) {
    LONG on = 7;
    EXPECT_EQ(IsFullScreen(&on), E_FAIL);
    EXPECT_EQ(on, 7);
    EXPECT_EQ(fake::TakeCalls(), Calls{});
}

TEST_F(VideoIsFullScreenTest, StoresTheModeAsOneOrZero) {
    struct Row {
        LONG mode;
        LONG stored;
    };
    const Row rows[] = {{OAFALSE, 0}, {OATRUE, 1}, {1, 1}, {2, 1}, {static_cast<LONG>(0x80000000), 1}};
    OpenClip();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.mode);
        fake::values().fullScreenMode = row.mode;
        LONG on = 7;
        EXPECT_EQ(IsFullScreen(&on), S_OK);
        EXPECT_EQ(on, row.stored);
        EXPECT_EQ(fake::TakeCalls(), Calls{"VW.get_FullScreenMode()"});
    }
}

TEST_F(VideoIsFullScreenTest, AModeThatCannotBeReadIsReportedAsEmbedded) {
    OpenClip();
    fake::values().fullScreenMode = OATRUE;
    fake::SetResult("VW.get_FullScreenMode", E_NOTIMPL);
    LONG on = 7;
    EXPECT_EQ(IsFullScreen(&on), S_OK);
    EXPECT_EQ(on, 0);
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
}

TEST_F(VideoIsFullScreenTest, FollowsFullScreen) {
    Reach(Running);
    LONG on = 7;
    FullScreen(TRUE);
    IsFullScreen(&on);
    EXPECT_EQ(on, 1);
    FullScreen(FALSE);
    IsFullScreen(&on);
    EXPECT_EQ(on, 0);
}

// ---- PutMessageDrain --------------------------------------------------------

class VideoPutMessageDrainTest : public VideoTest {
protected:
    void SetUp() override {
        VideoTest::SetUp();
        drain = fake::NewWindow("drain");
    }
    HWND drain = nullptr;
};

TEST_F(VideoPutMessageDrainTest, WithoutAGraphFailsAndRecordsNothing) {
    EXPECT_EQ(PutMessageDrain(drain), E_FAIL);
    EXPECT_EQ(fake::TakeCalls(), Calls{});
    Reach(Running);
    FullScreen(TRUE);
    EXPECT_EQ(fake::TakeCalls(), Calls{"VW.put_FullScreenMode(-1)"}) << "no drain to tell";
}

TEST_F(VideoPutMessageDrainTest, NamesTheDrainAndPassesTheCodeThrough) {
    Reach(Running);
    for (HRESULT code : {S_OK, S_FALSE}) {
        SCOPED_TRACE(Format("0x%x", static_cast<unsigned>(code)));
        fake::SetResult("VW.put_MessageDrain", code, 1);
        EXPECT_EQ(PutMessageDrain(drain), code);
        EXPECT_EQ(fake::TakeCalls(), Calls{"VW.put_MessageDrain(drain)"});
        FullScreen(TRUE);
        EXPECT_EQ(fake::TakeCalls(), Join({{"VW.put_FullScreenMode(-1)"}, kTellDrain}));
    }
}

TEST_F(VideoPutMessageDrainTest, RecordsTheWindowEvenWhenRefusedSoFullScreenTellsIt) {
    Reach(Running);
    fake::SetResult("VW.put_MessageDrain", E_NOTIMPL);
    EXPECT_EQ(PutMessageDrain(drain), E_NOTIMPL);
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
    fake::TakeCalls();
    FullScreen(TRUE);
    EXPECT_EQ(fake::TakeCalls(), Join({{"VW.put_FullScreenMode(-1)"}, kTellDrain}));
}

TEST_F(VideoPutMessageDrainTest, ANullDrainEndsTheTelling) {
    Reach(Running);
    PutMessageDrain(drain);
    EXPECT_EQ(PutMessageDrain(nullptr), S_OK);
    EXPECT_EQ(fake::TakeCalls(), (Calls{"VW.put_MessageDrain(drain)", "VW.put_MessageDrain(null)"}));
    FullScreen(TRUE);
    EXPECT_EQ(fake::TakeCalls(), Calls{"VW.put_FullScreenMode(-1)"});
}

TEST_F(VideoPutMessageDrainTest, TheDrainOutlivesTheGraph) {
    OpenClip();
    PutMessageDrain(drain);
    ClearGraph();
    Reach(Running);
    FullScreen(TRUE);
    EXPECT_EQ(fake::TakeCalls(), Join({{"VW.put_FullScreenMode(-1)"}, kTellDrain}));
}

} // namespace

// ---- SetVideoRect -------------------------------------------------------------

namespace {

// A placement in a host rectangle: the video's size asked for the call only.
Calls InRect(LONG left, LONG top, LONG width, LONG height) {
    return {"GB.QueryInterface(IID_IBasicVideo)", "BV.GetVideoSize()", "BV.Release()",
            Format("VW.SetWindowPosition(%d, %d, %d, %d)", left, top, width, height)};
}

using SetVideoRectTest = VideoTest;

// The limiting side filled, the other rounded to nearest (halves up, at
// least 1), the spare pixels split with the odd one after the picture.
TEST_F(SetVideoRectTest, FitsThePictureInsideKeepingItsAspect) {
    const struct {
        LONG videoWidth, videoHeight;
        RECT rect;
        LONG left, top, width, height;
    } rows[] = {
        {320, 240, {0, 0, 400, 100}, 133, 0, 133, 100},       // 133.3 wide
        {320, 240, {10, 20, 410, 320}, 10, 20, 400, 300},     // the same aspect: filled
        {320, 240, {0, 0, 100, 400}, 0, 162, 100, 75},        // 75.0 high, 325 spare
        {320, 240, {5, 5, 6, 6}, 5, 5, 1, 1},                 // one pixel
        {320, 240, {0, 0, 1, 600}, 0, 299, 1, 1},             // 0.75 high: 1
        {1000, 1, {0, 0, 3, 3}, 0, 1, 3, 1},                  // 0.003 high: at least 1
        {2, 1, {0, 0, 5, 5}, 0, 1, 5, 3},                     // 2.5 high rounds up
        {1, 2, {0, 0, 5, 5}, 1, 0, 3, 5},                     // 2.5 wide rounds up
        {1, 1000, {0, 0, 3, 3}, 1, 0, 1, 3},                  // 0.003 wide: at least 1
        {4, 3, {0, 0, 100, 50}, 16, 0, 67, 50},               // 66.7 wide, 33 spare
        {-4, 240, {-50, -60, 50, 40}, -50, -60, 100, 100},    // no size: fill
        {32768, 240, {0, 0, 400, 100}, 0, 0, 400, 100},       // beyond 32767: fill
        {32767, 1, {0, 0, 32767, 32767}, 0, 16383, 32767, 1}, // the largest product
    };
    OpenClip();
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << row.videoWidth << "x" << row.videoHeight);
        fake::values().videoWidth = row.videoWidth;
        fake::values().videoHeight = row.videoHeight;
        ASSERT_EQ(SetVideoRect(&row.rect), S_OK);
        PutForeground(TRUE);
        const Calls calls = fake::TakeCalls();
        EXPECT_EQ(Calls(calls.begin(), calls.begin() + 4), InRect(row.left, row.top, row.width, row.height));
    }
}

// Refused rectangles change nothing. A video the library has placed moves
// at once, hidden or not; none at InitGraph's zero size or full screen,
// which wait for PutForeground or the return. NULL: the fixed rectangles.
TEST_F(SetVideoRectTest, RefusesBadRectanglesAndMovesOnlyAPlacedVideo) {
    const RECT rect = {0, 0, 400, 300}, other = {0, 0, 200, 150};
    const RECT refused[] = {{0, 0, 0, 240},     {10, 0, 9, 240},    {0, 10, 320, 9},
                            {0, 0, 32768, 240}, {0, 0, 320, 32768}, {INT32_MIN, 0, INT32_MAX, 240}};
    EXPECT_EQ(SetVideoRect(&rect), S_OK); // without a graph: for later ones
    OpenClip();
    EXPECT_EQ(SetVideoRect(&rect), S_OK);
    EXPECT_EQ(fake::TakeCalls(), Calls{});
    Reach(Running);
    PutForeground(TRUE);
    PutForeground(FALSE);
    EXPECT_EQ(Calls(fake::TakeCalls()).front(), "GB.QueryInterface(IID_IBasicVideo)");
    EXPECT_EQ(SetVideoRect(&other), S_OK);
    EXPECT_EQ(fake::TakeCalls(), InRect(0, 0, 200, 150));
    for (const RECT &bad : refused) EXPECT_EQ(SetVideoRect(&bad), E_INVALIDARG) << bad.left << " " << bad.right;
    EXPECT_EQ(fake::TakeCalls(), Calls{}) << "nothing moved";
    FullScreen(TRUE);
    fake::TakeCalls();
    EXPECT_EQ(SetVideoRect(&rect), S_OK);
    EXPECT_EQ(fake::TakeCalls(), Calls{});
    FullScreen(FALSE);
    EXPECT_EQ(fake::TakeCalls(), Join({{"VW.put_FullScreenMode(0)", "VW.put_Visible(-1)"},
                                       InRect(0, 0, 400, 300),
                                       {"VW.SetWindowForeground(-1)"}}));
    EXPECT_EQ(SetVideoRect(nullptr), S_OK);
    EXPECT_EQ(fake::TakeCalls(), (Calls{"GetSystemMetrics(0)", kSmallPosition}));
}

} // namespace
