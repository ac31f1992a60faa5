/* 64 KiB of locals: every compiler probes such a frame page by page
 * (__chkstk, ___chkstk_ms), in Debug and Release builds alike. */
#include <flatplay/flatplay.h>

static int Probe(void) {
    static const char ok[] = "probe: 65536 bytes of locals; the DLL's version is the header's\n";
    volatile char big[65536];
    DWORD written;
    int i;
    for (i = 0; i < (int)sizeof big; i += 4096) big[i] = (char)i;
    big[sizeof big - 1] = 1;
    if (GetLibraryVersion() != FLATPLAY_VERSION || big[sizeof big - 1] != 1) return 1;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), ok, sizeof ok - 1, &written, NULL);
    return 0;
}

/* Without a C runtime (ARM) the program starts here. */
void ProbeEntry(void) { ExitProcess((UINT)Probe()); }

int main(void) { return Probe(); }
