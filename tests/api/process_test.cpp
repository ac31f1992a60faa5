// Whole-process properties: the record at load, and a session that never
// touches the heap. Built without sanitizers (they replace the allocator)
// and run as one process, tests in file order.
#include "support.h"

#include <cstddef>
#include <cstdlib>

namespace {
// volatile: the compiler may take malloc for a library function that reads
// none of the program's variables, and drop the store before the call.
volatile bool counting = false;
int allocations = 0;
} // namespace

extern "C" {
void *__libc_malloc(size_t size);
void *__libc_calloc(size_t count, size_t size);
void *__libc_realloc(void *ptr, size_t size);

void *malloc(size_t size) {
    if (counting) ++allocations;
    return __libc_malloc(size);
}
void *calloc(size_t count, size_t size) {
    if (counting) ++allocations;
    return __libc_calloc(count, size);
}
void *realloc(void *ptr, size_t size) {
    if (counting) ++allocations;
    return __libc_realloc(ptr, size);
}
}

TEST(Process, RecordHoldsItsLoadTimeValuesBeforeAnyCall) {
    EXPECT_EQ(GetPlayState(), FLATPLAY_STOPPED);
    EXPECT_EQ(g_ctx.m_szPlayFile[0], 0);
    EXPECT_EQ(g_ctx.m_pfnOldVideoProc.load(), nullptr);
    EXPECT_EQ(g_ctx.m_pGB, nullptr);
    EXPECT_EQ(g_ctx.m_pMC, nullptr);
    EXPECT_EQ(g_ctx.m_pME, nullptr);
    EXPECT_EQ(g_ctx.m_pMS, nullptr);
    EXPECT_EQ(g_ctx.m_pVW, nullptr);
    EXPECT_EQ(g_ctx.m_pBA, nullptr);
    EXPECT_EQ(g_ctx.m_hwndHost.load(), nullptr);
    EXPECT_EQ(g_ctx.m_hwndVideo, nullptr);
    EXPECT_EQ(g_ctx.m_hwndDrain, nullptr);
    EXPECT_EQ(g_ctx.m_lVolume, 0);
    // Stopped included, the record's bytes are all zero at load: so it
    // lives in .bss and takes no room in the DLL's file.
    const auto *byte = reinterpret_cast<const unsigned char *>(&g_ctx);
    for (size_t i = 0; i < sizeof g_ctx; ++i) ASSERT_EQ(byte[i], 0) << "byte " << i;
    // So is the pool, every slot free.
    byte = reinterpret_cast<const unsigned char *>(g_players);
    for (size_t i = 0; i < sizeof g_players; ++i) ASSERT_EQ(byte[i], 0) << "pool byte " << i;
}

TEST(Process, CountingHookSeesAnAllocation) {
    counting = true;
    void *volatile p = std::malloc(16);
    counting = false;
    std::free(p);
    EXPECT_EQ(allocations, 1);
    allocations = 0;
}

TEST(Process, AWholeSessionAllocatesNothing) {
    fake::Reset();
    HWND host = fake::NewWindow("host");
    HWND video = fake::NewWindow("video");
    HWND drain = fake::NewWindow("drain");
    fake::SetFirstChild(host, video);
    fake::values().duration = 40000000;
    LONGLONG current = 0, duration = 0;
    LONG full = 0, code = 0, muted = 0;
    LONG_PTR param1 = 0, param2 = 0;
    FLATPLAY_MEDIA_INFO info = {sizeof info, 0, 0, 0, 0, 0, 0};
    const RECT rect = {0, 0, 400, 100};

    counting = true;
    Initialize();
    SetHWND(host);
    InitGraph(u"clip.avi");
    PutForeground(TRUE);
    PutMessageDrain(drain);
    PlayPause();
    GetPlayPositionDuration();
    GetPlayPositionCurrent();
    GetPlayPositionDurationPercent();
    TotalTime();
    GetPlayPosition(&current, &duration);
    SeekSong(50.0f);
    ToggleMute();
    ToggleMute();
    Set_Volume(GetVolumeInit());
    SetVolume(GetVolume());
    FullScreen(TRUE);
    IsFullScreen(&full);
    FullScreen(FALSE);
    SetEventWindow(host, 0x8001);
    fake::QueueEvent(FLATPLAY_EVENT_COMPLETE, 0, 0);
    GetGraphEvent(&code, &param1, &param2);
    GetMediaInfo(&info);
    SetVideoRect(&rect);
    SeekToTime(10000000);
    GetMuteState(&muted);
    fake::Deliver(video, WM_LBUTTONUP, 0, 0);
    PlayPause();
    Stop();
    PutForeground(FALSE);
    ClearGraph();
    InitGraph(u"missing.avi");
    InitGraph(u"clip.avi");
    ClearGraph();
    UnInitialize();
    // Two pool players, one of them through every export.
    FLATPLAY_PLAYER player = nullptr, other = nullptr;
    PlayerCreate(&player);
    PlayerCreate(&other);
    PlayerSetOwner(player, host);
    PlayerSetEventWindow(player, host, 0x8002);
    PlayerSetMessageDrain(player, drain);
    PlayerSetVolume(player, -500);
    PlayerSetBalance(player, 300);
    PlayerOpen(player, u"clip.avi");
    PlayerSetVideoRect(player, &rect);
    PlayerShowVideo(player, TRUE);
    PlayerPlay(player);
    PlayerGetPosition(player, &current, &duration);
    PlayerSeek(player, 10000000);
    PlayerSetRate(player, 2.0);
    PlayerSetMute(player, TRUE);
    PlayerSetFullScreen(player, TRUE);
    PlayerSetFullScreen(player, FALSE);
    PlayerGetMediaInfo(player, &info);
    PlayerGetEvent(player, &code, &param1, &param2);
    PlayerPause(player);
    PlayerStop(player);
    PlayerGetState(player, &code);
    PlayerShowVideo(player, FALSE);
    PlayerClose(player);
    PlayerDestroy(player);
    PlayerDestroy(other);
    counting = false;

    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(fake::Outstanding(), 0);
}
