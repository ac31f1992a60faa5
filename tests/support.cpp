#include "support.h"

#include <cstdio>

void ResetContext() {
    for (WCHAR &c : g_ctx.m_szPlayFile) c = 0;
    g_ctx.m_pfnOldVideoProc = nullptr;
    g_ctx.m_pVW = nullptr;
    g_ctx.m_pGB = nullptr;
    g_ctx.m_pMC = nullptr;
    g_ctx.m_pME = nullptr;
    g_ctx.m_pBA = nullptr;
    g_ctx.m_pMS = nullptr;
    g_ctx.m_hwndHost = nullptr;
    g_ctx.m_hwndVideo = nullptr;
    g_ctx.m_lVolume = 0;
    g_ctx.m_hwndDrain = nullptr;
    g_ctx.m_nPlayState = Stopped;
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

std::u16string FailedLine(HRESULT hr, const char16_t *call) {
    char code[16];
    std::snprintf(code, sizeof code, "%x", static_cast<unsigned>(hr));
    std::u16string line = u"FAILED(hr=0x";
    for (const char *c = code; *c; ++c) line += static_cast<char16_t>(*c);
    return line + u") in " + call + u"\n";
}
