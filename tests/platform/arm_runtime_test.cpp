// The 32-bit ARM runtime helpers, run natively against this compiler's own
// arithmetic (x86-64 divides and converts in hardware): the edges, then a
// sweep of random values of every magnitude.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

extern "C" int64_t __rt_sdiv64(int64_t divisor, int64_t dividend);
extern "C" int32_t __rt_sdiv(int32_t divisor, int32_t dividend);
// Called by the Wine test programs only (tests/wine/arm_runtime.cpp).
extern "C" uint64_t __rt_udiv64(uint64_t divisor, uint64_t dividend);
extern "C" double __i64tod(int64_t value);
extern "C" int64_t __dtoi64(double value);
extern "C" float __i64tos(int64_t value);
extern "C" int64_t __stoi64(float value);

namespace {

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
constexpr int kSweep = 2'000'000;

// 0, ±1, and around ±2^k for every k: the carries, the 2^24 and 2^53 float
// limits and the ends of the range.
std::vector<int64_t> Edges() {
    std::vector<int64_t> v{0, 1, -1, kMax, kMin, kMax - 1, kMin + 1, 10'000'000, -10'000'000};
    for (int k = 1; k < 63; ++k) {
        for (int64_t d : {-1, 0, 1}) {
            v.push_back((int64_t{1} << k) + d);
            v.push_back(-(int64_t{1} << k) + d);
        }
    }
    return v;
}

// Random values whose magnitude is itself random, so that every bit width
// is as likely as any other.
int64_t AnyMagnitude(std::mt19937_64 &random) {
    const int bits = static_cast<int>(random() % 64);
    const uint64_t value = bits == 0 ? 0 : random() >> (64 - bits);
    return random() & 1 ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
}

TEST(ArmRuntimeTest, Sdiv64DividesAsTheCompiler) {
    std::vector<int64_t> edges = Edges();
    int cases = 0;
    for (int64_t dividend : edges) {
        for (int64_t divisor : edges) {
            if (divisor == 0 || (dividend == kMin && divisor == -1)) continue; // trapped, or undefined
            ASSERT_EQ(__rt_sdiv64(divisor, dividend), dividend / divisor) << dividend << " / " << divisor;
            ++cases;
        }
    }
    std::mt19937_64 random(1);
    for (int i = 0; i < kSweep; ++i, ++cases) {
        const int64_t dividend = AnyMagnitude(random), divisor = AnyMagnitude(random);
        if (divisor == 0 || (dividend == kMin && divisor == -1)) continue;
        ASSERT_EQ(__rt_sdiv64(divisor, dividend), dividend / divisor) << dividend << " / " << divisor;
    }
    std::printf("__rt_sdiv64: %d cases\n", cases);
}

TEST(ArmRuntimeTest, SdivDividesAsTheCompiler) {
    constexpr int32_t kMin32 = std::numeric_limits<int32_t>::min(), kMax32 = std::numeric_limits<int32_t>::max();
    std::vector<int32_t> edges{0, 1, -1, kMax32, kMin32, kMax32 - 1, kMin32 + 1, 65536, 1024, 768, 480};
    for (int k = 1; k < 31; ++k) {
        for (int32_t d : {-1, 0, 1}) {
            edges.push_back((int32_t{1} << k) + d);
            edges.push_back(-(int32_t{1} << k) + d);
        }
    }
    int cases = 0;
    for (int32_t dividend : edges) {
        for (int32_t divisor : edges) {
            if (divisor == 0 || (dividend == kMin32 && divisor == -1)) continue; // trapped, or undefined
            ASSERT_EQ(__rt_sdiv(divisor, dividend), dividend / divisor) << dividend << " / " << divisor;
            ++cases;
        }
    }
    // Of random width and sign, as AnyMagnitude.
    std::mt19937 random(5);
    auto any = [&random] {
        const uint32_t magnitude = static_cast<uint32_t>(random()) >> (random() % 32);
        return static_cast<int32_t>(random() & 1 ? 0 - magnitude : magnitude);
    };
    for (int i = 0; i < kSweep; ++i, ++cases) {
        const int32_t dividend = any(), divisor = any();
        if (divisor == 0 || (dividend == kMin32 && divisor == -1)) continue;
        ASSERT_EQ(__rt_sdiv(divisor, dividend), dividend / divisor) << dividend << " / " << divisor;
    }
    std::printf("__rt_sdiv: %d cases\n", cases);
}

TEST(ArmRuntimeTest, Udiv64DividesAsTheCompiler) {
    // The signed edges as unsigned: 0, 1, around 2^k and around 2^64 - 2^k,
    // dividends and divisors of 2^63 and more among them.
    std::vector<uint64_t> edges;
    for (int64_t edge : Edges()) edges.push_back(static_cast<uint64_t>(edge));
    edges.push_back(std::numeric_limits<uint64_t>::max());
    edges.push_back(std::numeric_limits<uint64_t>::max() - 1);
    int cases = 0;
    for (uint64_t dividend : edges) {
        for (uint64_t divisor : edges) {
            if (divisor == 0) continue; // trapped
            ASSERT_EQ(__rt_udiv64(divisor, dividend), dividend / divisor) << dividend << " / " << divisor;
            ++cases;
        }
    }
    std::mt19937_64 random(4);
    for (int i = 0; i < kSweep; ++i, ++cases) {
        const uint64_t dividend = static_cast<uint64_t>(AnyMagnitude(random));
        const uint64_t divisor = static_cast<uint64_t>(AnyMagnitude(random));
        if (divisor == 0) continue;
        ASSERT_EQ(__rt_udiv64(divisor, dividend), dividend / divisor) << dividend << " / " << divisor;
    }
    std::printf("__rt_udiv64: %d cases\n", cases);
}

TEST(ArmRuntimeTest, I64tosRoundsAsTheCompiler) {
    int cases = 0;
    for (int64_t value : Edges()) {
        ASSERT_EQ(__i64tos(value), static_cast<float>(value)) << value;
        ++cases;
    }
    // Ties between two floats above 2^53, where a rounding through double
    // without the sticky bit would round twice.
    for (int64_t value : {(int64_t{1} << 54) + (int64_t{1} << 30) + 1, (int64_t{1} << 62) + (int64_t{1} << 38) + 1,
                          (int64_t{1} << 62) + (int64_t{3} << 38)}) {
        ASSERT_EQ(__i64tos(value), static_cast<float>(value)) << value;
        ASSERT_EQ(__i64tos(-value), static_cast<float>(-value)) << -value;
        cases += 2;
    }
    std::mt19937_64 random(2);
    for (int i = 0; i < kSweep; ++i, ++cases) {
        const int64_t value = AnyMagnitude(random);
        ASSERT_EQ(__i64tos(value), static_cast<float>(value)) << value;
    }
    std::printf("__i64tos: %d cases\n", cases);
}

TEST(ArmRuntimeTest, Stoi64TruncatesAsTheCompiler) {
    int cases = 0;
    std::vector<float> values{0.0f,
                              -0.0f,
                              0.5f,
                              -0.5f,
                              0.99999994f,
                              1.0f,
                              -1.0f,
                              1.5f,
                              -1.5f,
                              20000000.0f,
                              std::nextafter(9223372036854775808.0f, 0.0f),
                              -9223372036854775808.0f};
    for (int64_t edge : Edges()) values.push_back(static_cast<float>(edge));
    for (float value : values) {
        if (!(std::fabs(value) < 9223372036854775808.0f) && value != -9223372036854775808.0f) continue;
        ASSERT_EQ(__stoi64(value), static_cast<int64_t>(value)) << value;
        ++cases;
    }
    // Beyond the range (SeekSong saturates before converting): x86's value.
    for (float value : {9223372036854775808.0f, -1e30f, std::numeric_limits<float>::infinity(),
                        -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
        EXPECT_EQ(__stoi64(value), kMin) << value;
        ++cases;
    }
    std::mt19937 random(3);
    for (int i = 0; i < kSweep; ++i) {
        const float value = std::bit_cast<float>(static_cast<uint32_t>(random()));
        if (!(std::fabs(value) < 9223372036854775808.0f)) continue;
        ASSERT_EQ(__stoi64(value), static_cast<int64_t>(value)) << value;
        ++cases;
    }
    std::printf("__stoi64: %d cases\n", cases);
}

TEST(ArmRuntimeTest, I64todRoundsAsTheCompiler) {
    int cases = 0;
    for (int64_t value : Edges()) {
        ASSERT_EQ(__i64tod(value), static_cast<double>(value)) << value;
        ++cases;
    }
    // Ties between two doubles: halfway, and just above halfway.
    for (int64_t value : {(int64_t{1} << 54) + 2, (int64_t{1} << 54) + 6, (int64_t{1} << 62) + (int64_t{1} << 9),
                          (int64_t{1} << 62) + (int64_t{1} << 9) + 1, (int64_t{1} << 62) + (int64_t{3} << 9)}) {
        ASSERT_EQ(__i64tod(value), static_cast<double>(value)) << value;
        ASSERT_EQ(__i64tod(-value), static_cast<double>(-value)) << -value;
        cases += 2;
    }
    std::mt19937_64 random(5);
    for (int i = 0; i < kSweep; ++i, ++cases) {
        const int64_t value = AnyMagnitude(random);
        ASSERT_EQ(__i64tod(value), static_cast<double>(value)) << value;
    }
    std::printf("__i64tod: %d cases\n", cases);
}

TEST(ArmRuntimeTest, Dtoi64TruncatesAsTheCompiler) {
    int cases = 0;
    std::vector<double> values{0.0,
                               -0.0,
                               0.5,
                               -0.5,
                               0.9999999999999999,
                               1.0,
                               -1.0,
                               1.5,
                               -1.5,
                               20000000.5,
                               std::nextafter(9223372036854775808.0, 0.0),
                               -9223372036854775808.0};
    for (int64_t edge : Edges()) values.push_back(static_cast<double>(edge));
    for (double value : values) {
        if (!(std::fabs(value) < 9223372036854775808.0) && value != -9223372036854775808.0) continue;
        ASSERT_EQ(__dtoi64(value), static_cast<int64_t>(value)) << value;
        ++cases;
    }
    for (double value : {9223372036854775808.0, -1e300, std::numeric_limits<double>::infinity(),
                         -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_EQ(__dtoi64(value), kMin) << value;
        ++cases;
    }
    std::mt19937_64 random(6);
    for (int i = 0; i < kSweep; ++i) {
        const double value = std::bit_cast<double>(random());
        if (!(std::fabs(value) < 9223372036854775808.0)) continue;
        ASSERT_EQ(__dtoi64(value), static_cast<int64_t>(value)) << value;
        ++cases;
    }
    std::printf("__dtoi64: %d cases\n", cases);
}

} // namespace
