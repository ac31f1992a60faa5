#include "support.h"

using ClearGraphTest = PlayerTest;

TEST_F(ClearGraphTest, WithNothingHeldOnlyCloses) {
    for (LONG state : {0, 1, 2, 3}) {
        g_ctx.m_nPlayState = state;
        ClearGraph();
        EXPECT_EQ(GetPlayState(), Closed);
    }
    EXPECT_EQ(fake::TakeCalls(), Calls{});
}

TEST_F(ClearGraphTest, StopsDetachesAndReleasesInTheFixedOrder) {
    OpenClip();
    HWND drain = fake::NewWindow("drain");
    g_ctx.m_hwndDrain = drain;
    g_ctx.m_lVolume = -10000;
    g_ctx.m_nPlayState = Running;

    ClearGraph();

    EXPECT_EQ(fake::TakeCalls(),
              (Calls{"MC.Stop()", "VW.put_Visible(0)", "VW.put_Owner(null)", "ME.SetNotifyWindow(null, 0, 0)",
                     "VW.Release()", "MC.Release()", "ME.Release()", "MS.Release()", "BA.Release()", "GB.Release()"}));
    EXPECT_EQ(GetPlayState(), Closed);
    EXPECT_EQ(fake::Outstanding(), 0);
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
    // What the next graph needs stays.
    EXPECT_EQ(g_ctx.m_hwndHost.load(), host);
    EXPECT_EQ(g_ctx.m_hwndDrain, drain);
    EXPECT_EQ(g_ctx.m_lVolume, -10000);
    EXPECT_EQ(std::u16string(g_ctx.m_szPlayFile), u"clip.avi");
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
    EXPECT_EQ(fake::Outstanding(), 0);
    EXPECT_EQ(GetPlayState(), Closed);
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
}

TEST_F(ClearGraphTest, GivesTheVideoChildItsProcedureBackBeforeTouchingTheGraph) {
    OpenClip();
    HWND video = fake::NewWindow("video");
    WNDPROC own = fake::ProcOf(video);
    // As the tap forwarding leaves it: some other procedure on the child.
    SetWindowLongPtrW(video, GWLP_WNDPROC, 0);
    g_ctx.m_hwndVideo = video;
    g_ctx.m_pfnOldVideoProc = own;
    fake::TakeCalls();

    ClearGraph();

    Calls calls = fake::TakeCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0], "SetWindowLongPtrW(video, -4, OwnProc)");
    EXPECT_EQ(calls[1], "MC.Stop()");
    EXPECT_EQ(fake::ProcOf(video), own);
    EXPECT_EQ(g_ctx.m_hwndVideo, nullptr);
    EXPECT_EQ(g_ctx.m_pfnOldVideoProc.load(), nullptr);
}
