#include "support.h"
#include "video/tap.h"

#include <string>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved);

namespace {

class VideoTapTest : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        video = fake::NewWindow("video");
        own = fake::ProcOf(video);
        fake::SetFirstChild(host, video);
        fake::NameProc(&VideoTapProc, "VideoTapProc");
    }

    // A graph whose video is shown, with tap forwarding on the child; the log is then emptied.
    void ShowClip() {
        OpenClip();
        ASSERT_EQ(PutForeground(TRUE), S_OK);
        ASSERT_EQ(fake::ProcOf(video), &VideoTapProc);
        fake::TakeCalls();
    }

    // The calls of one PutForeground(TRUE) up to the child lookup (240 x 320 screen).
    static Calls Show() {
        return {"GetSystemMetrics(0)", "VW.SetWindowPosition(4, 14, 312, 223)", "VW.put_Visible(-1)",
                "VW.SetWindowForeground(-1)"};
    }

    HWND video = nullptr;
    WNDPROC own = nullptr;
};

// The lookup and install on a child named `child` in the fake's log.
Calls Hook(const std::string &child) {
    return {"GetWindow(host, 5)", "GetWindowLongPtrW(" + child + ", -4)",
            "SetWindowLongPtrW(" + child + ", -4, VideoTapProc)"};
}

// What a tap posts to the window named `window`.
std::string Tapped(const char *window) { return Format("PostMessageW(%s, 0x%x, 0, 0)", window, WM_VIDEO_TAPPED); }

// A message passed on to the video child's own procedure.
Calls PassedOn(UINT msg, WPARAM wParam, LPARAM lParam) {
    return {Format("CallWindowProcW(OwnProc, video, 0x%x, %lld, %lld)", msg, static_cast<long long>(wParam),
                   static_cast<long long>(lParam)),
            Format("OwnProc(video, 0x%x, %lld, %lld)", msg, static_cast<long long>(wParam),
                   static_cast<long long>(lParam))};
}

// ---- Installation (by PutForeground) ----------------------------------------

using VideoTapInstallTest = VideoTapTest;

TEST_F(VideoTapInstallTest, FirstShowingReadsTheOwnProcedureThenReplacesIt) {
    OpenClip();
    PutForeground(TRUE);
    EXPECT_EQ(fake::TakeCalls(), Join({Show(), Hook("video")}));
    EXPECT_EQ(fake::ProcOf(video), &VideoTapProc);
    EXPECT_EQ(g_ctx.m_pfnOldVideoProc.load(), own);
    EXPECT_EQ(g_ctx.m_hwndVideo, video);
}

TEST_F(VideoTapInstallTest, HappensOncePerGraphEvenIfTheFirstChildChanges) {
    ShowClip();
    HWND later = fake::NewWindow("later");
    fake::SetFirstChild(host, later);
    PutForeground(TRUE);
    PutForeground(TRUE);
    EXPECT_EQ(fake::TakeCalls(), Join({Show(), Show()}));
    EXPECT_EQ(fake::ProcOf(later), own) << "a second child must keep its own procedure";
    EXPECT_EQ(g_ctx.m_pfnOldVideoProc.load(), own) << "reinstalling would record VideoTapProc as the own one";
}

TEST_F(VideoTapInstallTest, ClearGraphPutsTheOwnProcedureBackAndTheNextGraphInstallsAgain) {
    ShowClip();
    ClearGraph();
    EXPECT_EQ(fake::TakeCalls(), Join({{"SetWindowLongPtrW(video, -4, OwnProc)"}, Cleared()}));
    EXPECT_EQ(fake::ProcOf(video), own);
    // A tap on the old child now reaches only its own procedure.
    fake::Deliver(video, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(fake::TakeCalls(), Calls{Format("OwnProc(video, 0x%x, 0, 0)", WM_LBUTTONUP)});

    // The next graph's renderer window is the host's first child now.
    HWND next = fake::NewWindow("next");
    fake::SetFirstChild(host, next);
    OpenClip();
    PutForeground(TRUE);
    EXPECT_EQ(fake::TakeCalls(), Join({Show(), Hook("next")}));
    EXPECT_EQ(fake::ProcOf(next), &VideoTapProc);
    EXPECT_EQ(fake::ProcOf(video), own);
}

TEST_F(VideoTapInstallTest, AHostWithoutAChildYetIsAskedAgainAtTheNextShowing) {
    fake::SetFirstChild(host, nullptr);
    OpenClip();
    PutForeground(TRUE);
    EXPECT_EQ(fake::TakeCalls(), Join({Show(), {"GetWindow(host, 5)"}}));
    EXPECT_EQ(g_ctx.m_hwndVideo, nullptr);
    fake::SetFirstChild(host, video);
    PutForeground(TRUE);
    EXPECT_EQ(fake::TakeCalls(), Join({Show(), Hook("video")}));
    EXPECT_EQ(g_ctx.m_hwndVideo, video);
}

// Only the host the video window was given as owner at InitGraph has it as
// its first child; the first child of any other host is one of its own
// controls. Unnamed (null) at InitGraph counts as another host.
TEST_F(VideoTapInstallTest, OnlyTheHostThatOwnsTheVideoWindowIsLookedAt) {
    HWND other = fake::NewWindow("other");
    HWND control = fake::NewWindow("control");
    fake::SetFirstChild(other, control);
    const WNDPROC controlOwn = fake::ProcOf(control);
    struct Row {
        const char *order;
        HWND atInitGraph, atShowing;
        bool hooks;
    } rows[] = {
        {"named after InitGraph", nullptr, host, false},
        {"changed after InitGraph", other, host, false},
        {"unnamed after InitGraph", host, nullptr, false},
        {"named before InitGraph", host, host, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.order);
        ASSERT_GE(Initialize(), 0);
        SetHWND(row.atInitGraph);
        ASSERT_EQ(InitGraph(u"clip.avi"), S_OK);
        SetHWND(row.atShowing);
        fake::TakeCalls();
        EXPECT_EQ(PutForeground(TRUE), S_OK);
        EXPECT_EQ(fake::TakeCalls(), row.hooks ? Join({Show(), Hook("video")}) : Show());
        EXPECT_EQ(fake::ProcOf(video), row.hooks ? &VideoTapProc : own);
        EXPECT_EQ(fake::ProcOf(control), controlOwn);
        // The owner is the graph's: naming it again (and only it) hooks its child.
        SetHWND(host);
        PutForeground(TRUE);
        EXPECT_EQ(fake::ProcOf(video), row.atInitGraph == host ? &VideoTapProc : own);
        ClearGraph();
    }
}

// A host changed between two graphs: the second graph's owner is the new host.
TEST_F(VideoTapInstallTest, TheNextGraphBelongsToTheHostNamedBeforeIt) {
    ShowClip();
    ClearGraph();
    HWND other = fake::NewWindow("other");
    HWND renderer = fake::NewWindow("renderer");
    fake::SetFirstChild(other, renderer);
    SetHWND(other);
    ASSERT_EQ(InitGraph(u"clip.avi"), S_OK);
    fake::TakeCalls();
    PutForeground(TRUE);
    EXPECT_EQ(fake::TakeCalls(), Join({Show(),
                                       {"GetWindow(other, 5)", "GetWindowLongPtrW(renderer, -4)",
                                        "SetWindowLongPtrW(renderer, -4, VideoTapProc)"}}));
    EXPECT_EQ(fake::ProcOf(video), own);
}

// While the host keeps the video full screen, the renderer's window need
// not be the host's child (Wine's GDI renderer makes it a top-level
// window): its first child is then a control. No lookup until the video
// is back; a renderer that refused to switch (Wine's VMR) never left.
TEST_F(VideoTapInstallTest, NoLookupWhileTheVideoIsFullScreenAndTheVideoWindowOnceItIsBack) {
    const struct {
        HRESULT on, off;
        bool hooksWhileOn, hooksAfterOff;
    } rows[] = {{S_OK, S_OK, false, true}, {E_NOTIMPL, E_NOTIMPL, true, true}, {S_OK, E_FAIL, false, false}};
    HWND control = fake::NewWindow("control");
    const WNDPROC controlOwn = fake::ProcOf(control);
    for (const auto &row : rows) {
        SCOPED_TRACE(Format("on 0x%x, off 0x%x", static_cast<unsigned>(row.on), static_cast<unsigned>(row.off)));
        fake::SetFirstChild(host, video);
        Reach(Running);
        fake::SetResult("VW.put_FullScreenMode(-1)", row.on, 1);
        FullScreen(TRUE);
        if (SUCCEEDED(row.on)) fake::SetFirstChild(host, control);
        PutForeground(TRUE);
        EXPECT_EQ(fake::ProcOf(video), row.hooksWhileOn ? &VideoTapProc : own);
        fake::SetResult("VW.put_FullScreenMode(0)", row.off, 1);
        FullScreen(FALSE);
        fake::SetFirstChild(host, SUCCEEDED(row.off) ? video : control);
        PutForeground(TRUE);
        EXPECT_EQ(fake::ProcOf(video), row.hooksWhileOn || row.hooksAfterOff ? &VideoTapProc : own);
        EXPECT_EQ(fake::ProcOf(control), controlOwn);
        ClearGraph();
    }
}

// Only a showing that succeeded looks for the child: any failure means the
// graph may have no video window, a non-negative code is success.
TEST_F(VideoTapInstallTest, OnlyASuccessfulShowingLooksForTheChild) {
    struct Row {
        HRESULT shown;
        bool hooks;
    };
    const Row rows[] = {{E_NOINTERFACE, false},
                        {E_FAIL, false},
                        {static_cast<HRESULT>(0x80040209) /* VFW_E_NOT_CONNECTED */, false},
                        {S_OK, true},
                        {S_FALSE, true}};
    for (const Row &row : rows) {
        SCOPED_TRACE(Format("put_Visible gives 0x%x", static_cast<unsigned>(row.shown)));
        OpenClip();
        fake::SetResult("VW.put_Visible", row.shown, 1);
        EXPECT_EQ(PutForeground(TRUE), S_OK);
        EXPECT_EQ(fake::TakeCalls(), row.hooks ? Join({Show(), Hook("video")}) : Show());
        EXPECT_EQ(fake::ProcOf(video), row.hooks ? &VideoTapProc : own);
        EXPECT_EQ(g_ctx.m_hwndVideo, row.hooks ? video : nullptr);
        ClearGraph();
        EXPECT_EQ(fake::ProcOf(video), own);
    }
}

TEST_F(VideoTapInstallTest, AFailedShowingLeavesTheLookupToTheNextOne) {
    OpenClip();
    fake::SetResult("VW.put_Visible", E_FAIL, 1);
    PutForeground(TRUE);
    EXPECT_EQ(fake::TakeCalls(), Show());
    PutForeground(TRUE);
    EXPECT_EQ(fake::TakeCalls(), Join({Show(), Hook("video")}));
    EXPECT_EQ(fake::ProcOf(video), &VideoTapProc);
}

// GetWindowLongPtrW answering 0: nothing to pass messages to and nothing
// to put back, so the child is left alone for the whole graph.
TEST_F(VideoTapInstallTest, AnUnreadableProcedureIsNeitherReplacedNorWrittenBackByClearGraph) {
    OpenClip();
    fake::SetResult("GetWindowLongPtrW", 0);
    PutForeground(TRUE);
    EXPECT_EQ(fake::TakeCalls(), Join({Show(), {"GetWindow(host, 5)", "GetWindowLongPtrW(video, -4)"}}));
    EXPECT_EQ(fake::ProcOf(video), own);
    EXPECT_EQ(g_ctx.m_pfnOldVideoProc.load(), nullptr);
    EXPECT_EQ(g_ctx.m_hwndVideo, video) << "the child is taken, so it is not tried again";
    PutForeground(TRUE);
    EXPECT_EQ(fake::TakeCalls(), Show());

    ClearGraph();
    EXPECT_EQ(fake::TakeCalls(), Cleared()) << "no procedure written back";
    EXPECT_EQ(fake::ProcOf(video), own);
    EXPECT_EQ(g_ctx.m_hwndVideo, nullptr);
}

TEST_F(VideoTapInstallTest, ARefusedReplacementLeavesNothingForClearGraphToPutBack) {
    OpenClip();
    fake::SetResult("SetWindowLongPtrW", 0, 1);
    PutForeground(TRUE);
    EXPECT_EQ(fake::ProcOf(video), own);
    EXPECT_EQ(g_ctx.m_pfnOldVideoProc.load(), nullptr);
    fake::TakeCalls();
    ClearGraph();
    EXPECT_EQ(fake::TakeCalls(), Cleared()) << "no procedure written back";
    EXPECT_EQ(fake::ProcOf(video), own);
}

// ---- A graph without video ----------------------------------------------------

// A song, or a clip whose video no decoder takes: the graph has no video
// renderer, so every IVideoWindow call fails with E_NOINTERFACE, and the
// host's first child is one of its own controls.
class VideoTapWithoutVideoTest : public VideoTapTest {
protected:
    void SetUp() override {
        VideoTapTest::SetUp();
        button = fake::NewWindow("button");
        fake::SetFirstChild(host, button);
        for (const char *call : {"VW.put_Owner", "VW.put_WindowStyle", "VW.SetWindowPosition", "VW.put_Visible",
                                 "VW.SetWindowForeground", "VW.put_MessageDrain"})
            fake::SetResult(call, E_NOINTERFACE);
        OpenClip();
    }
    HWND button = nullptr;
};

TEST_F(VideoTapWithoutVideoTest, TheHostsControlKeepsItsProcedureAndItsClicksPostNoTap) {
    EXPECT_EQ(PutForeground(TRUE), S_OK);
    EXPECT_EQ(fake::TakeCalls(), Show()) << "no child lookup, no procedure read or written";
    EXPECT_EQ(fake::ProcOf(button), own);
    EXPECT_EQ(g_ctx.m_hwndVideo, nullptr);
    EXPECT_EQ(g_ctx.m_pfnOldVideoProc.load(), nullptr);
    fake::Deliver(button, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(fake::TakeCalls(), Calls{Format("OwnProc(button, 0x%x, 0, 0)", WM_LBUTTONUP)});
}

TEST_F(VideoTapWithoutVideoTest, EveryShowingAndTheTeardownLeaveTheHostsWindowsAlone) {
    Reach(Running);
    for (BOOL show : {TRUE, FALSE, TRUE, TRUE}) EXPECT_EQ(PutForeground(show), S_OK);
    PutMessageDrain(host);
    FullScreen(TRUE);
    FullScreen(FALSE);
    ClearGraph();
    for (const std::string &call : fake::TakeCalls()) {
        EXPECT_NE(call.rfind("GetWindow", 0), 0u) << call;
        EXPECT_NE(call.rfind("SetWindowLongPtrW", 0), 0u) << call;
    }
    EXPECT_EQ(fake::ProcOf(button), own);
    EXPECT_EQ(GetPlayState(), Closed);
}

// ---- VideoTapProc -----------------------------------------------------------

using VideoTapProcTest = VideoTapTest;

TEST_F(VideoTapProcTest, AReleasePostsOneTapToTheHostThenReachesTheOwnProcedure) {
    ShowClip();
    fake::values().ownProcResult = 0x1234;
    EXPECT_EQ(fake::Deliver(video, WM_LBUTTONUP, 1, 0x00140020), 0x1234);
    EXPECT_EQ(fake::TakeCalls(), Join({{Tapped("host")}, PassedOn(WM_LBUTTONUP, 1, 0x00140020)}));
}

TEST_F(VideoTapProcTest, APressAloneAndOtherMessagesOnlyReachTheOwnProcedure) {
    const UINT messages[] = {
        WM_LBUTTONDOWN,
        0x0200 /* WM_MOUSEMOVE */,
        0x0203 /* WM_LBUTTONDBLCLK */,
        0x0205 /* WM_RBUTTONUP */,
        0x000F /* WM_PAINT */,
        0x0002 /* WM_DESTROY */,
        WM_VIDEO_TAPPED,
        WM_VIDEO_MODE_CHANGED,
    };
    ShowClip();
    for (UINT msg : messages) {
        SCOPED_TRACE(testing::Message() << "message 0x" << std::hex << msg);
        fake::Deliver(video, msg, 1, 5);
        EXPECT_EQ(fake::TakeCalls(), PassedOn(msg, 1, 5)) << "nothing but the pass-on";
    }
}

TEST_F(VideoTapProcTest, ReturnsWhatTheOwnProcedureReturns) {
    const LRESULT results[] = {
        0, 1, -1, 0x7FFFFFFF, static_cast<LRESULT>(0x123456789ABCDEFll), static_cast<LRESULT>(-0x123456789ABCDEFll)};
    ShowClip();
    for (LRESULT result : results) {
        SCOPED_TRACE(result);
        fake::values().ownProcResult = result;
        EXPECT_EQ(fake::Deliver(video, WM_LBUTTONUP, 0, 0), result);
        EXPECT_EQ(fake::Deliver(video, WM_LBUTTONDOWN, 0, 0), result);
    }
}

TEST_F(VideoTapProcTest, ATapAfterSetHWNDGoesToTheNewHostWithoutReinstalling) {
    ShowClip();
    HWND other = fake::NewWindow("other");
    SetHWND(other);
    fake::Deliver(video, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(fake::TakeCalls(), Join({{Tapped("other")}, PassedOn(WM_LBUTTONUP, 0, 0)})) << "no reinstall";
}

TEST_F(VideoTapProcTest, WithNoHostWindowTheTapIsStillPostedAndPassedOn) {
    ShowClip();
    SetHWND(nullptr);
    fake::values().ownProcResult = 42;
    EXPECT_EQ(fake::Deliver(video, WM_LBUTTONUP, 0, 0), 42);
    EXPECT_EQ(fake::TakeCalls(), Join({{Tapped("null")}, PassedOn(WM_LBUTTONUP, 0, 0)}));
}

TEST_F(VideoTapProcTest, AFailedPostStillPassesTheReleaseOn) {
    ShowClip();
    fake::SetResult("PostMessageW", FALSE);
    fake::values().ownProcResult = 9;
    EXPECT_EQ(fake::Deliver(video, WM_LBUTTONUP, 0, 0), 9);
    EXPECT_EQ(fake::TakeCalls(), Join({{Tapped("host")}, PassedOn(WM_LBUTTONUP, 0, 0)}));
}

// The system refused to put the own procedure back, so ClearGraph left the
// forwarding on the child with nothing recorded to pass messages to: as
// when ClearGraph on the host's thread has just cleared the field while a
// message to the child was already on its way on the renderer's thread.
TEST_F(VideoTapProcTest, WithNoOwnProcedureRecordedMessagesGoToDefWindowProc) {
    ShowClip();
    fake::SetResult("SetWindowLongPtrW", 0, 1);
    ClearGraph();
    ASSERT_EQ(fake::ProcOf(video), &VideoTapProc);
    fake::TakeCalls();
    EXPECT_EQ(fake::Deliver(video, WM_LBUTTONUP, 3, 4), 0);
    EXPECT_EQ(fake::Deliver(video, WM_LBUTTONDOWN, 3, 4), 0);
    EXPECT_EQ(fake::TakeCalls(), (Calls{Tapped("host"), Format("DefWindowProcW(video, 0x%x, 3, 4)", WM_LBUTTONUP),
                                        Format("DefWindowProcW(video, 0x%x, 3, 4)", WM_LBUTTONDOWN)}));
}

// ---- Unload --------------------------------------------------------------------

using VideoTapUnloadTest = VideoTapTest;

// FreeLibrary with forwarding still on the video windows, the default
// player's and a pool player's: each gets its own procedure back, as it
// would at ClearGraph or PlayerClose; nothing else happens.
TEST_F(VideoTapUnloadTest, FreeLibraryPutsTheOwnProcedureBack) {
    ShowClip();
    HWND second = fake::NewWindow("video1");
    fake::GiveVideoWindow(1, second);
    FLATPLAY_PLAYER player = nullptr;
    ASSERT_EQ(PlayerCreate(&player), S_OK);
    PlayerSetOwner(player, host);
    ASSERT_EQ(PlayerOpen(player, u"b.avi"), S_OK);
    ASSERT_EQ(PlayerShowVideo(player, TRUE), S_OK);
    ASSERT_EQ(fake::ProcOf(second), &PlayerTapProc);
    fake::TakeCalls();
    EXPECT_EQ(DllMain(nullptr, DLL_PROCESS_DETACH, nullptr), TRUE);
    EXPECT_EQ(fake::TakeCalls(), (Calls{"GetWindowLongPtrW(video, -4)", "SetWindowLongPtrW(video, -4, OwnProc)",
                                        "GetWindowLongPtrW(video1, -4)", "SetWindowLongPtrW(video1, -4, OwnProc)"}));
    EXPECT_EQ(fake::ProcOf(video), own);
    EXPECT_EQ(fake::ProcOf(second), own);
    fake::Deliver(video, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(fake::TakeCalls(), Calls{Format("OwnProc(video, 0x%x, 0, 0)", WM_LBUTTONUP)});
    PlayerDestroy(player);
}

// At process exit (a non-null reserved argument), at attach and for threads
// nothing runs; nor when no forwarding was installed.
TEST_F(VideoTapUnloadTest, OnlyFreeLibraryWithForwardingInstalledDoesAnything) {
    const struct {
        DWORD reason;
        bool freeLibrary;
    } rows[] = {{DLL_PROCESS_DETACH, false},
                {1 /* process attach */, true},
                {2 /* thread attach */, true},
                {3 /* thread detach */, true}};
    int exitCode = 0;
    ShowClip();
    for (const auto &row : rows) {
        SCOPED_TRACE(row.reason);
        EXPECT_EQ(DllMain(nullptr, row.reason, row.freeLibrary ? nullptr : &exitCode), TRUE);
        EXPECT_EQ(fake::TakeCalls(), Calls{});
        EXPECT_EQ(fake::ProcOf(video), &VideoTapProc);
    }
    ClearGraph();
    fake::TakeCalls();
    EXPECT_EQ(DllMain(nullptr, DLL_PROCESS_DETACH, nullptr), TRUE);
    EXPECT_EQ(fake::TakeCalls(), Calls{});
}

// A procedure the host put on the window after ours is the host's to keep.
TEST_F(VideoTapUnloadTest, AProcedureTheHostPutThereSinceIsLeftAlone) {
    ShowClip();
    SetWindowLongPtrW(video, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(fake::ProcOf(host)));
    fake::TakeCalls();
    EXPECT_EQ(DllMain(nullptr, DLL_PROCESS_DETACH, nullptr), TRUE);
    EXPECT_EQ(fake::TakeCalls(), Calls{"GetWindowLongPtrW(video, -4)"});
    EXPECT_EQ(fake::ProcOf(video), fake::ProcOf(host));
}

} // namespace
