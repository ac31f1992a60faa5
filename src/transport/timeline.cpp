#include "api/context.h"

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>

// SeekSong's target must round to single precision after every step, as on
// the devices. Evaluating float expressions in a wider format (x87 without
// -mfpmath=sse) would give other targets; refuse to build like that.
static_assert(FLT_EVAL_METHOD == 0, "float arithmetic must not be widened: build x86 with -msse2 -mfpmath=sse");

namespace {

constexpr LONGLONG kUnitsPerSecond = 10000000;
// 0.01 as the devices' compilers store it.
constexpr float kHundredth = std::bit_cast<float>(std::uint32_t{0x3C23D70A});
static_assert(std::bit_cast<std::uint32_t>(kHundredth) == 0x3C23D70A);

bool CanAnswer() { return g_ctx.m_pMS && IsActive(); }

LONGLONG Duration() {
    LONGLONG duration = 0;
    g_ctx.m_pMS->GetDuration(&duration);
    return duration;
}

LONGLONG Current() {
    LONGLONG current = 0;
    g_ctx.m_pMS->GetCurrentPosition(&current);
    return current;
}

// Truncates toward zero. Converting NaN or a value beyond LONGLONG is
// undefined, so NaN gives 0 and the rest saturates.
LONGLONG ToMediaTime(float product) {
    constexpr float kLimit = 9223372036854775808.0f; // 2^63, exact in float
    if (std::isnan(product)) return 0;
    if (product >= kLimit) return std::numeric_limits<LONGLONG>::max();
    if (product < -kLimit) return std::numeric_limits<LONGLONG>::min();
    return static_cast<LONGLONG>(product);
}

// No addition, so nothing can be contracted into a fused multiply-add.
LONGLONG SeekTarget(LONGLONG duration, float percent) {
    const float length = static_cast<float>(duration);
    const float scaled = length * percent;
    const float product = scaled * kHundredth;
    return ToMediaTime(product);
}

// Both values or neither: each query's failure with its line.
HRESULT ReadPosition(const Player &player, LONGLONG *current, LONGLONG *duration) {
    LONGLONG llDuration = 0;
    HRESULT hr = player.m_pMS->GetDuration(&llDuration);
    if (FAILED(hr)) {
        REPORT_FAILURE(hr, "m_pMS->GetDuration(&llDuration)");
        return hr;
    }
    LONGLONG llCurrent = 0;
    hr = player.m_pMS->GetCurrentPosition(&llCurrent);
    if (FAILED(hr)) {
        REPORT_FAILURE(hr, "m_pMS->GetCurrentPosition(&llCurrent)");
        return hr;
    }
    *current = llCurrent;
    *duration = llDuration;
    return hr;
}

} // namespace

extern "C" LONGLONG WINAPI GetPlayPositionDuration(void) { return CanAnswer() ? Duration() : 0; }

extern "C" LONGLONG WINAPI GetPlayPositionCurrent(void) { return CanAnswer() ? Current() : 0; }

extern "C" LONGLONG WINAPI GetPlayPositionDurationPercent(void) {
    return CanAnswer() ? Current() / kUnitsPerSecond : 0;
}

extern "C" LONGLONG WINAPI TotalTime(void) { return CanAnswer() ? Duration() / kUnitsPerSecond : 0; }

extern "C" HRESULT WINAPI GetPlayPosition(LONGLONG *current, LONGLONG *duration) {
    if (!CanAnswer()) return E_FAIL;
    if (!current || !duration) return E_POINTER;
    return ReadPosition(g_ctx, current, duration);
}

#if defined(_WIN32) && defined(__i386__)
// ld looks x86 exports up under a leading underscore, which a decorated C++
// name lacks (as with MSVC). The second name is set here, beside the
// definition, so that both are one address.
__asm__(".globl \"_" FLATPLAY_GETPLAYPOSITION_EXPORT "\"\n\t"
        ".set \"_" FLATPLAY_GETPLAYPOSITION_EXPORT "\", \"" FLATPLAY_GETPLAYPOSITION_EXPORT "\"");
#endif

extern "C" HRESULT WINAPI SeekSong(float percent) {
    if (!CanAnswer()) return S_OK;
    LONGLONG position = SeekTarget(Duration(), percent);
    HRESULT hr =
        g_ctx.m_pMS->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
    if (FAILED(hr)) {
        REPORT_FAILURE(hr, "m_pMS->SetPositions( &position, AM_SEEKING_AbsolutePositioning , NULL, "
                           "AM_SEEKING_NoPositioning )");
    }
    return hr;
}

// The pool players answer in every state with a file, and say why not.

extern "C" HRESULT WINAPI PlayerGetPosition(FLATPLAY_PLAYER handle, LONGLONG *position, LONGLONG *duration) {
    return WithPlayer(handle, [=](PoolPlayer &player) {
        if (!position || !duration) return E_POINTER;
        return player.m_pMS ? ReadPosition(player, position, duration) : E_FAIL;
    });
}

extern "C" HRESULT WINAPI PlayerSetRate(FLATPLAY_PLAYER handle, double rate) {
    return WithPlayer(handle, [rate](PoolPlayer &player) {
        // Finite and above 0, told by the bits: the sign bit clear, not all
        // zero, and below the exponent of the infinities and NaNs. No float
        // comparison: on a soft-float processor that would call a helper.
        const auto bits = std::bit_cast<std::uint64_t>(rate);
        if (bits - 1 >= 0x7FF0000000000000 - 1) return E_INVALIDARG;
        if (!player.m_pMS) return E_FAIL;
        return player.m_pMS->SetRate(rate);
    });
}
