// Windows on 32-bit ARM has no instruction for these, and its compilers
// call helpers that the C runtime brings; the DLL links none, so here are
// the four that the library's code calls: 64-bit division (TotalTime and
// GetPlayPositionDurationPercent divide by units per second), 32-bit
// division (placing the video in a host rectangle) and the conversions
// between LONGLONG and float (SeekSong). None may use the operation it
// implements: that would call itself.
#include <stdint.h>

// dividend / divisor, truncated toward zero. Windows passes the divisor
// first; the compiler has already trapped a zero divisor.
extern "C" int64_t __rt_sdiv64(int64_t divisor, int64_t dividend) {
    const uint64_t n = dividend < 0 ? 0 - static_cast<uint64_t>(dividend) : static_cast<uint64_t>(dividend);
    const uint64_t d = divisor < 0 ? 0 - static_cast<uint64_t>(divisor) : static_cast<uint64_t>(divisor);
    uint64_t quotient = 0, rest = 0;
    for (int bit = 63; bit >= 0; --bit) {
        rest = rest << 1 | (n >> bit & 1);
        if (rest >= d) {
            rest -= d;
            quotient |= uint64_t{1} << bit;
        }
    }
    return static_cast<int64_t>((dividend < 0) != (divisor < 0) ? 0 - quotient : quotient);
}

// The same for 32 bits, through the 64-bit helper by name: a division
// written here the compiler could narrow back into a call to this one.
// INT32_MIN / -1 wraps to INT32_MIN.
extern "C" int32_t __rt_sdiv(int32_t divisor, int32_t dividend) {
    return static_cast<int32_t>(__rt_sdiv64(divisor, dividend));
}

// Rounded to nearest, ties to even. A double holds up to 53 bits exactly;
// of a larger magnitude the bits shifted out leave one sticky bit, far below
// float's rounding bit, so that the one rounding (double to float) is
// still exact to the rule.
extern "C" float __i64tos(int64_t value) {
    const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    int shift = 0;
    while (magnitude >> shift >= uint64_t{1} << 53) ++shift;
    uint64_t kept = magnitude >> shift;
    if (magnitude & ((uint64_t{1} << shift) - 1)) kept |= 1;
    double exact = static_cast<double>(static_cast<uint32_t>(kept >> 32)) * 4294967296.0 +
                   static_cast<double>(static_cast<uint32_t>(kept));
    for (; shift > 0; --shift) exact *= 2.0;
    const float rounded = static_cast<float>(exact);
    return value < 0 ? -rounded : rounded;
}

// Truncated toward zero. NaN and magnitudes of 2^63 or more give INT64_MIN,
// as x86's conversion does; SeekSong passes none but -2^63 itself.
extern "C" int64_t __stoi64(float value) {
    const uint32_t bits = __builtin_bit_cast(uint32_t, value);
    const int exponent = static_cast<int>(bits >> 23 & 0xFF);
    if (exponent >= 127 + 63) return INT64_MIN;
    if (exponent < 127) return 0;
    const uint64_t mantissa = (bits & 0x7FFFFF) | 0x800000; // value = mantissa * 2^(exponent - 150)
    const uint64_t magnitude = exponent >= 150 ? mantissa << (exponent - 150) : mantissa >> (150 - exponent);
    return static_cast<int64_t>(bits >> 31 ? 0 - magnitude : magnitude);
}
