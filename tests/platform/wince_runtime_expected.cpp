// Built and run on the build machine (x86-64, SSE): what the Windows CE
// runtime helpers must answer, by this compiler's own arithmetic, for the
// edges and for random values of every magnitude. x86's truncating
// conversion answers the most negative value for NaN and out-of-range
// floats, as the helpers do.
//   wince-runtime-expected FILE
#include "wince_runtime_table.h"

#include <immintrin.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <vector>

namespace {

std::vector<HelperCase> cases;

float F(uint64_t bits) { return std::bit_cast<float>(static_cast<uint32_t>(bits)); }
uint64_t Bits(float value) { return std::bit_cast<uint32_t>(value); }
void Add(Helper helper, uint64_t a, uint64_t b, uint64_t expected) { cases.push_back({helper, 0, a, b, expected}); }

void AddFloat(uint32_t a, uint32_t b) {
    const float x = F(a), y = F(b);
    Add(Helper::Mulsf3, a, b, Bits(x * y));
    Add(Helper::Gesf2, a, b, x >= y);
    Add(Helper::Ltsf2, a, b, x < y);
    Add(Helper::Unordsf2, a, b, std::isunordered(x, y));
}

void AddConversions(uint32_t bits) {
    Add(Helper::Fixsfsi, bits, 0, static_cast<uint32_t>(_mm_cvtt_ss2si(_mm_set_ss(F(bits)))));
    Add(Helper::Fixsfdi, bits, 0, static_cast<uint64_t>(_mm_cvttss_si64(_mm_set_ss(F(bits)))));
}

void AddInteger(int64_t a) {
    Add(Helper::Floatdisf, static_cast<uint64_t>(a), 0, Bits(static_cast<float>(a)));
    Add(Helper::Floatsisf, static_cast<uint32_t>(a), 0, Bits(static_cast<float>(static_cast<int32_t>(a))));
    Add(Helper::Floatunsisf, static_cast<uint32_t>(a), 0, Bits(static_cast<float>(static_cast<uint32_t>(a))));
}

void AddDivisions(int64_t a, int64_t b) {
    constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
    if (b != 0 && !(a == kMin && b == -1))
        Add(Helper::Divdi3, static_cast<uint64_t>(a), static_cast<uint64_t>(b), static_cast<uint64_t>(a / b));
    const int32_t a32 = static_cast<int32_t>(a), b32 = static_cast<int32_t>(b);
    if (b32 != 0 && !(a32 == std::numeric_limits<int32_t>::min() && b32 == -1))
        Add(Helper::Divsi3, static_cast<uint32_t>(a32), static_cast<uint32_t>(b32), static_cast<uint32_t>(a32 / b32));
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) return 2;
    // Zeros, subnormals, the normal range's ends, infinities, NaNs, the
    // integer limits, and the library's own constants, with both signs.
    std::vector<uint32_t> floats;
    for (uint32_t bits : {0x0u,        0x1u,        0x7FFFFFu,   0x800000u,   0x3F800000u, 0x3F000000u, 0x3FC00000u,
                          0x4B800000u, 0x4B7FFFFFu, 0x4F000000u, 0x4EFFFFFFu, 0x5F000000u, 0x5EFFFFFFu, 0x7F7FFFFFu,
                          0x7F800000u, 0x7FC00000u, 0x7F800001u, 0x3C23D70Au, 0x37800080u, 0x461C4000u, 0x38D1B717u,
                          0x477FFF00u, 0x42C80000u, 0x4B189680u, 0x00400000u, 0x34000000u}) {
        floats.push_back(bits);
        floats.push_back(bits | 0x80000000u);
    }
    for (uint32_t a : floats) {
        AddConversions(a);
        for (uint32_t b : floats) AddFloat(a, b);
    }
    std::vector<int64_t> integers{0, 1, -1, 10'000'000, -10'000'000, 65535, 480, 768};
    for (int k = 1; k < 64; ++k)
        for (int64_t d : {-1, 0, 1}) {
            integers.push_back(static_cast<int64_t>((uint64_t{1} << k) + static_cast<uint64_t>(d)));
            integers.push_back(static_cast<int64_t>(0 - (uint64_t{1} << k) + static_cast<uint64_t>(d)));
        }
    for (int64_t a : integers) {
        AddInteger(a);
        for (int64_t b : integers) AddDivisions(a, b);
    }

    std::mt19937_64 random(27);
    auto any_magnitude = [&random] {
        const int bits = static_cast<int>(random() % 64);
        const uint64_t value = bits == 0 ? 0 : random() >> (64 - bits);
        return random() & 1 ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
    };
    for (int i = 0; i < 20000; ++i) {
        AddInteger(any_magnitude());
        AddDivisions(any_magnitude(), any_magnitude());
    }
    for (int i = 0; i < 20000; ++i) {
        const uint32_t a = static_cast<uint32_t>(random()), b = static_cast<uint32_t>(random());
        AddFloat(a, b);
        AddConversions(a);
    }
    // Products at the edge of the subnormal range, where rounding is hardest.
    for (int i = 0; i < 20000; ++i) {
        const uint32_t ea = 1 + static_cast<uint32_t>(random() % 253);
        const int64_t eb = 127 - 30 + static_cast<int64_t>(random() % 34) - ea;
        if (eb < 0 || eb > 254) continue;
        const uint32_t a = ea << 23 | (static_cast<uint32_t>(random()) & 0x807FFFFFu);
        const uint32_t b = static_cast<uint32_t>(eb) << 23 | (static_cast<uint32_t>(random()) & 0x807FFFFFu);
        Add(Helper::Mulsf3, a, b, Bits(F(a) * F(b)));
    }
    FILE *out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(cases.data(), sizeof(HelperCase), cases.size(), out) != cases.size()) return 1;
    std::printf("%zu cases\n", cases.size());
    return std::fclose(out) == 0 ? 0 : 1;
}
