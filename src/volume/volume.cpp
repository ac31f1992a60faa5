#include "api/context.h"

#include <bit>
#include <cfloat>
#include <cstdint>

// The translations round to single precision after every step, alike on
// every target: a wider evaluation format (x87) would shift values. Each is
// a conversion, two products and a truncation; with no addition there is
// nothing for a compiler to fuse into a multiply-add.
static_assert(FLT_EVAL_METHOD == 0, "float arithmetic must not be widened: build x86 with -msse2 -mfpmath=sse");

namespace {

// The published constants, bit for bit: decimal literals would leave the
// rounding of 1/65535 and 0.0001 to the compiler.
constexpr float kDeviceToUnit = std::bit_cast<float>(std::uint32_t{0x37800080});      // 1/65535
constexpr float kUnitToAttenuation = std::bit_cast<float>(std::uint32_t{0xC61C4000}); // -10000
constexpr float kAttenuationToUnit = std::bit_cast<float>(std::uint32_t{0x38D1B717}); // 0.0001
constexpr float kUnitToDevice = std::bit_cast<float>(std::uint32_t{0x477FFF00});      // 65535

constexpr LONG kSilent = -10000;

// Wave output device 0, as an id where the API wants a handle.
HWAVEOUT DeviceZero() { return reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(0)); }

} // namespace

extern "C" DWORD WINAPI GetVolumeInit(void) {
    DWORD raw = 0;
    waveOutGetVolume(DeviceZero(), &raw);
    return raw;
}

extern "C" HRESULT WINAPI Set_Volume(DWORD volume) {
    waveOutSetVolume(DeviceZero(), volume);
    return S_OK;
}

extern "C" LONG WINAPI GetVolume(void) {
    DWORD raw = 0;
    waveOutGetVolume(DeviceZero(), &raw);
    // The whole value, right channel included, and unsigned: a right word of
    // 0x8000 or more still gives a level, not a negative number.
    float level = static_cast<float>(raw);
    level = level * kDeviceToUnit;
    level = level * kUnitToAttenuation;
    // At most 4294967295 / 65535 * 10000 in magnitude: fits a LONG.
    LONG truncated = static_cast<LONG>(level);
    return kSilent - truncated;
}

extern "C" HRESULT WINAPI SetVolume(LONG attenuation) {
    // In unsigned arithmetic so that the most negative LONG has a magnitude.
    DWORD magnitude = attenuation < 0 ? 0u - static_cast<DWORD>(attenuation) : static_cast<DWORD>(attenuation);
    DWORD level = 0; // beyond silence stays silence
    if (magnitude <= static_cast<DWORD>(-kSilent)) {
        float scaled = static_cast<float>(-kSilent - static_cast<LONG>(magnitude));
        scaled = scaled * kAttenuationToUnit;
        scaled = scaled * kUnitToDevice;
        // 0 to 65535: the left (or only) channel; the right channel gets 0.
        level = static_cast<DWORD>(static_cast<LONG>(scaled));
    }
    waveOutSetVolume(DeviceZero(), level);
    return S_OK;
}

extern "C" HRESULT WINAPI ToggleMute(void) {
    if (!g_ctx.m_pGB || !g_ctx.m_pBA) return S_OK;
    // Re-read every time: the host may have changed the graph volume since.
    HRESULT hr = g_ctx.m_pBA->get_Volume(&g_ctx.m_lVolume);
    if (FAILED(hr)) {
        NKDbgPrintfW(TEXT("Failed in pBA->get_Volume!  hr=0x%x\r\n"), static_cast<unsigned>(hr));
        return hr;
    }
    // Anything short of full volume counts as quiet and is turned up.
    g_ctx.m_lVolume = g_ctx.m_lVolume == 0 ? kSilent : 0;
    hr = g_ctx.m_pBA->put_Volume(g_ctx.m_lVolume);
    if (FAILED(hr)) REPORT_FAILURE(hr, "m_pBA->put_Volume(m_lVolume)");
    return hr;
}

extern "C" HRESULT WINAPI GetMuteState(LONG *muted) {
    if (!muted) return E_POINTER;
    if (!g_ctx.m_pBA) return E_FAIL;
    LONG volume = 0;
    HRESULT hr = g_ctx.m_pBA->get_Volume(&volume);
    if (FAILED(hr)) return hr;
    // As ToggleMute sees it: anything short of full volume is quiet.
    *muted = volume != 0 ? 1 : 0;
    return hr;
}

// A pool player's level, balance and mute: kept by the player for every
// file (PlayerOpen gives them to each), and recorded even when the open
// file refuses them (a file without sound).

extern "C" HRESULT WINAPI PlayerSetVolume(FLATPLAY_PLAYER handle, LONG level) {
    return WithPlayer(handle, [level](PoolPlayer &player) {
        if (level < kSilent || level > 0) return E_INVALIDARG;
        player.m_lLevel = level;
        // Muted, it sounds at the unmute.
        if (!player.m_pBA || player.m_bMuted) return S_OK;
        return player.m_pBA->put_Volume(level);
    });
}

extern "C" HRESULT WINAPI PlayerSetBalance(FLATPLAY_PLAYER handle, LONG balance) {
    return WithPlayer(handle, [balance](PoolPlayer &player) {
        if (balance < kSilent || balance > -kSilent) return E_INVALIDARG;
        player.m_lBalance = balance;
        return player.m_pBA ? player.m_pBA->put_Balance(balance) : S_OK;
    });
}

// Unlike ToggleMute, the level comes back as it was set.
extern "C" HRESULT WINAPI PlayerSetMute(FLATPLAY_PLAYER handle, BOOL mute) {
    return WithPlayer(handle, [mute](PoolPlayer &player) {
        player.m_bMuted = mute ? TRUE : FALSE;
        return player.m_pBA ? player.m_pBA->put_Volume(AudibleLevel(player)) : S_OK;
    });
}
