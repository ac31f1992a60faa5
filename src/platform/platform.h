// The seam: the core includes only this for Win32, COM and DirectShow.
// The DLL gets the SDK's own declarations; the native tests get the
// portable set, implemented by the recording fake.
#pragma once

// Data defined in this DLL. The mingw compilers reach a variable declared
// without it through a pointer that the loader fixes (the variable might be
// another DLL's); clang then takes it as the DLL's own and addresses it
// directly: less code and no relocations. GCC refuses it for Windows: x64
// is built with -mcmodel=small for the same effect.
#if defined(__clang__)
#define FLATPLAY_OWN_DATA __attribute__((visibility("hidden")))
#else
#define FLATPLAY_OWN_DATA
#endif

#if defined(_WIN32)
#include <windows.h>
#include <dshow.h>
#include <mmsystem.h>
// Windows CE's kernel debug print; desktop Windows lacks it (see win32.cpp).
extern "C" void NKDbgPrintfW(LPCWSTR format, ...);
#if defined(__arm__) && __ARM_ARCH < 6
// Windows CE (ARMv4): the interlocked calls are coredll's own functions;
// the desktop headers make them instructions ARMv4 does not have.
#undef InterlockedCompareExchange
#undef InterlockedExchange
extern "C" LONG WINAPI InterlockedCompareExchange(volatile LONG *target, LONG exchange, LONG comparand);
extern "C" LONG WINAPI InterlockedExchange(volatile LONG *target, LONG value);
// The thread's number as CE's own headers give it (kfuncs.h's inline
// GetCurrentThreadId): the current thread's handle in the kernel's page of
// user data, at 0xFFFFC800 + 4 + 4 on ARM. Not ole32's CoGetCurrentProcess,
// which a device's COM may lack: one import missing, and the DLL loads not at all.
inline DWORD CeCurrentThreadId() { return *reinterpret_cast<const volatile DWORD *>(0xFFFFC808); }
#define CoGetCurrentProcess CeCurrentThreadId
#endif
// The SDK declares these; guids.cpp defines them.
extern "C" {
extern FLATPLAY_OWN_DATA const CLSID CLSID_FilterGraph;
extern FLATPLAY_OWN_DATA const IID IID_IGraphBuilder;
extern FLATPLAY_OWN_DATA const IID IID_IMediaControl;
extern FLATPLAY_OWN_DATA const IID IID_IMediaEventEx;
extern FLATPLAY_OWN_DATA const IID IID_IMediaSeeking;
extern FLATPLAY_OWN_DATA const IID IID_IVideoWindow;
extern FLATPLAY_OWN_DATA const IID IID_IBasicAudio;
extern FLATPLAY_OWN_DATA const IID IID_IBasicVideo;
}
#else
#include "platform/portable.h"
#endif

#include <flatplay/flatplay.h>
