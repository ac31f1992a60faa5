// The debug line's own formatting, shared by the DLL and its Wine check.
// Output is the same as wvsprintfW's for what the library's lines use: %x
// of an unsigned 32-bit value (lowercase, no leading zeros), %s of a wide
// string and %% for a percent sign; any other character is copied. Not
// wvsprintfW itself: arm64 Wine's is Linux code that reads a Windows
// argument list as a Linux one and crashes, and every failure with a value
// would then crash the host.
#pragma once

#include "platform/platform.h"

#include <stdarg.h>

// As wvsprintfW: at most this many units, then the terminator.
constexpr UINT kDebugLineMax = 1024;

// Inline: the DLL formats in one place, which needs no function of its own.
[[gnu::always_inline]] inline void FormatDebugLine(WCHAR (&line)[kDebugLineMax + 1], LPCWSTR format, va_list args) {
    UINT n = 0;
    for (; *format && n < kDebugLineMax; ++format) {
        if (format[0] != L'%' || (format[1] != L'x' && format[1] != L's' && format[1] != L'%')) {
            line[n++] = *format;
            continue;
        }
        if (*++format == L'%') {
            line[n++] = L'%';
            continue;
        }
        if (*format == L's') {
            for (LPCWSTR text = va_arg(args, LPCWSTR); *text && n < kDebugLineMax; ++text) line[n++] = *text;
            continue;
        }
        unsigned value = va_arg(args, unsigned);
        // Eight hex digits at most, most significant first: found by shift.
        int shift = 28;
        while (shift > 0 && !(value >> shift)) shift -= 4;
        for (; shift >= 0 && n < kDebugLineMax; shift -= 4) {
            const unsigned digit = value >> shift & 15;
            line[n++] = static_cast<WCHAR>(digit < 10 ? L'0' + digit : L'a' - 10 + digit);
        }
    }
    line[n] = 0;
}
