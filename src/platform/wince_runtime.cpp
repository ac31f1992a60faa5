// Windows CE on ARM: ARMv4 has no divide instruction and no floating point
// (devices differ in what they add), so the compiler calls helpers for
// these, which a C runtime would bring; the DLL links none. Here are the
// ones the library's code calls, under the names clang gives them for this
// target: 64- and 32-bit division (TotalTime, GetPlayPositionDurationPercent,
// a host's video rectangle), single-precision multiplication, comparison and
// conversion to and from integers (SeekSong, the volume translations), and
// memset. None may use the operation it implements: that would call
// itself. Floats are taken apart as bits.
#include <stddef.h>
#include <stdint.h>

namespace {

constexpr uint32_t kSign = 0x80000000u;
constexpr uint32_t kInfinity = 0x7F800000u;
constexpr uint32_t kQuietNaN = 0x7FC00000u;

uint32_t Bits(float value) { return __builtin_bit_cast(uint32_t, value); }
float Float(uint32_t bits) { return __builtin_bit_cast(float, bits); }
bool IsNaN(uint32_t bits) { return (bits & ~kSign) > kInfinity; }
uint64_t Magnitude(int64_t value) {
    return value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
}

// Shifts and subtraction; a zero divisor is the caller's to avoid.
uint64_t Divide(uint64_t dividend, uint64_t divisor) {
    uint64_t quotient = 0, rest = 0;
    for (int bit = 63; bit >= 0; --bit) {
        rest = rest << 1 | (dividend >> bit & 1);
        if (rest >= divisor) {
            rest -= divisor;
            quotient |= uint64_t{1} << bit;
        }
    }
    return quotient;
}

// sign | mantissa * 2^exponent, rounded once to the nearest float, ties to
// even, subnormals and overflow to infinity included.
float Round(uint32_t sign, int exponent, uint64_t mantissa) {
    if (!mantissa) return Float(sign);
    int top = 63; // the leading bit, found without CLZ (ARMv5)
    while (!(mantissa >> top)) --top;
    // Keep 24 bits, or fewer where the result is subnormal (2^-149 is the
    // smallest step).
    int shift = top - 23;
    if (shift < -(exponent + 149)) shift = -(exponent + 149);
    uint64_t kept;
    if (shift <= 0) {
        kept = mantissa << -shift;
    } else if (shift > 64) {
        kept = 0; // below half the smallest step
    } else {
        kept = shift == 64 ? 0 : mantissa >> shift;
        const uint64_t rest = mantissa - (shift == 64 ? 0 : kept << shift);
        const uint64_t half = uint64_t{1} << (shift - 1);
        if (rest > half || (rest == half && (kept & 1))) ++kept;
    }
    // kept * 2^(exponent + shift) with kept below 2^24, or 2^24 after a
    // carry, which the addition below takes into the exponent. A subnormal
    // (exponent + shift == -149) gets exponent field 0 plus its carry.
    const int biased = 23 + exponent + shift + 127;
    if (biased >= 255) return Float(sign | kInfinity);
    const uint32_t bits = (static_cast<uint32_t>(biased - 1) << 23) + static_cast<uint32_t>(kept);
    return Float(sign | (bits >= kInfinity ? kInfinity : bits));
}

// Truncated toward zero to a signed integer of `width` bits. NaN and
// magnitudes of 2^(width - 1) or more give the most negative value, as
// x86's conversion does; the library converts none of them.
uint64_t Truncate(float value, int width) {
    const uint32_t bits = Bits(value);
    const int exponent = static_cast<int>(bits >> 23 & 0xFF);
    if (exponent >= 127 + width - 1) return uint64_t{1} << (width - 1);
    if (exponent < 127) return 0;
    const uint64_t mantissa = (bits & 0x7FFFFF) | 0x800000; // value = mantissa * 2^(exponent - 150)
    const uint64_t magnitude = exponent >= 150 ? mantissa << (exponent - 150) : mantissa >> (150 - exponent);
    return bits & kSign ? 0 - magnitude : magnitude;
}

// -1, 0 or 1 for ordered operands; +0 equals -0.
// `unordered` when either is a NaN.
int Compare(float x, float y, int unordered) {
    const uint32_t a = Bits(x), b = Bits(y);
    if (IsNaN(a) || IsNaN(b)) return unordered;
    if (!((a | b) & ~kSign)) return 0;
    const int32_t ka = a & kSign ? -static_cast<int32_t>(a & ~kSign) : static_cast<int32_t>(a);
    const int32_t kb = b & kSign ? -static_cast<int32_t>(b & ~kSign) : static_cast<int32_t>(b);
    return (ka > kb) - (ka < kb);
}

} // namespace

extern "C" {

int64_t __divdi3(int64_t dividend, int64_t divisor) {
    const uint64_t quotient = Divide(Magnitude(dividend), Magnitude(divisor));
    return static_cast<int64_t>((dividend < 0) != (divisor < 0) ? 0 - quotient : quotient);
}

// INT32_MIN / -1 wraps to INT32_MIN.
int32_t __divsi3(int32_t dividend, int32_t divisor) { return static_cast<int32_t>(__divdi3(dividend, divisor)); }

float __mulsf3(float a, float b) {
    const uint32_t x = Bits(a), y = Bits(b), sign = (x ^ y) & kSign;
    if (IsNaN(x)) return Float(x | 0x400000);
    if (IsNaN(y)) return Float(y | 0x400000);
    const bool zero = !(x & ~kSign) || !(y & ~kSign);
    if ((x & ~kSign) == kInfinity || (y & ~kSign) == kInfinity) return Float(zero ? kQuietNaN : sign | kInfinity);
    if (zero) return Float(sign);
    // Each as mantissa * 2^exponent; a subnormal has no leading 1.
    const int ex = static_cast<int>(x >> 23 & 0xFF), ey = static_cast<int>(y >> 23 & 0xFF);
    const uint32_t mx = (x & 0x7FFFFF) | (ex ? 0x800000 : 0), my = (y & 0x7FFFFF) | (ey ? 0x800000 : 0);
    return Round(sign, (ex ? ex : 1) - 150 + (ey ? ey : 1) - 150, uint64_t{mx} * my);
}

float __floatsisf(int32_t value) { return Round(value < 0 ? kSign : 0, 0, Magnitude(value)); }
float __floatunsisf(uint32_t value) { return Round(0, 0, value); }
float __floatdisf(int64_t value) { return Round(value < 0 ? kSign : 0, 0, Magnitude(value)); }
int32_t __fixsfsi(float value) { return static_cast<int32_t>(Truncate(value, 32)); }
int64_t __fixsfdi(float value) { return static_cast<int64_t>(Truncate(value, 64)); }

// a >= b gives 0 or more; unordered (a NaN) gives less.
int __gesf2(float a, float b) { return Compare(a, b, -1); }
// a < b gives less than 0; unordered gives more.
int __ltsf2(float a, float b) { return Compare(a, b, 1); }
int __unordsf2(float a, float b) { return IsNaN(Bits(a)) || IsNaN(Bits(b)); }

// clang zeroes a run of fields (a new pool player's settings) with memset,
// which no C runtime brings here. Built without builtins, so that this loop
// is not made a memset call of its own.
void *memset(void *to, int byte, size_t count) {
    for (auto *at = static_cast<unsigned char *>(to); count; --count) *at++ = static_cast<unsigned char>(byte);
    return to;
}
}
