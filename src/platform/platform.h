// The seam: the core includes only this for Win32, COM and DirectShow.
// The DLL gets the SDK's own declarations; the native tests get the
// portable set, implemented by the recording fake.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#include <dshow.h>
#include <mmsystem.h>
// Windows CE's kernel debug print; desktop Windows lacks it (see win32.cpp).
extern "C" void NKDbgPrintfW(LPCWSTR format, ...);
#else
#include "platform/portable.h"
#endif

#include <flatplay/flatplay.h>
