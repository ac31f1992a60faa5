#include "api/context.h"

// Not yet built.
extern "C" LONGLONG WINAPI GetPlayPositionDuration(void) { return 0; }
extern "C" LONGLONG WINAPI GetPlayPositionCurrent(void) { return 0; }
extern "C" LONGLONG WINAPI GetPlayPositionDurationPercent(void) { return 0; }
extern "C" LONGLONG WINAPI TotalTime(void) { return 0; }
extern "C" HRESULT WINAPI GetPlayPosition(LONGLONG *, LONGLONG *) { return E_NOTIMPL; }
extern "C" HRESULT WINAPI SeekSong(float) { return E_NOTIMPL; }
