// GetMediaInfo: what the held graph plays, asked without changing anything.
#include "support.h"

#include <cstring>

namespace {

constexpr HRESULT kNotConnected = static_cast<HRESULT>(0x80040209); // VFW_E_NOT_CONNECTED

// Every byte 0x5A, so that any byte written shows.
FLATPLAY_MEDIA_INFO Untouched(DWORD cbSize = sizeof(FLATPLAY_MEDIA_INFO)) {
    FLATPLAY_MEDIA_INFO info;
    std::memset(&info, 0x5A, sizeof info);
    info.cbSize = cbSize;
    return info;
}

bool Same(const FLATPLAY_MEDIA_INFO &a, const FLATPLAY_MEDIA_INFO &b) { return std::memcmp(&a, &b, sizeof a) == 0; }

const Calls kAsked = {"GB.QueryInterface(IID_IBasicVideo)",
                      "BV.GetVideoSize()",
                      "BV.Release()",
                      "BA.get_Volume()",
                      "MS.GetDuration()",
                      "MS.GetCapabilities()"};

} // namespace

using GetMediaInfoTest = PlayerTest;

// What each answer of the graph means; a failed answer is a "no".
TEST_F(GetMediaInfoTest, TellsWhatTheGraphAnswersAndAFailureAsNo) {
    const struct {
        const char *file;
        const char *failing; // a call pattern, or null
        HRESULT code;
        DWORD capabilities;
        FLATPLAY_MEDIA_INFO want; // cbSize, hasVideo, duration, hasSound, canSeek, width, height
    } rows[] = {
        {"video and sound", nullptr, S_OK, 0x37, {32, TRUE, 40000000, TRUE, TRUE, 320, 240}},
        {"sound only",
         "GB.QueryInterface(IID_IBasicVideo)",
         E_NOINTERFACE,
         0x37,
         {32, FALSE, 40000000, TRUE, TRUE, 0, 0}},
        {"no video renderer", "BV.GetVideoSize", E_NOINTERFACE, 0x37, {32, FALSE, 40000000, TRUE, TRUE, 0, 0}},
        {"video only", "BA.get_Volume", E_NOTIMPL, 0x37, {32, TRUE, 40000000, FALSE, TRUE, 320, 240}},
        {"no length", "MS.GetDuration", kNotConnected, 0x37, {32, TRUE, 0, TRUE, TRUE, 320, 240}},
        {"no capabilities", "MS.GetCapabilities", E_NOTIMPL, 0x37, {32, TRUE, 40000000, TRUE, FALSE, 320, 240}},
        {"forward only", nullptr, S_OK, 0x36, {32, TRUE, 40000000, TRUE, FALSE, 320, 240}},
        {"absolute only", nullptr, S_OK, 0x01, {32, TRUE, 40000000, TRUE, TRUE, 320, 240}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.file);
        Reach(Paused);
        fake::values().duration = 40000000;
        fake::values().capabilities = row.capabilities;
        fake::values().audioVolume = -3000;
        if (row.failing) fake::SetResult(row.failing, row.code, 1);
        FLATPLAY_MEDIA_INFO info = Untouched();
        EXPECT_EQ(GetMediaInfo(&info), S_OK);
        EXPECT_TRUE(Same(info, row.want)) << info.hasVideo << " " << info.width << "x" << info.height << " "
                                          << info.hasSound << " " << info.duration << " " << info.canSeek;
        fake::TakeCalls();
        // Nothing changed by asking: volume, position and state as they were.
        EXPECT_EQ(fake::values().audioVolume, -3000);
        EXPECT_EQ(GetPlayState(), Paused);
    }
}

TEST_F(GetMediaInfoTest, AsksTheVideoInterfaceForTheCallOnlyAndWorksBeforePlaying) {
    for (PlayState state : {Stopped, Closed}) {
        SCOPED_TRACE(state);
        if (state == Stopped)
            OpenClip();
        else
            Reach(Closed);
        FLATPLAY_MEDIA_INFO info = Untouched();
        EXPECT_EQ(GetMediaInfo(&info), S_OK);
        EXPECT_EQ(fake::TakeCalls(), kAsked);
        EXPECT_EQ(fake::Refs(fake::GraphsCreated() - 1, "BV"), 0);
        EXPECT_EQ(info.hasVideo, TRUE);
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
    for (DWORD size : {0u, 31u, 33u, 40u, 0xFFFFFFFFu}) expectRefused(Untouched(size), E_INVALIDARG);
    EXPECT_EQ(GetMediaInfo(nullptr), E_POINTER);
    EXPECT_EQ(fake::TakeCalls(), Calls{});
}

// A graph whose open stopped before seeking and audio: those read as no.
TEST_F(GetMediaInfoTest, APartialGraphAnswersWhatItHolds) {
    Reach(Closed, "GB.QueryInterface(IID_IMediaSeeking)");
    FLATPLAY_MEDIA_INFO info = Untouched();
    EXPECT_EQ(GetMediaInfo(&info), S_OK);
    EXPECT_EQ(fake::TakeCalls(), Calls(kAsked.begin(), kAsked.begin() + 3));
    EXPECT_TRUE(Same(info, FLATPLAY_MEDIA_INFO{32, TRUE, 0, FALSE, FALSE, 320, 240}));
}
