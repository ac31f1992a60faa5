// The 32-bit ARM helpers the programs call beyond the DLL's own
// (src/platform/arm_runtime.cpp): unsigned 64-bit division, where the
// compiler has proved a quotient non-negative (AviLengthOnDisk's sound
// length), and the conversions between 64-bit integers and doubles
// (player-rate's positions at a rate). Shifts, subtraction and 32-bit
// conversions only: the operation itself would call the helper again.
// Windows passes the divisor first; the compiler has already trapped a zero
// divisor. Windows' own helper also leaves the remainder in the next
// registers, which clang never reads: it computes remainders from the
// quotient.
#include <stdint.h>

extern "C" uint64_t __rt_udiv64(uint64_t divisor, uint64_t dividend) {
    uint64_t quotient = 0, rest = 0;
    for (int bit = 63; bit >= 0; --bit) {
        // rest is at most dividend >> (bit + 1) < 2^63 before the shift: no bit lost.
        rest = rest << 1 | (dividend >> bit & 1);
        if (rest >= divisor) {
            rest -= divisor;
            quotient |= uint64_t{1} << bit;
        }
    }
    return quotient;
}

// Rounded to nearest, ties to even: both halves are exact in a double, so
// their sum is rounded once, as the conversion rounds.
extern "C" double __i64tod(int64_t value) {
    return static_cast<double>(static_cast<int32_t>(value >> 32)) * 4294967296.0 +
           static_cast<double>(static_cast<uint32_t>(value));
}

// Truncated toward zero. NaN and magnitudes of 2^63 or more give INT64_MIN,
// as x86's conversion does (and __stoi64).
extern "C" int64_t __dtoi64(double value) {
    const uint64_t bits = __builtin_bit_cast(uint64_t, value);
    const int exponent = static_cast<int>(bits >> 52 & 0x7FF);
    if (exponent >= 1023 + 63) return INT64_MIN;
    if (exponent < 1023) return 0;
    // value = mantissa * 2^(exponent - 1075)
    const uint64_t mantissa = (bits & ((uint64_t{1} << 52) - 1)) | uint64_t{1} << 52;
    const uint64_t magnitude = exponent >= 1075 ? mantissa << (exponent - 1075) : mantissa >> (1075 - exponent);
    return static_cast<int64_t>(bits >> 63 ? 0 - magnitude : magnitude);
}
