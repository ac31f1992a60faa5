// GetMediaInfo: what the held graph plays, asked without changing anything.
#include "support.h"

#include <cstring>

namespace {

// Every byte 0x5A, so that any byte written shows.
FLATPLAY_MEDIA_INFO Untouched(DWORD cbSize = sizeof(FLATPLAY_MEDIA_INFO)) {
    FLATPLAY_MEDIA_INFO info;
    std::memset(&info, 0x5A, sizeof info);
    info.cbSize = cbSize;
    return info;
}

bool Same(const FLATPLAY_MEDIA_INFO &a, const FLATPLAY_MEDIA_INFO &b) { return std::memcmp(&a, &b, sizeof a) == 0; }

using GetMediaInfoTest = PlayerTest;

// Before the first PlayPause; each failed answer is a "no".
TEST_F(GetMediaInfoTest, TellsWhatTheGraphAnswersAndChangesNothing) {
    const struct {
        const char *failing; // a call pattern, or null
        DWORD capabilities;
        FLATPLAY_MEDIA_INFO want; // cbSize, hasVideo, duration, hasSound, canSeek, width, height
    } rows[] = {
        {nullptr, 0x37, {32, TRUE, 40000000, TRUE, TRUE, 320, 240}},
        {"GB.QueryInterface(IID_IBasicVideo)", 0x37, {32, FALSE, 40000000, TRUE, TRUE, 0, 0}}, // a song
        {"BA.get_Volume", 0x37, {32, TRUE, 40000000, FALSE, TRUE, 320, 240}},                  // no sound
        {"MS.GetDuration", 0x01, {32, TRUE, 0, TRUE, TRUE, 320, 240}},
        {nullptr, 0x36, {32, TRUE, 40000000, TRUE, FALSE, 320, 240}}, // no absolute seeking
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.failing ? row.failing : "");
        OpenClip();
        fake::values().duration = 40000000;
        fake::values().capabilities = row.capabilities;
        fake::values().audioVolume = -3000;
        if (row.failing) fake::SetResult(row.failing, E_NOINTERFACE, 1);
        FLATPLAY_MEDIA_INFO info = Untouched();
        EXPECT_EQ(GetMediaInfo(&info), S_OK);
        EXPECT_TRUE(Same(info, row.want)) << info.hasVideo << info.hasSound << info.canSeek << " " << info.duration;
        const Calls asked = fake::TakeCalls();
        if (!row.failing) {
            EXPECT_EQ(asked, (Calls{"GB.QueryInterface(IID_IBasicVideo)", "BV.GetVideoSize()", "BV.Release()",
                                    "BA.get_Volume()", "MS.GetDuration()", "MS.GetCapabilities()"}));
        }
        EXPECT_EQ(fake::values().audioVolume, -3000);
        EXPECT_EQ(GetPlayState(), Stopped);
        ClearGraph();
    }
}

TEST_F(GetMediaInfoTest, RefusesABadArgumentOrNoGraphAndWritesNothing) {
    const auto expectRefused = [](FLATPLAY_MEDIA_INFO info, HRESULT code) {
        const FLATPLAY_MEDIA_INFO before = info;
        EXPECT_EQ(GetMediaInfo(&info), code) << info.cbSize;
        EXPECT_TRUE(Same(info, before));
    };
    expectRefused(Untouched(), E_FAIL);
    OpenClip();
    for (DWORD size : {0u, 31u, 33u, 0xFFFFFFFFu}) expectRefused(Untouched(size), E_INVALIDARG);
    EXPECT_EQ(GetMediaInfo(nullptr), E_POINTER);
    EXPECT_EQ(fake::TakeCalls(), Calls{});
}

} // namespace
