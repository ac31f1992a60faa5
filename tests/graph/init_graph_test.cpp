#include "support.h"

#include <string>

namespace {

std::u16string Field() { return std::u16string(g_ctx.m_szPlayFile); }

} // namespace

using InitGraphTest = PlayerTest;

TEST_F(InitGraphTest, BuildsTheGraphInOrderAndParentsAZeroSizeVideoWindow) {
    Initialize();
    SetHWND(host);
    fake::TakeCalls();

    EXPECT_EQ(InitGraph(u"clip.avi"), S_OK);

    EXPECT_EQ(fake::TakeCalls(), Opened());
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
    EXPECT_EQ(GetPlayState(), Stopped);
    EXPECT_EQ(Field(), u"clip.avi");
    for (const char *object : {"GB", "MC", "ME", "MS", "VW", "BA"}) EXPECT_EQ(fake::Refs(0, object), 1) << object;
}

// Each platform call of InitGraph fails in turn: its code comes back, one
// line names it, the state stays, and ClearGraph gives back exactly what
// was taken before the failure, in the fixed order.
TEST_F(InitGraphTest, FaultSweepReportsEachFailureAndClearGraphReleasesWhatWasTaken) {
    struct Step {
        const char *call;
        HRESULT code;
        const char16_t *text;
        Calls releases;
    };
    const Step steps[] = {
        {"CoCreateInstance",
         E_OUTOFMEMORY,
         u"CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, (void **)&m_pGB)",
         {}},
        {"GB.RenderFile",
         static_cast<HRESULT>(0x80040265) /* VFW_E_UNSUPPORTED_STREAM */,
         u"m_pGB->RenderFile(m_szPlayFile, NULL)",
         {"GB.Release()"}},
        {"GB.QueryInterface(IID_IMediaControl)",
         E_NOINTERFACE,
         u"m_pGB->QueryInterface(IID_IMediaControl, (void **)&m_pMC)",
         {"GB.Release()"}},
        {"GB.QueryInterface(IID_IMediaEventEx)",
         E_NOINTERFACE,
         u"m_pGB->QueryInterface(IID_IMediaEventEx, (void **)&m_pME)",
         {"MC.Stop()", "MC.Release()", "GB.Release()"}},
        {"GB.QueryInterface(IID_IMediaSeeking)",
         E_NOINTERFACE,
         u"m_pGB->QueryInterface(IID_IMediaSeeking, (void **)&m_pMS)",
         {"MC.Stop()", "ME.SetNotifyWindow(null, 0, 0)", "MC.Release()", "ME.Release()", "GB.Release()"}},
        {"GB.QueryInterface(IID_IVideoWindow)",
         E_FAIL,
         u"m_pGB->QueryInterface(IID_IVideoWindow, (void **)&m_pVW)",
         {"MC.Stop()", "ME.SetNotifyWindow(null, 0, 0)", "MC.Release()", "ME.Release()", "MS.Release()",
          "GB.Release()"}},
        {"GB.QueryInterface(IID_IBasicAudio)",
         E_NOINTERFACE,
         u"m_pGB->QueryInterface(IID_IBasicAudio, (void **)&m_pBA)",
         {"MC.Stop()", "VW.put_Visible(0)", "VW.put_Owner(null)", "ME.SetNotifyWindow(null, 0, 0)", "VW.Release()",
          "MC.Release()", "ME.Release()", "MS.Release()", "GB.Release()"}},
    };
    const Calls build = Opened();
    size_t callsBefore = 0;
    for (const Step &step : steps) {
        SCOPED_TRACE(step.call);
        fake::Reset();
        ResetContext();
        host = fake::NewWindow("host");
        Initialize();
        SetHWND(host);
        fake::TakeCalls();
        fake::SetResult(step.call, step.code);

        EXPECT_EQ(InitGraph(u"clip.avi"), step.code);

        // The log stops at the failing call.
        Calls calls = fake::TakeCalls();
        EXPECT_EQ(calls, Calls(build.begin(), build.begin() + static_cast<long>(callsBefore) + 1));
        ++callsBefore;
        EXPECT_EQ(fake::TakeDebugLines(), Lines{FailedLine(step.code, step.text)});
        EXPECT_EQ(GetPlayState(), Closed);
        EXPECT_EQ(Field(), u"clip.avi");

        ClearGraph();
        EXPECT_EQ(fake::TakeCalls(), step.releases);
        EXPECT_EQ(GetPlayState(), Closed);
        EXPECT_EQ(fake::Outstanding(), 0);
        for (void *field :
             {static_cast<void *>(g_ctx.m_pGB), static_cast<void *>(g_ctx.m_pMC), static_cast<void *>(g_ctx.m_pME),
              static_cast<void *>(g_ctx.m_pMS), static_cast<void *>(g_ctx.m_pVW), static_cast<void *>(g_ctx.m_pBA)})
            EXPECT_EQ(field, nullptr);

        // A pool player's open keeps nothing half-built: the same calls up
        // to the failure, then the same teardown at once; Closed.
        fake::SetResult(step.call, step.code);
        FLATPLAY_PLAYER player = nullptr;
        ASSERT_EQ(PlayerCreate(&player), S_OK);
        PlayerSetOwner(player, host);
        fake::TakeCalls();
        EXPECT_EQ(PlayerOpen(player, u"clip.avi"), step.code);
        EXPECT_EQ(fake::TakeCalls(), Join({Calls(calls.begin(), calls.end()), step.releases}));
        EXPECT_EQ(fake::TakeDebugLines(), Lines{FailedLine(step.code, step.text)});
        LONG state = -1;
        EXPECT_EQ(PlayerGetState(player, &state), S_OK);
        EXPECT_EQ(state, Closed);
        EXPECT_EQ(fake::Outstanding(), 0);
        EXPECT_EQ(PlayerDestroy(player), S_OK);
    }
}

TEST_F(InitGraphTest, NonNegativeCodesCountAsSuccessAndTheLastQueryIsReturned) {
    Initialize();
    SetHWND(host);
    fake::SetResult("CoCreateInstance", S_FALSE);
    fake::SetResult("GB.RenderFile", 0x00040242); // VFW_S_PARTIAL_RENDER
    fake::SetResult("GB.QueryInterface(IID_IMediaSeeking)", S_FALSE);
    fake::SetResult("GB.QueryInterface(IID_IBasicAudio)", 0x00040258);
    EXPECT_EQ(InitGraph(u"clip.avi"), 0x00040258);
    EXPECT_EQ(GetPlayState(), Stopped);
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
}

TEST_F(InitGraphTest, VideoWindowFailuresAreIgnored) {
    Initialize();
    for (const char *call : {"VW.put_Owner", "VW.put_WindowStyle", "VW.SetWindowPosition"})
        fake::SetResult(call, E_FAIL);
    EXPECT_EQ(InitGraph(u"clip.avi"), S_OK);
    EXPECT_EQ(GetPlayState(), Stopped);
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
}

TEST_F(InitGraphTest, WithoutInitializeCreationFailsWithThePlatformCode) {
    EXPECT_EQ(InitGraph(u"clip.avi"), CO_E_NOTINITIALIZED);
    EXPECT_EQ(fake::TakeDebugLines(),
              Lines{FailedLine(CO_E_NOTINITIALIZED, u"CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, "
                                                    u"IID_IGraphBuilder, (void **)&m_pGB)")});
    EXPECT_EQ(GetPlayState(), Stopped);
}

TEST_F(InitGraphTest, NullPathIsRejectedWithoutAnyEffect) {
    Initialize();
    InitGraph(u"first.avi");
    fake::TakeCalls();
    EXPECT_EQ(InitGraph(nullptr), E_POINTER);
    EXPECT_EQ(fake::TakeCalls(), Calls{});
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
    EXPECT_EQ(GetPlayState(), Stopped);
    EXPECT_EQ(Field(), u"first.avi");
    EXPECT_EQ(fake::Refs(0, "GB"), 1);
}

TEST_F(InitGraphTest, PathsUpTo259UnitsAreTakenWhole) {
    Initialize();
    for (size_t length : {size_t{1}, size_t{258}, size_t{259}}) {
        std::u16string path(length, u'a');
        EXPECT_EQ(InitGraph(path.c_str()), S_OK) << length;
        EXPECT_EQ(Field(), path);
    }
}

TEST_F(InitGraphTest, PathsOf260UnitsOrMoreAreRejectedWithoutAnyEffect) {
    Initialize();
    InitGraph(u"first.avi");
    fake::TakeCalls();
    for (size_t length : {size_t{260}, size_t{261}, size_t{4096}}) {
        // Exactly `length` units with no terminator inside the first 260:
        // under the address sanitizer a read past 260 would be caught.
        std::u16string path(length, u'b');
        EXPECT_EQ(InitGraph(path.c_str()), static_cast<HRESULT>(0x800700CE)) << length;
    }
    auto unterminated = std::make_unique<char16_t[]>(MAX_PATH);
    std::fill_n(unterminated.get(), MAX_PATH, u'c');
    EXPECT_EQ(InitGraph(unterminated.get()), static_cast<HRESULT>(0x800700CE));

    EXPECT_EQ(fake::TakeCalls(), Calls{});
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
    EXPECT_EQ(Field(), u"first.avi");
    EXPECT_EQ(GetPlayState(), Stopped);
    EXPECT_EQ(fake::Refs(0, "GB"), 1);
}

TEST_F(InitGraphTest, NonAsciiPathReachesRenderFileUnchanged) {
    Initialize();
    fake::TakeCalls();
    const char16_t path[] = u"\\My Documents\\M\u00e9dia\\\u043a\u043b\u0438\u043f.avi";
    EXPECT_EQ(InitGraph(path), S_OK);
    EXPECT_EQ(Field(), path);
    EXPECT_EQ(fake::TakeCalls(), Opened("\\My Documents\\M\\u00e9dia\\\\u043a\\u043b\\u0438\\u043f.avi", "null"));
}

TEST_F(InitGraphTest, FailedInitGraphStillRecordsTheNewPath) {
    Initialize();
    fake::SetResult("GB.RenderFile", E_FAIL);
    EXPECT_EQ(InitGraph(u"broken.avi"), E_FAIL);
    EXPECT_EQ(Field(), u"broken.avi");
}

TEST_F(InitGraphTest, AnEarlierGraphIsGivenBackBeforeTheNextIsBuiltInEveryState) {
    int earlier = 0;
    for (PlayState state : {Running, Paused, Stopped, Closed}) {
        SCOPED_TRACE(state);
        Reach(state);
        earlier = fake::GraphsCreated() - 1;

        EXPECT_EQ(InitGraph(u"second.avi"), S_OK);

        EXPECT_EQ(fake::TakeCalls(), Join({Cleared(), Opened("second.avi")}));
        EXPECT_EQ(fake::GraphsCreated(), earlier + 2);
        for (const char *object : {"GB", "MC", "ME", "MS", "VW", "BA"}) {
            EXPECT_EQ(fake::Refs(earlier, object), 0) << object;
            EXPECT_EQ(fake::Refs(earlier + 1, object), 1) << object;
        }
        EXPECT_EQ(GetPlayState(), Stopped);
    }
}

TEST_F(InitGraphTest, APartialEarlierGraphIsGivenBackToo) {
    Initialize();
    fake::SetResult("GB.QueryInterface(IID_IMediaSeeking)", E_NOINTERFACE, 1);
    ASSERT_EQ(InitGraph(u"clip.avi"), E_NOINTERFACE);
    fake::TakeCalls();
    fake::TakeDebugLines();

    EXPECT_EQ(InitGraph(u"clip.avi"), S_OK);
    EXPECT_EQ(fake::TakeCalls(),
              Join({{"MC.Stop()", "ME.SetNotifyWindow(null, 0, 0)", "MC.Release()", "ME.Release()", "GB.Release()"},
                    Opened("clip.avi", "null")}));
    EXPECT_EQ(fake::Refs(0, "GB"), 0);
    EXPECT_EQ(fake::Refs(1, "GB"), 1);
}

TEST_F(InitGraphTest, AFailedOpenAfterAGraphLeavesNothingOfTheOldOne) {
    OpenClip();
    fake::SetResult("GB.RenderFile", E_FAIL);
    EXPECT_EQ(InitGraph(u"text.avi"), E_FAIL);
    EXPECT_EQ(GetPlayState(), Closed); // the old graph went back, the new one did not stand
    for (const char *object : {"GB", "MC", "ME", "MS", "VW", "BA"}) EXPECT_EQ(fake::Refs(0, object), 0) << object;
    EXPECT_EQ(fake::Refs(1, "GB"), 1);
}

TEST_F(InitGraphTest, TheHostWindowIsReadAtOpenTimeAndSurvivesClearGraph) {
    Initialize();
    HWND later = fake::NewWindow("later");
    SetHWND(host);
    SetHWND(later);
    InitGraph(u"clip.avi");
    ClearGraph();
    fake::TakeCalls();
    InitGraph(u"clip.avi");
    EXPECT_EQ(fake::TakeCalls(), Opened("clip.avi", "later"));
}
