// dshow.h brings strsafe.h, which would rename wvsprintfW to steer callers
// to its own functions; those need the C runtime.
#define STRSAFE_NO_DEPRECATE
#include "platform/platform.h"

#include <stdarg.h>

// Rendered into a stack buffer by USER32, not a C runtime (the DLL links
// none): no heap, and one OutputDebugStringW per line. Every format is short
// and fixed; wvsprintfW writes at most 1024 units and the terminator.
extern "C" void NKDbgPrintfW(LPCWSTR format, ...) {
    WCHAR line[1025];
    va_list args;
    va_start(args, format);
    wvsprintfW(line, format, args);
    va_end(args);
    OutputDebugStringW(line);
}
