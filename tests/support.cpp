#include "support.h"

#include <cstdarg>
#include <cstdio>

namespace {

void ResetPlayer(Player &player) {
    player.m_pfnOldVideoProc = nullptr;
    player.m_pVW = nullptr;
    player.m_pGB = nullptr;
    player.m_pMC = nullptr;
    player.m_pME = nullptr;
    player.m_pBA = nullptr;
    player.m_pMS = nullptr;
    player.m_hwndHost = nullptr;
    player.m_hwndVideo = nullptr;
    player.m_hwndVideoOwner = nullptr;
    player.m_hwndDrain = nullptr;
    player.m_nPlayState = Stopped;
    player.m_hwndEvent = nullptr;
    player.m_uEventMsg = 0;
    player.m_rcVideo = RECT{};
    player.m_nVideoPlacement = VideoPlacement::None;
    player.m_pfnTapProc = nullptr;
}

} // namespace

void ResetContext() {
    ResetPlayer(g_ctx);
    for (WCHAR &c : g_ctx.m_szPlayFile) c = 0;
    g_ctx.m_lVolume = 0;
    for (PoolPlayer &player : g_players) {
        ResetPlayer(player);
        player.m_lSlot = Free;
        player.m_dwThread = 0;
        player.m_bComStarted = FALSE;
        player.m_lLevel = player.m_lBalance = 0;
        player.m_bMuted = FALSE;
    }
}

std::ostream &operator<<(std::ostream &os, PlayState state) {
    switch (state) {
    case Running: return os << "Running";
    case Paused: return os << "Paused";
    case Stopped: return os << "Stopped";
    case Closed: return os << "Closed";
    }
    return os << "PlayState(" << static_cast<LONG>(state) << ")";
}

void PlayerTest::SetUp() {
    fake::Reset();
    ResetContext();
    host = fake::NewWindow("host");
}

void PlayerTest::TearDown() {
    ClearGraph();
    EXPECT_EQ(fake::Outstanding(), 0) << "a fake object still holds references";
    EXPECT_EQ(fake::Errors(), Calls{});
}

void PlayerTest::OpenClip() {
    ASSERT_GE(Initialize(), 0);
    SetHWND(host);
    ASSERT_EQ(InitGraph(u"clip.avi"), S_OK);
    fake::TakeCalls();
}

void PlayerTest::Reach(PlayState state, const char *missing) {
    // A whole graph opens Stopped; a partial one leaves Initialize's Closed.
    std::vector<HRESULT (*)()> steps;
    if (!missing) {
        OpenClip();
        switch (state) {
        case Running: steps = {PlayPause}; break;
        case Paused: steps = {PlayPause, PlayPause}; break;
        case Stopped: steps = {PlayPause, Stop}; break;
        case Closed: steps = {Initialize}; break;
        }
    } else {
        ASSERT_GE(Initialize(), 0);
        SetHWND(host);
        fake::SetResult(missing, E_NOINTERFACE, 1);
        ASSERT_EQ(InitGraph(u"clip.avi"), E_NOINTERFACE) << missing;
        switch (state) {
        case Running: steps = {PlayPause, PlayPause}; break;
        case Paused: steps = {PlayPause}; break;
        case Stopped: steps = {PlayPause, Stop}; break;
        case Closed: break;
        }
    }
    for (HRESULT (*step)() : steps) ASSERT_GE(step(), 0);
    ASSERT_EQ(GetPlayState(), state);
    fake::TakeCalls();
    fake::TakeDebugLines();
}

std::string Format(const char *format, ...) {
    char entry[200];
    va_list args;
    va_start(args, format);
    std::vsnprintf(entry, sizeof entry, format, args);
    va_end(args);
    return entry;
}

Calls Join(std::initializer_list<Calls> parts) {
    Calls all;
    for (const Calls &part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

Calls Opened(const std::string &file, const std::string &owner) {
    return {
        "CoCreateInstance(CLSID_FilterGraph, null, 1, IID_IGraphBuilder)",
        "GB.RenderFile(\"" + file + "\", null)",
        "GB.QueryInterface(IID_IMediaControl)",
        "GB.QueryInterface(IID_IMediaEventEx)",
        "GB.QueryInterface(IID_IMediaSeeking)",
        "GB.QueryInterface(IID_IVideoWindow)",
        "GB.QueryInterface(IID_IBasicAudio)",
        "VW.put_Owner(" + owner + ")",
        "VW.put_WindowStyle(0x40000000)",
        "VW.SetWindowPosition(0, 0, 0, 0)",
    };
}

Calls Cleared() {
    return {"MC.Stop()",    "VW.put_Visible(0)", "VW.put_Owner(null)", "ME.SetNotifyWindow(null, 0, 0)",
            "VW.Release()", "MC.Release()",      "ME.Release()",       "MS.Release()",
            "BA.Release()", "GB.Release()"};
}

std::u16string FailedLine(HRESULT hr, const char16_t *call) {
    char code[16];
    std::snprintf(code, sizeof code, "%x", static_cast<unsigned>(hr));
    std::u16string line = u"FAILED(hr=0x";
    for (const char *c = code; *c; ++c) line += static_cast<char16_t>(*c);
    return line + u") in " + call + u"\n";
}
