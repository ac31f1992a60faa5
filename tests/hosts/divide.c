/* What MSVC mode on x86 calls for a program without a C runtime: _fltused
 * for floating point, and 64-bit division and remainder through __alldiv,
 * __aulldiv, __allrem and __aullrem, here taken from ntdll.dll, which
 * exports them on x86. Built as C++ by check-hosts, with the README's
 * extern "C" definition of _fltused. Prints "divide: ok" when every result
 * is right. */
#include <windows.h>

#ifdef __cplusplus
extern "C" int _fltused = 0;
#define DIVIDE_C extern "C"
#else
int _fltused = 0;
#define DIVIDE_C
#endif

static volatile LONGLONG position = 36001440000, unit = -10000000;
static volatile ULONGLONG big = 0xFFFFFFFFFFFFFFF1ULL, small = 10;
static volatile float percent = 50.0f;

DIVIDE_C void DivideEntry(void) {
    static const char ok[] = "divide: ok\r\n", wrong[] = "divide: WRONG\r\n";
    DWORD written;
    int right = position / unit == -3600 && position % unit == 1440000 && big / small == 0x1999999999999998ULL &&
                big % small == 1 && (int)(percent * 2.0f) == 100;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), right ? ok : wrong, right ? sizeof ok - 1 : sizeof wrong - 1, &written,
              NULL);
    ExitProcess(right ? 0 : 1);
}
