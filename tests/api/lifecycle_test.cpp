#include "support.h"

using LifecycleTest = PlayerTest;

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
    for (HRESULT code : {E_OUTOFMEMORY, static_cast<HRESULT>(0x80010106) /* RPC_E_CHANGED_MODE */}) {
        fake::Reset();
        g_ctx.m_nPlayState = Paused;
        fake::SetResult("CoInitializeEx", code);
        EXPECT_EQ(Initialize(), code);
        EXPECT_EQ(GetPlayState(), Paused);
        EXPECT_EQ(fake::TakeDebugLines(), (Lines{u"CoInitialize Failed!\r\n"}));
    }
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
    EXPECT_NE(g_ctx.m_pMC, nullptr);
    EXPECT_EQ(fake::Refs(0, "MC"), 1);
}

TEST_F(LifecycleTest, UnInitializeReturnsZeroEvenWithoutInitialize) {
    EXPECT_EQ(UnInitialize(), 0);
    EXPECT_EQ(fake::TakeCalls(), (Calls{"CoUninitialize()"}));
    EXPECT_EQ(GetPlayState(), Stopped);
}

TEST_F(LifecycleTest, UnInitializeLeavesAHeldGraphHeld) {
    OpenClip();
    EXPECT_EQ(UnInitialize(), 0);
    EXPECT_EQ(fake::TakeCalls(), (Calls{"CoUninitialize()"}));
    EXPECT_EQ(GetPlayState(), Stopped);
    EXPECT_EQ(fake::Refs(0, "GB"), 1);
}

TEST_F(LifecycleTest, SetHwndStoresAnyHandleWithoutCalls) {
    HWND other = fake::NewWindow("other");
    EXPECT_EQ(SetHWND(other), 0);
    EXPECT_EQ(g_ctx.m_hwndHost.load(), other);
    EXPECT_EQ(SetHWND(nullptr), 0);
    EXPECT_EQ(g_ctx.m_hwndHost.load(), nullptr);
    EXPECT_EQ(fake::TakeCalls(), Calls{});
}

TEST_F(LifecycleTest, SetHwndNullGivesTheNextVideoWindowNoOwner) {
    Initialize();
    SetHWND(nullptr);
    ASSERT_EQ(InitGraph(u"clip.avi"), S_OK);
    Calls calls = fake::TakeCalls();
    EXPECT_EQ(calls[calls.size() - 3], "VW.put_Owner(null)");
}

TEST_F(LifecycleTest, GetPlayStateReadsWithoutCalls) {
    for (LONG state : {0, 1, 2, 3, 7, -1}) {
        g_ctx.m_nPlayState = state;
        EXPECT_EQ(GetPlayState(), state);
    }
    EXPECT_EQ(fake::TakeCalls(), Calls{});
}
