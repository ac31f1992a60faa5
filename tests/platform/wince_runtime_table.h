// The Windows CE runtime helpers' cases: inputs and what the host's
// compiler answers for them, written by wince_runtime_expected.cpp (built
// and run on the build machine) and read by wince_runtime_test.cpp under
// emulation.
#pragma once

#include <cstdint>

enum class Helper : uint32_t {
    Divdi3,
    Divsi3,
    Mulsf3,
    Floatsisf,
    Floatunsisf,
    Floatdisf,
    Fixsfsi,
    Fixsfdi,
    Gesf2, // expected: 1 when a >= b
    Ltsf2, // expected: 1 when a < b
    Unordsf2,
    Count
};

// Floats as their bits, integers as their two's complement.
struct HelperCase {
    Helper helper;
    uint32_t unused;
    uint64_t a, b, expected;
};
