// The 32-bit ARM helpers the programs call beyond the DLL's own three
// (src/platform/arm_runtime.cpp): 32-bit signed division (video_test's
// mouse coordinates) and unsigned 64-bit division, where the compiler has
// proved a quotient non-negative (AviLengthOnDisk's sound length). Shifts
// and subtraction only: dividing would call itself. Windows passes the
// divisor first; the compiler has already trapped a zero divisor. Windows'
// own helpers also leave the remainder in the next registers, which clang
// never reads: it computes remainders from the quotient.
#include <stdint.h>

extern "C" int32_t __rt_sdiv(int32_t divisor, int32_t dividend) {
    const uint32_t n = dividend < 0 ? 0 - static_cast<uint32_t>(dividend) : static_cast<uint32_t>(dividend);
    const uint32_t d = divisor < 0 ? 0 - static_cast<uint32_t>(divisor) : static_cast<uint32_t>(divisor);
    uint32_t quotient = 0, rest = 0;
    for (int bit = 31; bit >= 0; --bit) {
        // rest is at most n >> (bit + 1) < 2^31 before the shift: no bit lost.
        rest = rest << 1 | (n >> bit & 1);
        if (rest >= d) {
            rest -= d;
            quotient |= uint32_t{1} << bit;
        }
    }
    return static_cast<int32_t>((dividend < 0) != (divisor < 0) ? 0 - quotient : quotient);
}

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
