#include "api/context.h"

// Not yet built.
extern "C" DWORD WINAPI GetVolumeInit(void) { return 0; }
extern "C" HRESULT WINAPI Set_Volume(DWORD) { return E_NOTIMPL; }
extern "C" LONG WINAPI GetVolume(void) { return 0; }
extern "C" HRESULT WINAPI SetVolume(LONG) { return E_NOTIMPL; }
extern "C" HRESULT WINAPI ToggleMute(void) { return E_NOTIMPL; }
