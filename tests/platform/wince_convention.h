// Where Windows CE's ARM compilers put each export's arguments and how they
// lay out the structures that cross the DLL's boundary, as their documents
// describe ("ARM Parameter Passing": the first four words in r0-r3, the
// rest on the stack, a 64-bit integer or double 4-byte aligned, a float as
// one word; 64-bit members of structures 8-byte aligned). The rows are
// compiled with the CE target's code generation (wince_convention_table.cpp)
// and compared with these rules by wince_convention_test.cpp.
#pragma once

#include <cstddef>
#include <cstdint>

// The words a call left in r0-r3 and in its first four stack slots.
struct ArgumentWords {
    uint32_t r[4];
    uint32_t stack[4];
};

// Defined by the test: it takes eight words, so it sees r0-r3 and the first
// four stack slots whatever the caller believed it was calling.
extern "C" uint64_t RecordArguments(uint32_t r0, uint32_t r1, uint32_t r2, uint32_t r3, uint32_t s0, uint32_t s1,
                                    uint32_t s2, uint32_t s3);
extern ArgumentWords g_recordedArguments;

// Word `word` (0 low, 1 high) of argument `argument`: distinct everywhere.
constexpr uint32_t ConventionMarker(unsigned argument, unsigned word) { return 0xCE000000u | argument << 8 | word; }

struct ConventionRow {
    const char *function;
    // Calls RecordArguments as if it were the function, each argument its
    // marker, from code built with the CE target's flags.
    ArgumentWords (*call)();
    // Where each argument travels, in order, separated by spaces: r0-r3 or
    // s0-s3 (stack words); a 64-bit one as LOW:HIGH. Empty: no arguments.
    const char *where;
};

struct MemberRow {
    const char *name;
    size_t size, offset;
};

struct LayoutRow {
    const char *type;
    size_t size;
    MemberRow members[8]; // up to the first without a name
};

extern const ConventionRow kConventionRows[];
extern const size_t kConventionRowCount;
extern const LayoutRow kLayoutRows[];
extern const size_t kLayoutRowCount;
