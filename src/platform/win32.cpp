#include "platform/debug_line.h"

// Rendered into a stack buffer, not by a C runtime (the DLL links none): no
// heap, and one OutputDebugStringW per line.
extern "C" void NKDbgPrintfW(LPCWSTR format, ...) {
    WCHAR line[kDebugLineMax + 1];
    va_list args;
    va_start(args, format);
    FormatDebugLine(line, format, args);
    va_end(args);
    OutputDebugStringW(line);
}
