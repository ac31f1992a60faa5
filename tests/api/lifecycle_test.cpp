#include "support.h"

#include <array>

using LifecycleTest = PlayerTest;

// Hosts compile against these values; they must never move.
TEST_F(LifecycleTest, TheHeadersNamesKeepTheirValues) {
    EXPECT_EQ(FLATPLAY_RUNNING, 0);
    EXPECT_EQ(FLATPLAY_PAUSED, 1);
    EXPECT_EQ(FLATPLAY_STOPPED, 2);
    EXPECT_EQ(FLATPLAY_CLOSED, 3);
    EXPECT_EQ(WM_VIDEO_TAPPED, 0x52C);
    EXPECT_EQ(WM_VIDEO_MODE_CHANGED, 0x46E);
}

// Added in 0.2.0, as frozen as the first ones; the version ordered as versions are.
TEST_F(LifecycleTest, TheValuesOf020AndTheVersionAsOneNumber) {
    EXPECT_EQ((std::array{FLATPLAY_EVENT_COMPLETE, FLATPLAY_EVENT_USERABORT, FLATPLAY_EVENT_ERRORABORT}),
              (std::array{1, 2, 3}));
    EXPECT_EQ(GetLibraryVersion(), static_cast<DWORD>(FLATPLAY_VERSION));
    EXPECT_EQ(FLATPLAY_MAKE_VERSION(0, 2, 0), 0x200);
    EXPECT_LT(FLATPLAY_MAKE_VERSION(0, 255, 255), FLATPLAY_MAKE_VERSION(1, 0, 0));
}

TEST_F(LifecycleTest, InitializeStartsComMultithreadedAndCloses) {
    EXPECT_EQ(Initialize(), S_OK);
    EXPECT_EQ(fake::TakeCalls(), (Calls{"CoInitializeEx(null, 0)"}));
    EXPECT_EQ(GetPlayState(), Closed);
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
}

TEST_F(LifecycleTest, InitializeTwicePassesSFalseThroughAndStaysClosed) {
    ASSERT_EQ(Initialize(), S_OK);
    EXPECT_EQ(Initialize(), S_FALSE);
    EXPECT_EQ(GetPlayState(), Closed);
}

TEST_F(LifecycleTest, InitializeFailureKeepsStateAndWritesItsLine) {
    for (PlayState state : {Running, Paused, Stopped}) {
        for (HRESULT code : {E_OUTOFMEMORY, static_cast<HRESULT>(0x80010106) /* RPC_E_CHANGED_MODE */}) {
            SCOPED_TRACE(testing::Message() << state << ", 0x" << std::hex << code);
            Reach(state);
            fake::SetResult("CoInitializeEx", code, 1);
            EXPECT_EQ(Initialize(), code);
            EXPECT_EQ(GetPlayState(), state);
            EXPECT_EQ(fake::TakeCalls(), (Calls{"CoInitializeEx(null, 0)"}));
            EXPECT_EQ(fake::TakeDebugLines(), (Lines{u"CoInitialize Failed!\r\n"}));
        }
    }
}

TEST_F(LifecycleTest, InitializeFailureBeforeAnyOtherCallKeepsTheLoadState) {
    fake::SetResult("CoInitializeEx", E_OUTOFMEMORY);
    EXPECT_EQ(Initialize(), E_OUTOFMEMORY);
    EXPECT_EQ(GetPlayState(), Stopped);
    EXPECT_EQ(fake::TakeDebugLines(), (Lines{u"CoInitialize Failed!\r\n"}));
}

TEST_F(LifecycleTest, InitializeAnyNonNegativeCodeCountsAsSuccess) {
    fake::SetResult("CoInitializeEx", 0x7FFF);
    EXPECT_EQ(Initialize(), 0x7FFF);
    EXPECT_EQ(GetPlayState(), Closed);
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
}

TEST_F(LifecycleTest, InitializeWithGraphHeldClosesWithoutTouchingIt) {
    OpenClip();
    EXPECT_EQ(Initialize(), S_FALSE);
    EXPECT_EQ(fake::TakeCalls(), (Calls{"CoInitializeEx(null, 0)"}));
    EXPECT_EQ(GetPlayState(), Closed);
    for (const char *object : {"GB", "MC", "ME", "MS", "VW", "BA"}) EXPECT_EQ(fake::Refs(0, object), 1) << object;
}

TEST_F(LifecycleTest, UnInitializeReturnsZeroEvenWithoutInitialize) {
    EXPECT_EQ(UnInitialize(), 0);
    EXPECT_EQ(fake::TakeCalls(), (Calls{"CoUninitialize()"}));
    EXPECT_EQ(GetPlayState(), Stopped);
}

TEST_F(LifecycleTest, UnInitializeLeavesAHeldGraphHeldAndTheStateAsItIs) {
    for (PlayState state : {Running, Paused, Stopped, Closed}) {
        SCOPED_TRACE(state);
        Reach(state);
        EXPECT_EQ(UnInitialize(), 0);
        EXPECT_EQ(fake::TakeCalls(), (Calls{"CoUninitialize()"}));
        EXPECT_EQ(GetPlayState(), state);
        EXPECT_EQ(fake::Refs(fake::GraphsCreated() - 1, "GB"), 1);
    }
}

// The host is read only when a graph is opened: SetHWND itself calls nothing.
TEST_F(LifecycleTest, SetHwndStoresAnyHandleForTheNextVideoWindowWithoutCalls) {
    ASSERT_GE(Initialize(), 0);
    HWND other = fake::NewWindow("other");
    struct Row {
        HWND hwnd;
        const char *owner;
    };
    for (const Row &row : {Row{other, "other"}, Row{nullptr, "null"}, Row{host, "host"}}) {
        SCOPED_TRACE(row.owner);
        ClearGraph();
        fake::TakeCalls();
        EXPECT_EQ(SetHWND(row.hwnd), 0);
        EXPECT_EQ(fake::TakeCalls(), Calls{});
        ASSERT_EQ(InitGraph(u"clip.avi"), S_OK);
        EXPECT_EQ(fake::TakeCalls(), Opened("clip.avi", row.owner));
    }
}

TEST_F(LifecycleTest, GetPlayStateReadsEveryReachableStateWithoutCalls) {
    EXPECT_EQ(GetPlayState(), FLATPLAY_STOPPED) << "before Initialize";
    EXPECT_EQ(fake::TakeCalls(), Calls{});
    struct Row {
        PlayState state;
        LONG published;
    };
    const Row rows[] = {
        {Running, FLATPLAY_RUNNING},
        {Paused, FLATPLAY_PAUSED},
        {Stopped, FLATPLAY_STOPPED},
        {Closed, FLATPLAY_CLOSED},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.state);
        Reach(row.state);
        EXPECT_EQ(GetPlayState(), row.published);
        EXPECT_EQ(fake::TakeCalls(), Calls{});
    }
}
