/* A host written in C: the header compiles as C, and every export links
 * through the import library (on x86 against the stdcall symbols). Built
 * for both architectures; run under Wine on x64. */
#include <flatplay/flatplay.h>

#include <stdio.h>

int main(void) {
    LONGLONG current = 0, duration = 0;
    LONG full = 0;
    int failures = 0;
    /* No Initialize, no graph: every gate answers without touching COM. */
    failures += GetPlayState() != FLATPLAY_STOPPED;
    failures += InitGraph(NULL) != E_POINTER;
    failures += PlayPause() != E_FAIL;
    failures += Stop() != S_OK;
    failures += GetPlayPosition(&current, &duration) != E_FAIL;
    failures += GetPlayPositionCurrent() != 0 || GetPlayPositionDuration() != 0;
    failures += GetPlayPositionDurationPercent() != 0 || TotalTime() != 0;
    failures += SeekSong(50.0f) != S_OK;
    failures += ToggleMute() != S_OK;
    failures += PutForeground(TRUE) != E_FAIL || FullScreen(TRUE) != E_FAIL;
    failures += IsFullScreen(&full) != E_FAIL || PutMessageDrain(NULL) != E_FAIL;
    failures += SetHWND(NULL) != S_OK;
    ClearGraph();
    failures += GetPlayState() != FLATPLAY_CLOSED;
    (void)GetVolumeInit();
    (void)GetVolume();
    failures += Set_Volume(0xFFFF) != S_OK || SetVolume(0) != S_OK;
    failures += UnInitialize() != S_OK;
    printf("c host: %d failed check(s)\n", failures);
    return failures != 0;
}
