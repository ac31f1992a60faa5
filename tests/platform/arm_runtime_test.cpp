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

// int64_t to F as the compiler rounds it: the edges, `ties` (between two
// values of F, where rounding twice or without the sticky bit goes wrong)
// and their negatives, then the sweep.
template <typename F>
int RoundsAsTheCompiler(F (*convert)(int64_t), std::initializer_list<int64_t> ties, unsigned seed) {
    int cases = 0;
    for (int64_t value : Edges()) {
        EXPECT_EQ(convert(value), static_cast<F>(value)) << value;
        ++cases;
    }
    for (int64_t value : ties) {
        EXPECT_EQ(convert(value), static_cast<F>(value)) << value;
        EXPECT_EQ(convert(-value), static_cast<F>(-value)) << -value;
        cases += 2;
    }
    std::mt19937_64 random(seed);
    for (int i = 0; i < kSweep && !::testing::Test::HasFailure(); ++i, ++cases) {
        const int64_t value = AnyMagnitude(random);
        EXPECT_EQ(convert(value), static_cast<F>(value)) << value;
    }
    return cases;
}

// F to int64_t as the compiler truncates it, within the range; beyond it
// (SeekSong saturates before converting) x86's value, INT64_MIN. `fractions`
// are values below 1 and around it; the sweep takes every bit pattern of F.
template <typename F, typename Bits>
int TruncatesAsTheCompiler(int64_t (*convert)(F), std::initializer_list<F> fractions, F big, unsigned seed) {
    constexpr F kTwo63 = 9223372036854775808.0;
    std::vector<F> values(fractions);
    for (F v : {F(0), F(1), F(1.5), F(20000000), std::nextafter(kTwo63, F(0))}) {
        values.push_back(v);
        values.push_back(-v);
    }
    values.push_back(-kTwo63);
    for (int64_t edge : Edges()) values.push_back(static_cast<F>(edge));
    int cases = 0;
    for (F value : values) {
        if (!(std::fabs(value) < kTwo63) && value != -kTwo63) continue;
        EXPECT_EQ(convert(value), static_cast<int64_t>(value)) << value;
        ++cases;
    }
    for (F value : {kTwo63, -big, std::numeric_limits<F>::infinity(), -std::numeric_limits<F>::infinity(),
                    std::numeric_limits<F>::quiet_NaN()}) {
        EXPECT_EQ(convert(value), kMin) << value;
        ++cases;
    }
    std::mt19937_64 random(seed);
    for (int i = 0; i < kSweep && !::testing::Test::HasFailure(); ++i) {
        const F value = std::bit_cast<F>(static_cast<Bits>(random()));
        if (!(std::fabs(value) < kTwo63)) continue;
        EXPECT_EQ(convert(value), static_cast<int64_t>(value)) << value;
        ++cases;
    }
    return cases;
}

TEST(ArmRuntimeTest, I64tosRoundsAsTheCompiler) {
    std::printf("__i64tos: %d cases\n", RoundsAsTheCompiler<float>(__i64tos,
                                                                   {(int64_t{1} << 54) + (int64_t{1} << 30) + 1,
                                                                    (int64_t{1} << 62) + (int64_t{1} << 38) + 1,
                                                                    (int64_t{1} << 62) + (int64_t{3} << 38)},
                                                                   2));
}

TEST(ArmRuntimeTest, I64todRoundsAsTheCompiler) {
    std::printf("__i64tod: %d cases\n",
                RoundsAsTheCompiler<double>(
                    __i64tod,
                    {(int64_t{1} << 54) + 2, (int64_t{1} << 54) + 6, (int64_t{1} << 62) + (int64_t{1} << 9),
                     (int64_t{1} << 62) + (int64_t{1} << 9) + 1, (int64_t{1} << 62) + (int64_t{3} << 9)},
                    5));
}

TEST(ArmRuntimeTest, Stoi64TruncatesAsTheCompiler) {
    std::printf("__stoi64: %d cases\n",
                TruncatesAsTheCompiler<float, uint32_t>(__stoi64, {0.5f, -0.5f, 0.99999994f, -0.0f}, 1e30f, 3));
}

TEST(ArmRuntimeTest, Dtoi64TruncatesAsTheCompiler) {
    std::printf("__dtoi64: %d cases\n", TruncatesAsTheCompiler<double, uint64_t>(
                                            __dtoi64, {0.5, -0.5, 0.9999999999999999, -0.0, 20000000.5}, 1e300, 6));
}

} // namespace
