// The 32-bit ARM helper the programs call beyond the DLL's own
// (src/platform/arm_runtime.cpp): unsigned 64-bit division, where the
// compiler has proved a quotient non-negative (AviLengthOnDisk's sound
// length). Shifts and subtraction only: dividing would call itself.
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
