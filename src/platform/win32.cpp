#include "platform/platform.h"

#include <stdarg.h>
#include <strsafe.h>

// Rendered into a stack buffer: no heap, and one OutputDebugStringW per line.
extern "C" void NKDbgPrintfW(LPCWSTR format, ...) {
    WCHAR line[512];
    va_list args;
    va_start(args, format);
    // A line too long for the buffer is cut, still terminated.
    StringCchVPrintfW(line, sizeof line / sizeof line[0], format, args);
    va_end(args);
    OutputDebugStringW(line);
}
