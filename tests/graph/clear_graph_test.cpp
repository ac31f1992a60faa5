#include "support.h"

using ClearGraphTest = PlayerTest;

TEST_F(ClearGraphTest, WithNothingHeldOnlyCloses) {
    ClearGraph();
    EXPECT_EQ(GetPlayState(), Closed) << "from the load state";
    EXPECT_EQ(fake::TakeCalls(), Calls{});

    // A first open that created nothing.
    ASSERT_EQ(Initialize(), S_OK);
    fake::SetResult("CoCreateInstance", E_OUTOFMEMORY, 1);
    ASSERT_EQ(InitGraph(u"clip.avi"), E_OUTOFMEMORY);
    fake::TakeCalls();
    ClearGraph();
    EXPECT_EQ(GetPlayState(), Closed);
    EXPECT_EQ(fake::TakeCalls(), Calls{});
}

TEST_F(ClearGraphTest, StopsDetachesAndReleasesInTheFixedOrderFromEveryState) {
    for (PlayState state : {Running, Paused, Stopped, Closed}) {
        SCOPED_TRACE(state);
        Reach(state);
        ClearGraph();
        EXPECT_EQ(fake::TakeCalls(), Cleared());
        EXPECT_EQ(GetPlayState(), Closed);
        EXPECT_EQ(fake::Outstanding(), 0);
        EXPECT_EQ(fake::TakeDebugLines(), Lines{});
    }
}

// What the next graph needs stays: its owner, the drain, and (never read
// back by an export) the muted volume and the last path.
TEST_F(ClearGraphTest, KeepsTheHostTheDrainTheVolumeAndThePath) {
    HWND drain = fake::NewWindow("drain");
    Reach(Running);
    PutMessageDrain(drain);
    fake::values().audioVolume = 0;
    ASSERT_EQ(ToggleMute(), S_OK);

    ClearGraph();
    EXPECT_EQ(g_ctx.m_lVolume, -10000);
    EXPECT_EQ(std::u16string(g_ctx.m_szPlayFile), u"clip.avi");

    fake::TakeCalls();
    ASSERT_EQ(InitGraph(u"next.avi"), S_OK);
    EXPECT_EQ(fake::TakeCalls(), Opened("next.avi", "host"));
    ASSERT_EQ(PlayPause(), S_OK);
    fake::TakeCalls();
    FullScreen(TRUE);
    EXPECT_EQ(fake::TakeCalls(), (Calls{"VW.put_FullScreenMode(-1)",
                                        Format("VW.NotifyOwnerMessage(drain, 0x%x, 0, 0)", WM_VIDEO_MODE_CHANGED),
                                        Format("PostMessageW(drain, 0x%x, 0, 0)", WM_VIDEO_MODE_CHANGED)}));
}

TEST_F(ClearGraphTest, TwiceInARowIsHarmless) {
    OpenClip();
    ClearGraph();
    fake::TakeCalls();
    ClearGraph();
    EXPECT_EQ(fake::TakeCalls(), Calls{});
    EXPECT_EQ(GetPlayState(), Closed);
}

TEST_F(ClearGraphTest, FailingCallsDoNotStopTheTeardown) {
    OpenClip();
    for (const char *call : {"MC.Stop", "VW.put_Visible", "VW.put_Owner", "ME.SetNotifyWindow"})
        fake::SetResult(call, E_FAIL);
    ClearGraph();
    EXPECT_EQ(fake::TakeCalls(), Cleared());
    EXPECT_EQ(fake::Outstanding(), 0);
    EXPECT_EQ(GetPlayState(), Closed);
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
}

TEST_F(ClearGraphTest, GivesTheVideoChildItsProcedureBackBeforeTouchingTheGraph) {
    HWND video = fake::NewWindow("video");
    WNDPROC own = fake::ProcOf(video);
    fake::SetFirstChild(host, video);
    OpenClip();
    ASSERT_EQ(PutForeground(TRUE), S_OK);
    ASSERT_NE(fake::ProcOf(video), own) << "the tap forwarding is on the child";
    fake::TakeCalls();

    ClearGraph();

    EXPECT_EQ(fake::TakeCalls(), Join({{"SetWindowLongPtrW(video, -4, OwnProc)"}, Cleared()}));
    EXPECT_EQ(fake::ProcOf(video), own);
    EXPECT_EQ(g_ctx.m_hwndVideo, nullptr);
    EXPECT_EQ(g_ctx.m_pfnOldVideoProc.load(), nullptr);
}
