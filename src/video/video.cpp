#include "api/context.h"

// Not yet built.
extern "C" HRESULT WINAPI PutForeground(BOOL) { return E_NOTIMPL; }
extern "C" HRESULT WINAPI FullScreen(BOOL) { return E_NOTIMPL; }
extern "C" HRESULT WINAPI IsFullScreen(LONG *) { return E_NOTIMPL; }
extern "C" HRESULT WINAPI PutMessageDrain(HWND) { return E_NOTIMPL; }
