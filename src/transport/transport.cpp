#include "api/context.h"

// Not yet built.
extern "C" HRESULT WINAPI PlayPause(void) { return E_NOTIMPL; }
extern "C" HRESULT WINAPI Stop(void) { return E_NOTIMPL; }
