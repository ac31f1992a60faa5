// The Windows CE runtime helpers (src/platform/wince_runtime.cpp), compiled
// as the CE DLL compiles them and run under emulation, against the answers
// of the build machine's compiler (wince_runtime_expected.cpp): every case
// of the table, helper by helper.
#include "platform/wince_runtime_table.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <vector>

extern "C" {
int64_t __divdi3(int64_t dividend, int64_t divisor);
int32_t __divsi3(int32_t dividend, int32_t divisor);
float __mulsf3(float a, float b);
float __floatsisf(int32_t value);
float __floatunsisf(uint32_t value);
float __floatdisf(int64_t value);
int32_t __fixsfsi(float value);
int64_t __fixsfdi(float value);
int __gesf2(float a, float b);
int __ltsf2(float a, float b);
int __unordsf2(float a, float b);
}

namespace {

const std::vector<HelperCase> &Cases() {
    static const std::vector<HelperCase> cases = [] {
        std::vector<HelperCase> all;
        if (FILE *in = std::fopen(FLATPLAY_WINCE_EXPECTED, "rb")) {
            for (HelperCase c; std::fread(&c, sizeof c, 1, in) == 1;) all.push_back(c);
            std::fclose(in);
        }
        return all;
    }();
    return cases;
}

float F(uint64_t bits) { return std::bit_cast<float>(static_cast<uint32_t>(bits)); }
uint64_t Bits(float value) { return std::bit_cast<uint32_t>(value); }

// What the helper answers for a case, in the table's terms.
uint64_t Answer(const HelperCase &c) {
    switch (c.helper) {
    case Helper::Divdi3: return static_cast<uint64_t>(__divdi3(static_cast<int64_t>(c.a), static_cast<int64_t>(c.b)));
    case Helper::Divsi3: return static_cast<uint32_t>(__divsi3(static_cast<int32_t>(c.a), static_cast<int32_t>(c.b)));
    case Helper::Mulsf3: return Bits(__mulsf3(F(c.a), F(c.b)));
    case Helper::Floatsisf: return Bits(__floatsisf(static_cast<int32_t>(c.a)));
    case Helper::Floatunsisf: return Bits(__floatunsisf(static_cast<uint32_t>(c.a)));
    case Helper::Floatdisf: return Bits(__floatdisf(static_cast<int64_t>(c.a)));
    case Helper::Fixsfsi: return static_cast<uint32_t>(__fixsfsi(F(c.a)));
    case Helper::Fixsfdi: return static_cast<uint64_t>(__fixsfdi(F(c.a)));
    case Helper::Gesf2: return __gesf2(F(c.a), F(c.b)) >= 0;
    case Helper::Ltsf2: return __ltsf2(F(c.a), F(c.b)) < 0;
    case Helper::Unordsf2: return __unordsf2(F(c.a), F(c.b)) != 0;
    case Helper::Count: break;
    }
    return ~c.expected;
}

class WinceRuntimeTest : public ::testing::TestWithParam<Helper> {};

TEST_P(WinceRuntimeTest, AnswersAsTheHostCompiler) {
    int cases = 0;
    for (const HelperCase &c : Cases()) {
        if (c.helper != GetParam()) continue;
        ++cases;
        const uint64_t answer = Answer(c);
        // Any NaN is NaN: the payload is not the helpers' to match.
        if (c.helper == Helper::Mulsf3 && std::isnan(F(c.expected))) {
            ASSERT_TRUE(std::isnan(F(answer))) << std::hex << c.a << " * " << c.b << " gave " << answer;
            continue;
        }
        ASSERT_EQ(answer, c.expected) << std::hex << "a " << c.a << " b " << c.b;
    }
    std::printf("%d cases\n", cases);
    EXPECT_GT(cases, 1000); // the table was read
}

std::string HelperName(const ::testing::TestParamInfo<Helper> &info) {
    static const char *const names[] = {"Divdi3",  "Divsi3",  "Mulsf3", "Floatsisf", "Floatunsisf", "Floatdisf",
                                        "Fixsfsi", "Fixsfdi", "Gesf2",  "Ltsf2",     "Unordsf2"};
    return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Helpers, WinceRuntimeTest,
                         ::testing::Values(Helper::Divdi3, Helper::Divsi3, Helper::Mulsf3, Helper::Floatsisf,
                                           Helper::Floatunsisf, Helper::Floatdisf, Helper::Fixsfsi, Helper::Fixsfdi,
                                           Helper::Gesf2, Helper::Ltsf2, Helper::Unordsf2),
                         HelperName);

} // namespace
