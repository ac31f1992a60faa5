// SetEventWindow and GetGraphEvent: the graph's event queue.
#include "support.h"

namespace {

constexpr UINT kGraphEvent = 0x8001;                           // WM_APP + 1, as a host would choose
constexpr HRESULT kAborted = static_cast<HRESULT>(0x80040218); // VFW_E_CANNOT_RENDER

using EventsTest = PlayerTest;

// Kept across graphs, also when refused or named without a graph; each
// graph gets it right after its event queue is taken, until none is named.
TEST_F(EventsTest, SetEventWindowReachesTheHeldGraphAndEveryLaterOne) {
    HWND events = fake::NewWindow("events");
    const std::string named = Format("ME.SetNotifyWindow(events, %u, 0)", kGraphEvent);
    EXPECT_EQ(SetEventWindow(events, kGraphEvent), S_OK);
    EXPECT_EQ(fake::TakeCalls(), Calls{});
    fake::SetResult("ME.SetNotifyWindow", E_NOTIMPL, 1); // InitGraph ignores it
    OpenClip();
    fake::SetResult("ME.SetNotifyWindow", E_NOTIMPL, 1); // SetEventWindow returns it
    EXPECT_EQ(SetEventWindow(events, kGraphEvent), E_NOTIMPL);
    InitGraph(u"clip.avi");
    Calls opened = Opened();
    opened.insert(opened.begin() + 4, named);
    EXPECT_EQ(fake::TakeCalls(), Join({{named}, Cleared(), opened}));
    EXPECT_EQ(SetEventWindow(nullptr, kGraphEvent), S_OK);
    InitGraph(u"clip.avi");
    EXPECT_EQ(fake::TakeCalls(), Join({{"ME.SetNotifyWindow(null, 0, 0)"}, Cleared(), Opened()}));
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
}

// Refused arguments take nothing; then the oldest event, freed, and S_FALSE
// when none is left. A failing GetEvent writes nothing and frees nothing.
TEST_F(EventsTest, GetGraphEventTakesTheOldestFreesItAndSaysWhenNoneIsLeft) {
    LONG code = 7;
    LONG_PTR param1 = 7, param2 = 7;
    EXPECT_EQ(GetGraphEvent(&code, &param1, &param2), E_FAIL); // no graph
    Reach(Running);
    fake::QueueEvent(FLATPLAY_EVENT_ERRORABORT, kAborted, 0);
    fake::QueueEvent(FLATPLAY_EVENT_COMPLETE, S_OK, 0);
    EXPECT_EQ(GetGraphEvent(nullptr, &param1, &param2), E_POINTER);
    EXPECT_EQ(GetGraphEvent(&code, nullptr, &param2), E_POINTER);
    EXPECT_EQ(GetGraphEvent(&code, &param1, nullptr), E_POINTER);
    fake::SetResult("ME.GetEvent", E_NOTIMPL, 1);
    EXPECT_EQ(GetGraphEvent(&code, &param1, &param2), E_NOTIMPL);
    EXPECT_EQ(code + param1 + param2, 21);
    EXPECT_EQ(fake::TakeCalls(), Calls{"ME.GetEvent(0)"});
    const struct {
        HRESULT result;
        LONG code;
        LONG_PTR param1;
    } rows[] = {{S_OK, FLATPLAY_EVENT_ERRORABORT, kAborted}, {S_OK, FLATPLAY_EVENT_COMPLETE, 0}, {S_FALSE, 0, 0}};
    for (const auto &row : rows) {
        EXPECT_EQ(GetGraphEvent(&code, &param1, &param2), row.result);
        EXPECT_EQ(code + param1 + param2, row.code + row.param1);
        Calls calls = {"ME.GetEvent(0)"};
        if (row.result == S_OK)
            calls.push_back(Format("ME.FreeEventParams(%d, %lld, 0)", row.code, static_cast<long long>(row.param1)));
        EXPECT_EQ(fake::TakeCalls(), calls);
    }
    EXPECT_EQ(GetPlayState(), Running) << "the end of the clip changes no state";
}

} // namespace
