// Off Windows (native unit tests only): exactly the Win32, COM and
// DirectShow declarations the core uses, with Windows' widths. The test
// fake platform defines the functions and implements the interfaces.
#pragma once

#include <cstdint>

#define WINAPI
#define CALLBACK
#define STDMETHODCALLTYPE
#define TEXT(s) u##s

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using BOOL = std::int32_t;
using LPVOID = void *;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__ *;
using LONGLONG = std::int64_t;
using HRESULT = std::int32_t;
using WCHAR = char16_t;
using LPCWSTR = const WCHAR *;
using BSTR = WCHAR *;
using LONG_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using OAHWND = LONG_PTR;
using MMRESULT = UINT;

struct HWND__;
using HWND = HWND__ *;
struct HWAVEOUT__;
using HWAVEOUT = HWAVEOUT__ *;
using WNDPROC = LRESULT(CALLBACK *)(HWND, UINT, WPARAM, LPARAM);

#define MAX_PATH 260
#define DLL_PROCESS_DETACH 0
#define TRUE 1
#define FALSE 0
#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_NOTIMPL ((HRESULT)0x80004001)
#define E_NOINTERFACE ((HRESULT)0x80004002)
#define E_POINTER ((HRESULT)0x80004003)
#define E_ABORT ((HRESULT)0x80004004)
#define E_FAIL ((HRESULT)0x80004005)
#define E_HANDLE ((HRESULT)0x80070006)
#define E_OUTOFMEMORY ((HRESULT)0x8007000E)
#define E_INVALIDARG ((HRESULT)0x80070057)
#define CO_E_NOTINITIALIZED ((HRESULT)0x800401F0)
#define RPC_E_CHANGED_MODE ((HRESULT)0x80010106)
#define RPC_E_WRONG_THREAD ((HRESULT)0x8001010E)
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define ERROR_FILENAME_EXCED_RANGE 206L
#define HRESULT_FROM_WIN32(x)                                                                                          \
    ((HRESULT)(x) <= 0 ? ((HRESULT)(x)) : ((HRESULT)(((x)&0x0000FFFF) | (7 << 16) | 0x80000000)))

#define CLSCTX_INPROC_SERVER 0x1
#define COINIT_MULTITHREADED 0x0
#define WS_CHILD 0x40000000L
#define OATRUE (-1)
#define OAFALSE (0)
#define AM_SEEKING_NoPositioning 0x0
#define AM_SEEKING_AbsolutePositioning 0x1
#define AM_SEEKING_CanSeekAbsolute 0x1

#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define GW_CHILD 5
#define GWLP_WNDPROC (-4)
#define WM_USER 0x0400
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define MMSYSERR_NOERROR 0
#define MMSYSERR_INVALHANDLE 5

struct RECT {
    LONG left, top, right, bottom;
};

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID &;
using REFCLSID = const CLSID &;
inline bool operator==(const GUID &a, const GUID &b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}

extern "C" const CLSID CLSID_FilterGraph;
extern "C" const IID IID_IGraphBuilder;
extern "C" const IID IID_IMediaControl;
extern "C" const IID IID_IMediaEventEx;
extern "C" const IID IID_IMediaSeeking;
extern "C" const IID IID_IVideoWindow;
extern "C" const IID IID_IBasicAudio;
extern "C" const IID IID_IBasicVideo;

struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppv) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;

protected:
    ~IUnknown() = default;
};

struct IGraphBuilder : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE RenderFile(LPCWSTR file, LPCWSTR playList) = 0;

protected:
    ~IGraphBuilder() = default;
};

struct IMediaControl : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Run() = 0;
    virtual HRESULT STDMETHODCALLTYPE Pause() = 0;
    virtual HRESULT STDMETHODCALLTYPE Stop() = 0;

protected:
    ~IMediaControl() = default;
};

struct IMediaEventEx : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetEvent(LONG *code, LONG_PTR *param1, LONG_PTR *param2, LONG timeout) = 0;
    virtual HRESULT STDMETHODCALLTYPE FreeEventParams(LONG code, LONG_PTR param1, LONG_PTR param2) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetNotifyWindow(OAHWND hwnd, LONG msg, LONG_PTR instanceData) = 0;

protected:
    ~IMediaEventEx() = default;
};

struct IMediaSeeking : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetCapabilities(DWORD *capabilities) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDuration(LONGLONG *duration) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentPosition(LONGLONG *current) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetPositions(LONGLONG *current, DWORD currentFlags, LONGLONG *stop,
                                                   DWORD stopFlags) = 0;
#if defined(FLATPLAY_WINCE_TESTS)
    // The fake's view, in the unit tests of the core compiled for Windows
    // CE: the core passes the double in r1:r2, as CE does, where the fake,
    // armel code, would look for it in r2:r3; as two words both agree.
    virtual HRESULT STDMETHODCALLTYPE SetRate(DWORD low, DWORD high) = 0;
#else
    virtual HRESULT STDMETHODCALLTYPE SetRate(double rate) = 0;
#endif

protected:
    ~IMediaSeeking() = default;
};

struct IVideoWindow : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE put_Caption(BSTR caption) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_WindowStyle(LONG style) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Visible(LONG visible) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Owner(OAHWND owner) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_MessageDrain(OAHWND drain) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_FullScreenMode(LONG *mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_FullScreenMode(LONG mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetWindowForeground(LONG focus) = 0;
    virtual HRESULT STDMETHODCALLTYPE NotifyOwnerMessage(OAHWND hwnd, LONG msg, LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetWindowPosition(LONG left, LONG top, LONG width, LONG height) = 0;

protected:
    ~IVideoWindow() = default;
};

struct IBasicAudio : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE put_Volume(LONG volume) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Volume(LONG *volume) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Balance(LONG balance) = 0;

protected:
    ~IBasicAudio() = default;
};

struct IBasicVideo : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetVideoSize(LONG *width, LONG *height) = 0;

protected:
    ~IBasicVideo() = default;
};

extern "C" {
HRESULT CoInitializeEx(void *reserved, DWORD coInit);
void CoUninitialize();
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown *outer, DWORD context, REFIID iid, void **ppv);
DWORD CoGetCurrentProcess();
LONG InterlockedCompareExchange(volatile LONG *target, LONG exchange, LONG comparand);
LONG InterlockedExchange(volatile LONG *target, LONG value);

int GetSystemMetrics(int index);
HWND GetWindow(HWND hwnd, UINT cmd);
HWND FindWindowExW(HWND parent, HWND after, LPCWSTR className, LPCWSTR windowName);
LONG_PTR GetWindowLongPtrW(HWND hwnd, int index);
LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value);
LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

MMRESULT waveOutGetVolume(HWAVEOUT device, DWORD *volume);
MMRESULT waveOutSetVolume(HWAVEOUT device, DWORD volume);

void NKDbgPrintfW(LPCWSTR format, ...);
}
