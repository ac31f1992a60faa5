// The four device-volume exports: wave output device 0, raw and as
// attenuation. The fixture never calls Initialize and opens no graph, so
// every test here also shows that none is needed.
#include "support.h"

#include <cstdint>
#include <limits>
#include <string>

namespace {

// MMSYSERR_INVALHANDLE (what Wine answers for device 0), MMSYSERR_NODRIVER, MMSYSERR_NOTSUPPORTED.
constexpr MMRESULT kDeviceErrors[] = {MMSYSERR_INVALHANDLE, 6, 8};

std::string SetCall(DWORD value) {
    char text[48];
    std::snprintf(text, sizeof text, "waveOutSetVolume(0, 0x%x)", value);
    return text;
}

// What the device-volume exports must never touch.
void ExpectContextUntouched() {
    EXPECT_EQ(GetPlayState(), Stopped);
    EXPECT_EQ(g_ctx.m_lVolume, 0);
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
}

} // namespace

// ---- GetVolumeInit -----------------------------------------------------------

using GetVolumeInitTest = PlayerTest;

TEST_F(GetVolumeInitTest, ReturnsTheRawValueOfDeviceZeroUnchanged) {
    for (DWORD raw : {0x00000000u, 0x0000FFFFu, 0x00008000u, 0xFFFF0000u, 0x8000FFFFu, 0xFFFFFFFFu, 0x12345678u}) {
        SCOPED_TRACE(Format("raw 0x%x", raw));
        fake::values().deviceVolume = raw;
        EXPECT_EQ(GetVolumeInit(), raw);
        EXPECT_EQ(fake::TakeCalls(), (Calls{"waveOutGetVolume(0)"}));
    }
    ExpectContextUntouched();
}

TEST_F(GetVolumeInitTest, AFailingDeviceReadsZeroWithoutALine) {
    for (MMRESULT error : kDeviceErrors) {
        SCOPED_TRACE(error);
        fake::Reset();
        fake::values().deviceVolume = 0x8000FFFF;
        fake::SetResult("waveOutGetVolume", error);
        EXPECT_EQ(GetVolumeInit(), 0u);
        EXPECT_EQ(fake::TakeCalls(), (Calls{"waveOutGetVolume(0)"}));
        ExpectContextUntouched();
    }
}

// ---- Set_Volume --------------------------------------------------------------

using SetRawVolumeTest = PlayerTest;

TEST_F(SetRawVolumeTest, HandsTheValueToDeviceZeroUnchanged) {
    for (DWORD raw : {0x00000000u, 0x00008000u, 0x0000FFFFu, 0x00010000u, 0x33333333u, 0x80000000u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(Format("raw 0x%x", raw));
        fake::values().deviceVolume = 0x5A5A5A5A;
        EXPECT_EQ(Set_Volume(raw), 0);
        EXPECT_EQ(fake::TakeCalls(), Calls{SetCall(raw)});
        EXPECT_EQ(fake::values().deviceVolume, raw);
    }
    ExpectContextUntouched();
}

TEST_F(SetRawVolumeTest, AFailingDeviceStillReturnsZeroWithoutALine) {
    for (MMRESULT error : kDeviceErrors) {
        SCOPED_TRACE(error);
        fake::Reset();
        fake::SetResult("waveOutSetVolume", error);
        EXPECT_EQ(Set_Volume(0x8000), 0);
        EXPECT_EQ(fake::TakeCalls(), Calls{SetCall(0x8000)});
        ExpectContextUntouched();
    }
}

// ---- GetVolume ---------------------------------------------------------------

using GetVolumeTest = PlayerTest;

struct Reading {
    DWORD raw;
    LONG attenuation;
};

void ExpectReadings(std::initializer_list<Reading> readings) {
    for (const Reading &r : readings) {
        SCOPED_TRACE(testing::Message() << "raw 0x" << std::hex << r.raw);
        fake::values().deviceVolume = r.raw;
        EXPECT_EQ(GetVolume(), r.attenuation);
        EXPECT_EQ(fake::TakeCalls(), (Calls{"waveOutGetVolume(0)"}));
    }
}

TEST_F(GetVolumeTest, TranslatesTheLowWordLinearly) {
    ExpectReadings({
        {0xFFFF, 0},
        {0xFFFE, -1},
        {0xC000, -2500},
        {0x8000, -5000},
        {0x7FFF, -5001},
        {0x4000, -7500},
        {0x1999, -9001},
        {0x0007, -9999},
        {0x0006, -10000},
        {0x0001, -10000},
        {0x0000, -10000},
    });
    ExpectContextUntouched();
}

// Each of these reads one lower if a product is kept wider than single
// precision before the truncation.
TEST_F(GetVolumeTest, RoundsEveryStepToSinglePrecision) {
    ExpectReadings({
        {0x1FD2, -8757},
        {0x3333, -8000},
        {0x3FA4, -7514},
        {0x5305, -6757},
        {0x6666, -6000},
        {0x7F48, -5028},
        {0x9999, -4000},
    });
}

TEST_F(GetVolumeTest, ConvertsTheWholeValueSoARightChannelReadsZeroOrAbove) {
    ExpectReadings({
        {0x00010000, 0},
        {0x0001FFFF, 10000},
        {0x33333333, 131064000},
        {0xFFFF0000, 655350000},
        {0xFFFFFFFF, 655359984},
    });
}

// A signed conversion would turn these into large negative attenuations.
TEST_F(GetVolumeTest, ConvertsARawValueWithTheTopBitSetAsUnsigned) {
    ExpectReadings({
        {0x7FFFFFFF, 327674992},
        {0x80000000, 327674992},
        {0x8000FFFF, 327685008},
    });
}

TEST_F(GetVolumeTest, AFailingDeviceReadsSilenceWithoutALine) {
    for (MMRESULT error : kDeviceErrors) {
        SCOPED_TRACE(error);
        fake::Reset();
        fake::values().deviceVolume = 0xFFFF;
        fake::SetResult("waveOutGetVolume", error);
        EXPECT_EQ(GetVolume(), -10000);
        EXPECT_EQ(fake::TakeCalls(), (Calls{"waveOutGetVolume(0)"}));
        ExpectContextUntouched();
    }
}

// ---- SetVolume ---------------------------------------------------------------

using SetVolumeTest = PlayerTest;

struct Setting {
    LONG attenuation;
    DWORD sent;
};

void ExpectSettings(std::initializer_list<Setting> settings) {
    for (const Setting &s : settings) {
        SCOPED_TRACE(s.attenuation);
        fake::values().deviceVolume = 0x5A5A5A5A;
        EXPECT_EQ(SetVolume(s.attenuation), 0);
        EXPECT_EQ(fake::TakeCalls(), Calls{SetCall(s.sent)});
        EXPECT_EQ(fake::values().deviceVolume, s.sent);
    }
}

// Left (or only) channel in the low word, 0 in the right channel's word.
TEST_F(SetVolumeTest, SendsTheLevelInTheLowWordOnly) {
    ExpectSettings({
        {0, 65535},
        {-1, 65528},
        {-100, 64879},
        {-2500, 49151},
        {-5000, 32767},
        {-7500, 16383},
        {-9999, 6},
        {-10000, 0},
    });
    ExpectContextUntouched();
}

// 0 sends 65534 and the others one less when a product is kept wider than
// single precision.
TEST_F(SetVolumeTest, RoundsEveryStepToSinglePrecision) {
    ExpectSettings({
        {0, 65535},
        {-271, 63759},
        {-1243, 57389},
        {-2486, 49243},
        {-3243, 44282},
    });
}

TEST_F(SetVolumeTest, IgnoresTheSign) {
    ExpectSettings({
        {1, 65528},
        {100, 64879},
        {2500, 49151},
        {5000, 32767},
        {7500, 16383},
        {9999, 6},
        {10000, 0},
    });
}

TEST_F(SetVolumeTest, MagnitudesBeyondSilenceSendSilence) {
    ExpectSettings({
        {-10001, 0},
        {10001, 0},
        {-65535, 0},
        {std::numeric_limits<LONG>::max(), 0},
        {std::numeric_limits<LONG>::min() + 1, 0},
        {std::numeric_limits<LONG>::min(), 0},
    });
    ExpectContextUntouched();
}

TEST_F(SetVolumeTest, AFailingDeviceStillReturnsZeroWithoutALine) {
    for (MMRESULT error : kDeviceErrors) {
        SCOPED_TRACE(error);
        fake::Reset();
        fake::SetResult("waveOutSetVolume", error);
        EXPECT_EQ(SetVolume(-5000), 0);
        EXPECT_EQ(fake::TakeCalls(), Calls{SetCall(0x7FFF)});
        ExpectContextUntouched();
    }
}

// ---- SetVolume, then GetVolume -----------------------------------------------

using VolumeRoundTripTest = PlayerTest;

TEST_F(VolumeRoundTripTest, RawMidpointReadsMinus5000AndMinus5000ReadsOneLower) {
    Set_Volume(0x8000);
    EXPECT_EQ(GetVolume(), -5000);
    SetVolume(-5000);
    EXPECT_EQ(GetVolume(), -5001);
}

// On a device that reports back what was set, every attenuation reads one
// lower except these 21.
TEST_F(VolumeRoundTripTest, EveryAttenuationReadsBackTheSameOrOneLower) {
    const std::vector<LONG> kReadTheSame = {0,     -56,   -271,  -1028, -1243, -1299, -1514, -2271, -2486, -3243, -3514,
                                            -4271, -4486, -4757, -5028, -5514, -6757, -7243, -7514, -8757, -10000};
    std::vector<LONG> same, other;
    int lower = 0;
    for (LONG attenuation = 0; attenuation >= -10000; --attenuation) {
        fake::Reset(); // the call log holds a few thousand entries only
        fake::values().deviceVolume = 0x5A5A5A5A;
        SetVolume(attenuation);
        LONG read = GetVolume();
        if (read == attenuation)
            same.push_back(attenuation);
        else if (read == attenuation - 1)
            ++lower;
        else
            other.push_back(attenuation);
    }
    EXPECT_EQ(lower, 9980);
    EXPECT_EQ(same, kReadTheSame);
    EXPECT_EQ(other, std::vector<LONG>{});
}

// ---- All four beside a graph -------------------------------------------------

using DeviceVolumeTest = PlayerTest;

TEST_F(DeviceVolumeTest, LeavesTheGraphAndTheRecordAlone) {
    // Muted through the graph, then turned down by the host: neither value
    // is one the device exports would write.
    OpenClip();
    ASSERT_EQ(ToggleMute(), S_OK);
    fake::values().audioVolume = -3000;
    for (PlayState state : {Running, Paused, Stopped, Closed}) {
        SCOPED_TRACE(state);
        Reach(state);
        fake::values().deviceVolume = 0x8000;
        EXPECT_EQ(GetVolumeInit(), 0x8000u);
        EXPECT_EQ(GetVolume(), -5000);
        EXPECT_EQ(Set_Volume(0xFFFF), 0);
        EXPECT_EQ(SetVolume(-2500), 0);
        EXPECT_EQ(fake::TakeCalls(),
                  (Calls{"waveOutGetVolume(0)", "waveOutGetVolume(0)", SetCall(0xFFFF), SetCall(0xBFFF)}));
        EXPECT_EQ(GetPlayState(), state);
    }
    EXPECT_EQ(g_ctx.m_lVolume, -10000);
    EXPECT_EQ(fake::values().audioVolume, -3000);
    EXPECT_EQ(fake::TakeDebugLines(), Lines{});
}
