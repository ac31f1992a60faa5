// What the C runtime would otherwise give the programs: the four memory
// functions compilers emit calls to (struct copies, zeroed locals), and the
// string helpers of harness.h. Built so that no compiler turns these loops
// back into calls to the functions they are (see CMakeLists.txt).
#include "harness.h"

extern "C" {

void *memcpy(void *to, const void *from, size_t n) {
    unsigned char *d = static_cast<unsigned char *>(to);
    const unsigned char *s = static_cast<const unsigned char *>(from);
    for (size_t i = 0; i < n; ++i) d[i] = s[i];
    return to;
}

void *memmove(void *to, const void *from, size_t n) {
    unsigned char *d = static_cast<unsigned char *>(to);
    const unsigned char *s = static_cast<const unsigned char *>(from);
    if (d < s) {
        for (size_t i = 0; i < n; ++i) d[i] = s[i];
    } else {
        for (size_t i = n; i > 0; --i) d[i - 1] = s[i - 1];
    }
    return to;
}

void *memset(void *to, int value, size_t n) {
    unsigned char *d = static_cast<unsigned char *>(to);
    for (size_t i = 0; i < n; ++i) d[i] = static_cast<unsigned char>(value);
    return to;
}

int memcmp(const void *a, const void *b, size_t n) {
    const unsigned char *x = static_cast<const unsigned char *>(a);
    const unsigned char *y = static_cast<const unsigned char *>(b);
    for (size_t i = 0; i < n; ++i)
        if (x[i] != y[i]) return x[i] < y[i] ? -1 : 1;
    return 0;
}

} // extern "C"

namespace wt {
namespace {

template <class Char> int CompareUnits(const Char *a, const Char *b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        // As unsigned units, as strcmp and wcscmp compare.
        const unsigned long x = static_cast<unsigned long>(a[i]) & (sizeof(Char) == 1 ? 0xFFu : 0xFFFFu);
        const unsigned long y = static_cast<unsigned long>(b[i]) & (sizeof(Char) == 1 ? 0xFFu : 0xFFFFu);
        if (x != y) return x < y ? -1 : 1;
        if (x == 0) return 0;
    }
    return 0;
}

} // namespace

int Compare(const char *a, const char *b) { return CompareUnits(a, b, static_cast<size_t>(-1)); }
int Compare(const wchar_t *a, const wchar_t *b) { return CompareUnits(a, b, static_cast<size_t>(-1)); }
int Compare(const wchar_t *a, const wchar_t *b, size_t n) { return CompareUnits(a, b, n); }
int Compare(const char *a, const char *b, size_t n) { return CompareUnits(a, b, n); }

const wchar_t *Find(const wchar_t *text, const wchar_t *part) {
    for (const wchar_t *at = text;; ++at) {
        size_t i = 0;
        while (part[i] && at[i] == part[i]) ++i;
        if (!part[i]) return at;
        if (!*at) return nullptr;
    }
}

void Copy(wchar_t *to, size_t size, const wchar_t *from) {
    if (size == 0) return;
    size_t i = 0;
    for (; i + 1 < size && from[i]; ++i) to[i] = from[i];
    to[i] = 0;
}

} // namespace wt
