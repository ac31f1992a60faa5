// SetEventWindow and GetGraphEvent: the graph's event queue.
#include "support.h"

namespace {

constexpr UINT kGraphEvent = 0x8001;                              // WM_APP + 1, as a host would choose
constexpr LONG_PTR kAborted = static_cast<HRESULT>(0x80040218);   // param1: VFW_E_CANNOT_RENDER
constexpr HRESULT kUnexpected = static_cast<HRESULT>(0x8000FFFF); // E_UNEXPECTED

class EventsTest : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        events = fake::NewWindow("events");
    }
    HWND events = nullptr;
};

using SetEventWindowTest = EventsTest;

TEST_F(SetEventWindowTest, NamesTheWindowToTheHeldGraphAndPassesItsCodeThrough) {
    OpenClip();
    for (HRESULT code : {S_OK, S_FALSE, E_NOTIMPL}) {
        fake::SetResult("ME.SetNotifyWindow", code, 1);
        EXPECT_EQ(SetEventWindow(events, kGraphEvent), code);
        EXPECT_EQ(fake::TakeCalls(), Calls{Format("ME.SetNotifyWindow(events, %u, 0)", kGraphEvent)});
    }
    // None named: the message does not reach the graph either.
    EXPECT_EQ(SetEventWindow(nullptr, kGraphEvent), S_OK);
    EXPECT_EQ(fake::TakeCalls(), Calls{"ME.SetNotifyWindow(null, 0, 0)"});
    EXPECT_EQ(GetPlayState(), Stopped);
}

// Kept for later graphs, also when refused or given without a graph; each
// graph gets it right after its event queue is taken.
TEST_F(SetEventWindowTest, EveryLaterGraphGetsTheWindowUntilNoneIsNamed) {
    EXPECT_EQ(SetEventWindow(events, kGraphEvent), S_OK);
    EXPECT_EQ(fake::TakeCalls(), Calls{});
    Calls opened = Opened();
    opened.insert(opened.begin() + 4, Format("ME.SetNotifyWindow(events, %u, 0)", kGraphEvent));
    fake::SetResult("ME.SetNotifyWindow", E_FAIL, 1); // refused by the first graph: ignored
    OpenClip();
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
    InitGraph(u"clip.avi");
    EXPECT_EQ(fake::TakeCalls(), Join({Cleared(), opened}));
    SetEventWindow(nullptr, 0);
    InitGraph(u"clip.avi");
    EXPECT_EQ(fake::TakeCalls(), Join({{"ME.SetNotifyWindow(null, 0, 0)"}, Cleared(), Opened()}));
}

using GetGraphEventTest = EventsTest;

TEST_F(GetGraphEventTest, TakesTheOldestEventFreesItsParametersAndSaysWhenNoneIsLeft) {
    Reach(Running);
    fake::QueueEvent(0x0D /* EC_CLOCK_CHANGED */, 0, 0);
    fake::QueueEvent(FLATPLAY_EVENT_ERRORABORT, kAborted, 0);
    fake::QueueEvent(FLATPLAY_EVENT_COMPLETE, S_OK, 0);
    const struct {
        HRESULT result;
        LONG code;
        LONG_PTR param1;
    } rows[] = {{S_OK, 0x0D, 0},
                {S_OK, FLATPLAY_EVENT_ERRORABORT, kAborted},
                {S_OK, FLATPLAY_EVENT_COMPLETE, 0},
                {S_FALSE, 0, 0},
                {S_FALSE, 0, 0}};
    for (const auto &row : rows) {
        LONG code = 7;
        LONG_PTR param1 = 7, param2 = 7;
        EXPECT_EQ(GetGraphEvent(&code, &param1, &param2), row.result);
        EXPECT_EQ(code, row.code);
        EXPECT_EQ(param1, row.param1);
        EXPECT_EQ(param2, 0);
        Calls calls = {"ME.GetEvent(0)"};
        if (row.result == S_OK)
            calls.push_back(Format("ME.FreeEventParams(%d, %lld, 0)", row.code, static_cast<long long>(row.param1)));
        EXPECT_EQ(fake::TakeCalls(), calls);
    }
    // The end of the clip changes no state: the host calls Stop.
    EXPECT_EQ(GetPlayState(), Running);
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
}

TEST_F(GetGraphEventTest, RefusesWithoutTakingOrWritingAnything) {
    LONG code = 7;
    LONG_PTR param1 = 7, param2 = 7;
    EXPECT_EQ(GetGraphEvent(&code, &param1, &param2), E_FAIL); // no graph
    Reach(Running);
    fake::QueueEvent(FLATPLAY_EVENT_COMPLETE, 0, 0);
    EXPECT_EQ(GetGraphEvent(nullptr, &param1, &param2), E_POINTER);
    EXPECT_EQ(GetGraphEvent(&code, nullptr, &param2), E_POINTER);
    EXPECT_EQ(GetGraphEvent(&code, &param1, nullptr), E_POINTER);
    EXPECT_EQ(fake::TakeCalls(), Calls{});
    fake::SetResult("ME.GetEvent", kUnexpected, 1);
    EXPECT_EQ(GetGraphEvent(&code, &param1, &param2), kUnexpected);
    EXPECT_EQ(fake::TakeCalls(), Calls{"ME.GetEvent(0)"}) << "nothing to free";
    EXPECT_EQ(code + param1 + param2, 21);
    EXPECT_EQ(fake::EventsQueued(), 1);
}

} // namespace
