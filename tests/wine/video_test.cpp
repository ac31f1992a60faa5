// The video exports under Wine with real DirectShow and real input: where
// the renderer's window goes, clicks on it forwarded to the host, the
// child's own procedure given back, and the mode-change message.
#include "harness.h"

// strsafe.h (from dshow.h) would rename the C runtime's string functions.
#define STRSAFE_NO_DEPRECATE
#include <dshow.h>

#include <initializer_list>

namespace {

// ---- Real input ---------------------------------------------------------------

// The mouse as the user moves it: absolute, normalised to 0..65535.
void Mouse(DWORD flags, POINT at) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(at.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 65536 / GetSystemMetrics(SM_CXSCREEN) / 2;
    in.mi.dy = MulDiv(at.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 65536 / GetSystemMetrics(SM_CYSCREEN) / 2;
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    CHECK_EQ(SendInput(1, &in, sizeof in), 1);
}

POINT CentreOf(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A press, a release, or both, on the screen point; what they cause is
// awaited by the caller.
void Press(POINT at) {
    Mouse(0, at);
    POINT cursor = {};
    PUMP_UNTIL(wt::kDeadlineMs, GetCursorPos(&cursor) && cursor.x == at.x && cursor.y == at.y);
    CHECK_EQ(cursor.x, at.x);
    CHECK_EQ(cursor.y, at.y);
    Mouse(MOUSEEVENTF_LEFTDOWN, at);
}
void Release(POINT at) { Mouse(MOUSEEVENTF_LEFTUP, at); }
void Click(POINT at) {
    Press(at);
    Release(at);
}

// Awaits `n` taps at `hwnd` since the last take, left for the caller to take.
#define AWAIT_TAPS(hwnd, n) PUMP_UNTIL(wt::kDeadlineMs, wt::CountReceived((hwnd), WM_VIDEO_TAPPED) >= (n))

// Once a tap has come, the window's thread may still be in the handler
// that posted it: a message sent to the window waits for the handler to
// end, and then every tap it posted is in the host's queue.
void SettleTaps(HWND window, HWND host) {
    DWORD_PTR result = 0;
    CHECK(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, wt::kDeadlineMs, &result) != 0);
    wt::PumpPostedSoFar(host);
}

// Clicks the middle of the window and returns how many taps the host got
// for it, once the first has come and the handler that posted it has ended.
int TapsForClick(HWND window, HWND host) {
    Click(CentreOf(window));
    AWAIT_TAPS(host, 1);
    SettleTaps(window, host);
    return wt::TakeReceived(host, WM_VIDEO_TAPPED);
}

// Input on the renderer's thread that must cause no tap gives no sign when
// it has been handled, so a tap that should not come is given this long to
// come anyway.
void WaitOutStrayTap() { wt::Pump(200); }

// ---- Helpers ------------------------------------------------------------------

WNDPROC ProcOf(HWND hwnd) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)); }

RECT RectIn(HWND host, HWND video) {
    RECT r;
    GetWindowRect(video, &r);
    MapWindowPoints(nullptr, host, reinterpret_cast<POINT *>(&r), 2);
    return r;
}

bool ShownAt(HWND host, HWND video, LONG left, LONG top, LONG width, LONG height) {
    RECT r = RectIn(host, video);
    return IsWindowVisible(video) && r.left == left && r.top == top && r.right - r.left == width &&
           r.bottom - r.top == height;
}

// Visible with a size: where PutForeground puts it is checked by Place.
bool Shown(HWND video) {
    RECT r;
    return IsWindowVisible(video) && GetWindowRect(video, &r) && r.right > r.left && r.bottom > r.top;
}

// The video child's rectangle in the host's client area, and whether it shows.
void CheckVideoAt(HWND host, HWND video, LONG left, LONG top, LONG width, LONG height) {
    RECT r = RectIn(host, video);
    wt::Print("  video child %p at %ld, %ld, %ld x %ld, %s\n", (void *)video, r.left, r.top, r.right - r.left,
              r.bottom - r.top, IsWindowVisible(video) ? "visible" : "hidden");
    CHECK_EQ(r.left, left);
    CHECK_EQ(r.top, top);
    CHECK_EQ(r.right - r.left, width);
    CHECK_EQ(r.bottom - r.top, height);
}

void CheckFileReleased() {
    HANDLE file = CreateFileW(wt::Media("video.avi"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    CHECK(file != INVALID_HANDLE_VALUE);
    CloseHandle(file);
}

// Which thread owns the renderer's window, and so runs VideoTapProc.
void ReportThread(HWND video) {
    DWORD owner = GetWindowThreadProcessId(video, nullptr);
    wt::Print("  video child %p belongs to thread %04lx; the host's thread is %04lx\n", (void *)video, owner,
              GetCurrentThreadId());
}

// ---- Placement ----------------------------------------------------------------

void Place(int screenWidth, int screenHeight, LONG left, LONG top, LONG width, LONG height) {
    CHECK_EQ(GetSystemMetrics(SM_CXSCREEN), screenWidth);
    CHECK_EQ(GetSystemMetrics(SM_CYSCREEN), screenHeight);
    HWND host = wt::CreateHost(L"place");
    CHECK_EQ(Initialize(), S_OK);
    SetHWND(host);
    CHECK_EQ(InitGraph(wt::Media("video.avi")), S_OK);
    HWND video = GetWindow(host, GW_CHILD);
    if (!CHECK(video != nullptr)) return;
    WNDPROC own = ProcOf(video);

    CHECK_EQ(PutForeground(TRUE), 0);
    PUMP_UNTIL(wt::kDeadlineMs, ShownAt(host, video, left, top, width, height));
    CheckVideoAt(host, video, left, top, width, height);
    CHECK(IsWindowVisible(video));
    CHECK(ProcOf(video) != own);

    CHECK_EQ(PutForeground(FALSE), 0);
    PUMP_UNTIL(wt::kDeadlineMs, !IsWindowVisible(video));
    CheckVideoAt(host, video, left, top, width, height);

    CHECK_EQ(PutForeground(TRUE), 0);
    PUMP_UNTIL(wt::kDeadlineMs, IsWindowVisible(video));

    ClearGraph();
    CHECK_EQ(GetPlayState(), FLATPLAY_CLOSED);
    CheckFileReleased();
    DestroyWindow(host);
    UnInitialize();
}

void Place1024x768() { Place(1024, 768, 4, 14, 312, 223); }
void Place800x480() { Place(800, 480, 9, 27, 519, 393); }

// ---- Full screen ----------------------------------------------------------------

// Whether the graph rendered its video with the filter `renderer`.
bool RendersWith(IGraphBuilder *graph, REFCLSID renderer) {
    bool found = false;
    IEnumFilters *filters = nullptr;
    if (FAILED(graph->EnumFilters(&filters))) return false;
    for (IBaseFilter *filter; filters->Next(1, &filter, nullptr) == S_OK; filter->Release()) {
        CLSID clsid;
        if (SUCCEEDED(filter->GetClassID(&clsid)) && IsEqualCLSID(clsid, renderer)) found = true;
    }
    filters->Release();
    return found;
}

// What Wine's renderer itself answers to full-screen mode, asked directly:
// true when it really goes full screen. Wine 8's VMR has no full-screen
// mode (the library's failure path runs); its GDI Video Renderer, which the
// graph takes where Direct3D 9 is disabled (the x86 runs), has one.
bool ProbeRendererFullScreen() {
    IGraphBuilder *graph = nullptr;
    if (!CHECK(SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                          reinterpret_cast<void **>(&graph)))))
        return false;
    bool gdi = false;
    IVideoWindow *window = nullptr;
    if (CHECK(SUCCEEDED(graph->RenderFile(wt::Media("video.avi"), nullptr))) &&
        CHECK(SUCCEEDED(graph->QueryInterface(IID_IVideoWindow, reinterpret_cast<void **>(&window))))) {
        gdi = RendersWith(graph, CLSID_VideoRenderer);
        CHECK(gdi != (RendersWith(graph, CLSID_VideoMixingRenderer) || RendersWith(graph, CLSID_VideoMixingRenderer9)));
        long mode = 7;
        HRESULT put = window->put_FullScreenMode(OATRUE);
        HRESULT get = window->get_FullScreenMode(&mode);
        wt::Print("  Wine's %s: put_FullScreenMode 0x%lx, get_FullScreenMode 0x%lx, mode %ld\n",
                  gdi ? "GDI Video Renderer" : "VMR", (unsigned long)put, (unsigned long)get, mode);
        CHECK_EQ(put, gdi ? S_OK : E_NOTIMPL);
        CHECK_EQ(get, gdi ? S_OK : E_NOTIMPL);
        CHECK_EQ(mode, gdi ? OATRUE : 7);
        if (gdi) window->put_FullScreenMode(OAFALSE);
        window->Release();
    }
    graph->Release();
    return gdi;
}

void FullScreenStopped() {
    HWND host = wt::CreateHost(L"full screen, stopped");
    HWND drain = wt::CreateHost(L"drain", 0, 0, 0);
    CHECK_EQ(Initialize(), S_OK);
    SetHWND(host);
    CHECK_EQ(InitGraph(wt::Media("video.avi")), S_OK);
    CHECK_EQ(PutForeground(TRUE), 0);
    HRESULT hr = PutMessageDrain(drain);
    wt::Print("  PutMessageDrain: 0x%lx\n", (unsigned long)hr);
    CHECK_EQ(hr, S_OK);

    CHECK_EQ(GetPlayState(), FLATPLAY_STOPPED);
    CHECK_EQ(FullScreen(TRUE), 0);
    CHECK_EQ(FullScreen(FALSE), 0);
    wt::PumpPostedSoFar(drain); // FullScreen posts from this thread, before the marker
    CHECK_EQ(wt::TakeReceived(drain, WM_VIDEO_MODE_CHANGED), 0);

    LONG on = 7;
    CHECK_EQ(IsFullScreen(&on), 0);
    CHECK_EQ(on, 0); // Wine cannot say: reported as embedded
    CHECK_EQ(IsFullScreen(nullptr), E_POINTER);

    ClearGraph();
    CHECK_EQ(FullScreen(TRUE), E_FAIL);
    CHECK_EQ(IsFullScreen(&on), E_FAIL);
    CHECK_EQ(PutMessageDrain(drain), E_FAIL);
    CHECK_EQ(PutForeground(TRUE), E_FAIL);
    DestroyWindow(drain);
    DestroyWindow(host);
    UnInitialize();
}

void FullScreenRunning() {
    HWND host = wt::CreateHost(L"full screen, running");
    HWND drain = wt::CreateHost(L"drain", 0, 0, 0);
    CHECK_EQ(Initialize(), S_OK);
    bool realFullScreen = ProbeRendererFullScreen();
    SetHWND(host);
    CHECK_EQ(InitGraph(wt::Media("video.avi")), S_OK);
    CHECK_EQ(PutForeground(TRUE), 0);
    CHECK_EQ(PutMessageDrain(drain), S_OK);
    HWND video = GetWindow(host, GW_CHILD);

    CHECK(SUCCEEDED(PlayPause()));
    CHECK_EQ(GetPlayState(), FLATPLAY_RUNNING);
    PUMP_UNTIL(wt::kDeadlineMs, GetPlayPositionCurrent() > 0);
    // Each message awaited, then the queue emptied of whatever the same call posted besides.
    CHECK_EQ(FullScreen(TRUE), 0);
    PUMP_UNTIL(wt::kDeadlineMs, wt::CountReceived(drain, WM_VIDEO_MODE_CHANGED) >= 1);
    wt::PumpPostedSoFar(drain);
    CHECK_EQ(wt::TakeReceived(drain, WM_VIDEO_MODE_CHANGED), 1);
    LONG on = 7;
    CHECK_EQ(IsFullScreen(&on), 0);
    CHECK_EQ(on, realFullScreen ? 1 : 0);
    CHECK_EQ(FullScreen(FALSE), 0);
    PUMP_UNTIL(wt::kDeadlineMs, wt::CountReceived(drain, WM_VIDEO_MODE_CHANGED) >= 1);
    wt::PumpPostedSoFar(drain);
    CHECK_EQ(wt::TakeReceived(drain, WM_VIDEO_MODE_CHANGED), 1);
    PUMP_UNTIL(wt::kDeadlineMs, ShownAt(host, video, 4, 14, 312, 223));
    CheckVideoAt(host, video, 4, 14, 312, 223);
    CHECK(IsWindowVisible(video));
    CHECK_EQ(wt::TakeReceived(host, WM_VIDEO_MODE_CHANGED), 0);

    CHECK(SUCCEEDED(PlayPause()));
    CHECK_EQ(GetPlayState(), FLATPLAY_PAUSED);
    CHECK_EQ(FullScreen(TRUE), 0);
    PUMP_UNTIL(wt::kDeadlineMs, wt::CountReceived(drain, WM_VIDEO_MODE_CHANGED) >= 1);
    wt::PumpPostedSoFar(drain);
    CHECK_EQ(wt::TakeReceived(drain, WM_VIDEO_MODE_CHANGED), 1);

    ClearGraph(); // a video-only clip, never seeked: Stop returns
    CHECK_EQ(GetPlayState(), FLATPLAY_CLOSED);
    CheckFileReleased();
    DestroyWindow(drain);
    DestroyWindow(host);
    UnInitialize();
}

// ---- The host's rectangle, seen ---------------------------------------------------

// The picture's edges as the screen shows them: the box of what is lit in
// the host's client area, in its client coordinates (empty if nothing is).
// From the screen, since another thread draws the video.
RECT PictureSeen(HWND host) {
    RECT client;
    GetClientRect(host, &client);
    POINT origin = {0, 0};
    ClientToScreen(host, &origin);
    const LONG width = client.right, height = client.bottom;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // rows top down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    RECT box = {width, height, 0, 0};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = bitmap ? SelectObject(memory, bitmap) : nullptr;
    if (CHECK(bitmap && BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY) && GdiFlush())) {
        const DWORD *pixel = static_cast<const DWORD *>(bits);
        for (LONG y = 0; y < height; ++y)
            for (LONG x = 0; x < width; ++x, ++pixel)
                // Brighter than the darkest of the pattern's bars; the host is black.
                if ((*pixel & 0xFF) > 48 || (*pixel >> 8 & 0xFF) > 48 || (*pixel >> 16 & 0xFF) > 48) {
                    box.left = x < box.left ? x : box.left;
                    box.top = y < box.top ? y : box.top;
                    box.right = x + 1 > box.right ? x + 1 : box.right;
                    box.bottom = y + 1 > box.bottom ? y + 1 : box.bottom;
                }
    }
    if (bitmap) {
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return box;
}

// The 320 x 240 picture in a host rectangle of another aspect: where the
// library puts the video window (its rounding, fixed by the header), and
// so where the picture must be seen, with the host's black beside it.
struct Fit {
    RECT rect; // given to SetVideoRect
    struct {
        LONG left, top, width, height;
    } picture; // the video window
};
const Fit kWide = {{40, 30, 600, 230}, {186, 30, 267, 200}};   // 560 x 200: bars left and right
const Fit kTall = {{100, 20, 300, 420}, {100, 145, 200, 150}}; // 200 x 400: bars above and below

bool AtFit(HWND host, HWND video, const Fit &fit) {
    return ShownAt(host, video, fit.picture.left, fit.picture.top, fit.picture.width, fit.picture.height);
}

// The picture seen where the window is: its edges within a pixel of the
// window's (aspect kept), and the margins to the rectangle's sides equal
// within a pixel (centred); the rest of the host is its black.
void ExpectSeen(HWND host, const Fit &fit) {
    wt::Pump(300); // frames drawn at the new place
    const RECT seen = PictureSeen(host);
    const LONG left = seen.left - fit.rect.left, right = fit.rect.right - seen.right;
    const LONG top = seen.top - fit.rect.top, bottom = fit.rect.bottom - seen.bottom;
    wt::Print("  picture seen at %ld, %ld, %ld x %ld; margins left %ld, right %ld, top %ld, bottom %ld\n", seen.left,
              seen.top, seen.right - seen.left, seen.bottom - seen.top, left, right, top, bottom);
    const auto &want = fit.picture;
    CHECK(seen.left >= want.left && seen.left <= want.left + 1);
    CHECK(seen.top >= want.top && seen.top <= want.top + 1);
    CHECK(seen.right <= want.left + want.width && seen.right >= want.left + want.width - 1);
    CHECK(seen.bottom <= want.top + want.height && seen.bottom >= want.top + want.height - 1);
    CHECK(left - right >= -1 && left - right <= 1);
    CHECK(top - bottom >= -1 && top - bottom <= 1);
}

// SetVideoRect before the graph, then another while shown, across full
// screen and back twice, and NULL back to the fixed rectangle. With the
// GDI renderer the picture is measured on screenshots; the default VMR
// draws where Xvfb does not show it, so there its window alone is checked.
void HostRect() {
    HWND host = wt::CreateHost(L"host rectangle");
    // The bars are the host's: black, as a player paints them.
    SetClassLongPtrW(host, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(GetStockObject(BLACK_BRUSH)));
    InvalidateRect(host, nullptr, TRUE);
    CHECK_EQ(Initialize(), S_OK);
    const bool gdi = ProbeRendererFullScreen();
    if (!gdi) wt::Skip("pixels of the picture: the default VMR draws where Xvfb does not show it (see host-rect.gdi)");
    SetHWND(host);
    CHECK_EQ(SetVideoRect(&kWide.rect), S_OK); // kept for the graph to come
    CHECK_EQ(InitGraph(wt::Media("video.avi")), S_OK);
    HWND video = GetWindow(host, GW_CHILD);
    if (!CHECK(video != nullptr)) return;
    CHECK_EQ(PutForeground(TRUE), 0);
    CHECK(SUCCEEDED(PlayPause()));
    PUMP_UNTIL(wt::kDeadlineMs, GetPlayPositionCurrent() > 5000000 && AtFit(host, video, kWide));
    CheckVideoAt(host, video, kWide.picture.left, kWide.picture.top, kWide.picture.width, kWide.picture.height);
    if (gdi) ExpectSeen(host, kWide);

    CHECK_EQ(SetVideoRect(&kTall.rect), S_OK); // moves a shown video at once
    CheckVideoAt(host, video, kTall.picture.left, kTall.picture.top, kTall.picture.width, kTall.picture.height);
    if (gdi) ExpectSeen(host, kTall);

    for (int round = 0; round < 2; ++round) {
        // From the start again, so that frames still come (a paused or
        // ended clip's frame is not drawn again after full screen).
        CHECK(SeekToTime(0) >= 0);
        CHECK_EQ(FullScreen(TRUE), 0);
        LONG on = 7;
        CHECK_EQ(IsFullScreen(&on), 0);
        CHECK_EQ(on, gdi ? 1 : 0);
        // A rectangle given meanwhile waits for the return; a renderer that
        // stayed embedded moves at once.
        const Fit &next = round == 0 ? kWide : kTall;
        CHECK_EQ(SetVideoRect(&next.rect), S_OK);
        RECT r;
        GetWindowRect(video, &r);
        wt::Print("  full screen: the video window at %ld, %ld, %ld x %ld\n", r.left, r.top, r.right - r.left,
                  r.bottom - r.top);
        if (gdi) {
            CHECK_EQ(r.right - r.left, GetSystemMetrics(SM_CXSCREEN));
            CHECK_EQ(r.bottom - r.top, GetSystemMetrics(SM_CYSCREEN));
        } else {
            CHECK(AtFit(host, video, next));
        }
        CHECK_EQ(FullScreen(FALSE), 0);
        PUMP_UNTIL(wt::kDeadlineMs, AtFit(host, video, next));
        CheckVideoAt(host, video, next.picture.left, next.picture.top, next.picture.width, next.picture.height);
        if (gdi) ExpectSeen(host, next);
    }

    CHECK_EQ(SetVideoRect(nullptr), S_OK); // the fixed rectangle, at once
    CheckVideoAt(host, video, 4, 14, 312, 223);
    ClearGraph();
    DestroyWindow(host);
    UnInitialize();
}

// ---- Taps -----------------------------------------------------------------------

void Tap() {
    HWND host = wt::CreateHost(L"tap");
    HWND other = wt::CreateHost(L"other host", 0, 0, 0);
    CHECK_EQ(Initialize(), S_OK);
    SetHWND(host);
    CHECK_EQ(InitGraph(wt::Media("video.avi")), S_OK);
    CHECK_EQ(PutForeground(TRUE), 0);
    HWND video = GetWindow(host, GW_CHILD);
    if (!CHECK(video != nullptr)) return;
    PUMP_UNTIL(wt::kDeadlineMs, Shown(video));
    ReportThread(video);
    POINT onVideo = CentreOf(video);
    POINT beside = {onVideo.x, 400}; // on the host, below the video

    wt::Print("  tap\n");
    Click(onVideo);
    AWAIT_TAPS(host, 1);
    SettleTaps(video, host);
    CHECK_EQ(wt::TakeReceived(host, WM_VIDEO_TAPPED), 1);

    wt::Print("  press alone, released beside the video\n");
    Press(onVideo);
    WaitOutStrayTap();
    CHECK_EQ(wt::TakeReceived(host, WM_VIDEO_TAPPED), 0);
    Release(beside);
    WaitOutStrayTap();
    CHECK_EQ(wt::TakeReceived(host, WM_VIDEO_TAPPED), 0);

    wt::Print("  three taps\n");
    for (int i = 0; i < 3; ++i) {
        Click(onVideo);
        AWAIT_TAPS(host, i + 1);
    }
    SettleTaps(video, host);
    CHECK_EQ(wt::TakeReceived(host, WM_VIDEO_TAPPED), 3);

    wt::Print("  tap after SetHWND(other)\n");
    SetHWND(other);
    Click(onVideo);
    AWAIT_TAPS(other, 1);
    SettleTaps(video, host);
    CHECK_EQ(wt::TakeReceived(other, WM_VIDEO_TAPPED), 1);
    CHECK_EQ(wt::TakeReceived(host, WM_VIDEO_TAPPED), 0);

    SetHWND(host);
    ClearGraph();
    wt::Print("  after ClearGraph the renderer's window %s\n", IsWindow(video) ? "still exists" : "is gone");
    Click(onVideo);
    WaitOutStrayTap();
    CHECK_EQ(wt::TakeReceived(host, WM_VIDEO_TAPPED), 0);
    CheckFileReleased();
    DestroyWindow(other);
    DestroyWindow(host);
    UnInitialize();
}

// The renderer's window with a procedure of the test's own under the tap
// procedure, so that ClearGraph's giving back can be seen: when the window
// is destroyed (it goes with the graph), the procedure it has is ours again.
WNDPROC rendererOwn = nullptr;
volatile LONG ownReleases = 0;
volatile LONG destroyedWithOwn = -1; // -1: not yet; 1: our procedure was on; 0: another
LRESULT CALLBACK OwnVideoProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_LBUTTONUP) InterlockedIncrement(&ownReleases);
    if (msg == WM_NCDESTROY) InterlockedExchange(&destroyedWithOwn, ProcOf(hwnd) == OwnVideoProc ? 1 : 0);
    return CallWindowProcW(rendererOwn, hwnd, msg, wParam, lParam);
}

void Restore() {
    HWND host = wt::CreateHost(L"restore");
    CHECK_EQ(Initialize(), S_OK);
    SetHWND(host);
    CHECK_EQ(InitGraph(wt::Media("video.avi")), S_OK);
    HWND first = GetWindow(host, GW_CHILD);
    if (!CHECK(first != nullptr)) return;
    rendererOwn =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(first, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OwnVideoProc)));
    CHECK(rendererOwn != nullptr);

    CHECK_EQ(PutForeground(TRUE), 0);
    PUMP_UNTIL(wt::kDeadlineMs, Shown(first));
    CHECK(ProcOf(first) != OwnVideoProc);
    CHECK_EQ(TapsForClick(first, host), 1);
    CHECK_EQ(ownReleases, 1); // passed on to the window's own procedure

    ClearGraph();
    // Given back before the graph goes: ours when the window is destroyed,
    // or now if it still stands.
    PUMP_UNTIL(wt::kDeadlineMs, destroyedWithOwn != -1 || (IsWindow(first) && ProcOf(first) == OwnVideoProc));
    wt::Print("  after ClearGraph the renderer's window %s\n", IsWindow(first) ? "still exists" : "is gone");
    CHECK(destroyedWithOwn == 1 || (destroyedWithOwn == -1 && ProcOf(first) == OwnVideoProc));

    wt::Print("  a new graph\n");
    SetHWND(host);
    CHECK_EQ(InitGraph(wt::Media("video.avi")), S_OK);
    HWND video = GetWindow(host, GW_CHILD);
    if (CHECK(video != nullptr)) {
        WNDPROC own = ProcOf(video);
        CHECK_EQ(PutForeground(TRUE), 0);
        PUMP_UNTIL(wt::kDeadlineMs, Shown(video));
        CHECK(ProcOf(video) != own);
        ReportThread(video);
        CHECK_EQ(TapsForClick(video, host), 1);
    }
    ClearGraph();
    CheckFileReleased();
    DestroyWindow(host);
    UnInitialize();
}

// ---- A host whose first child is one of its own controls -------------------------

// A push button, the host's first child until a renderer's window comes.
constexpr WORD kButtonId = 7;
HWND AddButton(HWND host) {
    return CreateWindowExW(0, L"BUTTON", L"Own", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 400, 300, 120, 40, host,
                           (HMENU)(INT_PTR)kButtonId, GetModuleHandleW(nullptr), nullptr);
}

// The main window of a typical host holds controls. A file without video
// has no renderer window, so the host's first child is its button: the
// button must keep its own procedure and its clicks must post no tap. With
// video the renderer's window, raised above the button, gets the taps.
void HostControl() {
    struct Row {
        const char *media;
        bool video;
    };
    const Row rows[] = {{"tone.wav", false}, {"song.mp3", false}, {"av.avi", true}};
    HWND host = wt::CreateHost(L"host with a button");
    HWND button = AddButton(host);
    if (!CHECK(button != nullptr)) return;
    const WNDPROC own = ProcOf(button);
    const POINT onButton = CentreOf(button);
    CHECK_EQ(Initialize(), S_OK);
    SetHWND(host);
    for (const Row &row : rows) {
        wt::Print("  %s\n", row.media);
        if (!CHECK_EQ(InitGraph(wt::Media(row.media)), S_OK)) continue;
        HWND first = GetWindow(host, GW_CHILD); // the renderer's window, if there is one
        CHECK_EQ(first != button, row.video);
        const WNDPROC firstOwn = ProcOf(first);
        CHECK_EQ(PutForeground(TRUE), 0);
        CHECK(SUCCEEDED(PlayPause()));
        PUMP_UNTIL(wt::kDeadlineMs, GetPlayPositionCurrent() > 0 && Shown(first));
        CHECK_EQ(ProcOf(first) != firstOwn, row.video);
        CHECK(ProcOf(button) == own);

        // The button is this thread's: a tap it wrongly caused would be
        // posted while its release is handled, so before its notification.
        Click(onButton);
        PUMP_UNTIL(wt::kDeadlineMs, wt::CountCommands(host, kButtonId, BN_CLICKED) >= 1);
        wt::PumpPostedSoFar(host);
        CHECK_EQ(wt::TakeCommands(host, kButtonId, BN_CLICKED), 1); // the button itself still works
        CHECK_EQ(wt::TakeReceived(host, WM_VIDEO_TAPPED), 0);
        if (row.video) {
            CHECK_EQ(TapsForClick(first, host), 1);
            CHECK_EQ(wt::TakeCommands(host, kButtonId, BN_CLICKED), 0);
        }
        CHECK_EQ(PutForeground(FALSE), 0);
        CHECK_EQ(PutForeground(TRUE), 0); // a later showing does not look again
        CHECK(ProcOf(button) == own);
        ClearGraph(); // never seeked: Stop returns even with sound and video
        CHECK(ProcOf(button) == own);
        Click(onButton);
        PUMP_UNTIL(wt::kDeadlineMs, wt::CountCommands(host, kButtonId, BN_CLICKED) >= 1);
        wt::PumpPostedSoFar(host);
        CHECK_EQ(wt::TakeCommands(host, kButtonId, BN_CLICKED), 1);
        CHECK_EQ(wt::TakeReceived(host, WM_VIDEO_TAPPED), 0);
    }
    DestroyWindow(host);
    UnInitialize();
}

// The same host with the renderer that really goes full screen, its first
// showing while full screen: the renderer's window is then no child of the
// host, whose first child is its button. The button keeps its procedure;
// back from full screen, the next showing hooks the video, and a real
// click on it is forwarded once.
void FullScreenControl() {
    HWND host = wt::CreateHost(L"full screen, host with a button");
    HWND button = AddButton(host);
    if (!CHECK(button != nullptr)) return;
    const WNDPROC own = ProcOf(button);
    CHECK_EQ(Initialize(), S_OK);
    SetHWND(host);
    CHECK_EQ(InitGraph(wt::Media("video.avi")), S_OK);
    HWND video = GetWindow(host, GW_CHILD);
    CHECK(video != button);
    const WNDPROC videoOwn = ProcOf(video);
    CHECK(SUCCEEDED(PlayPause()));
    CHECK_EQ(FullScreen(TRUE), 0);
    LONG on = 0;
    CHECK_EQ(IsFullScreen(&on), 0);
    if (!CHECK_EQ(on, 1)) wt::Print("  this renderer does not go full screen: the case needs the GDI renderer\n");
    wt::Print("  full screen: the host's first child is %s\n",
              GetWindow(host, GW_CHILD) == button ? "its button" : "another");
    CHECK_EQ(PutForeground(TRUE), 0);
    CHECK(ProcOf(button) == own);
    CHECK(ProcOf(video) == videoOwn);
    // What a click on the button would run: its own procedure, posting no tap.
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    wt::PumpPostedSoFar(host);
    CHECK_EQ(wt::TakeReceived(host, WM_VIDEO_TAPPED), 0);
    wt::TakeCommands(host, kButtonId, BN_CLICKED);

    CHECK_EQ(FullScreen(FALSE), 0);
    CHECK_EQ(PutForeground(TRUE), 0);
    PUMP_UNTIL(wt::kDeadlineMs, ShownAt(host, video, 4, 14, 312, 223));
    CHECK(ProcOf(button) == own);
    CHECK(ProcOf(video) != videoOwn);
    CHECK_EQ(TapsForClick(video, host), 1);
    Click(CentreOf(button));
    PUMP_UNTIL(wt::kDeadlineMs, wt::CountCommands(host, kButtonId, BN_CLICKED) >= 1);
    wt::PumpPostedSoFar(host);
    CHECK_EQ(wt::TakeCommands(host, kButtonId, BN_CLICKED), 1);
    CHECK_EQ(wt::TakeReceived(host, WM_VIDEO_TAPPED), 0);
    ClearGraph(); // video alone, never seeked: Stop returns
    CHECK(ProcOf(button) == own);
    DestroyWindow(host);
    UnInitialize();
}

// ---- Two players' videos in one host window -------------------------------------

// Two players side by side in a host with a button, the button its first
// child: a click on each video reaches the host once, with that player's
// handle; the button keeps its own procedure and a click on it is no tap.
// Each video window is found by its own caption, whatever lies above it.
void PlayerTaps() {
    HWND host = wt::CreateHost(L"two players");
    HWND button = AddButton(host);
    if (!CHECK(button != nullptr)) return;
    const WNDPROC buttonOwn = ProcOf(button);
    const RECT rects[2] = {{10, 10, 210, 160}, {220, 10, 420, 160}};
    FLATPLAY_PLAYER players[2] = {};
    HWND videos[2] = {};
    for (int i = 0; i < 2; ++i) {
        CHECK_EQ(PlayerCreate(&players[i]), S_OK);
        CHECK_EQ(PlayerSetOwner(players[i], host), S_OK);
        CHECK_EQ(PlayerOpen(players[i], wt::Media("video.avi")), S_OK);
        CHECK_EQ(PlayerSetVideoRect(players[i], &rects[i]), S_OK);
        SetWindowPos(button, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); // above every video
        CHECK_EQ(PlayerShowVideo(players[i], TRUE), S_OK);
        CHECK(PlayerPlay(players[i]) >= 0);
        const POINT centre = {(rects[i].left + rects[i].right) / 2, (rects[i].top + rects[i].bottom) / 2};
        videos[i] = ChildWindowFromPoint(host, centre);
        CHECK(videos[i] != host && videos[i] != button);
    }
    CHECK(videos[0] != videos[1]);
    CHECK_EQ(GetWindow(host, GW_CHILD), button);
    CHECK(ProcOf(button) == buttonOwn);
    for (int i : {1, 0, 1}) {
        PUMP_UNTIL(wt::kDeadlineMs, Shown(videos[i]));
        Click(CentreOf(videos[i]));
        PUMP_UNTIL(wt::kDeadlineMs, wt::CountReceived(host, WM_VIDEO_TAPPED) >= 1);
        SettleTaps(videos[i], host);
        const auto mine = reinterpret_cast<LPARAM>(players[i]), other = reinterpret_cast<LPARAM>(players[1 - i]);
        CHECK_EQ(wt::TakeReceived(host, WM_VIDEO_TAPPED, mine), 1);
        CHECK_EQ(wt::TakeReceived(host, WM_VIDEO_TAPPED, other), 0);
        CHECK_EQ(wt::CountReceived(host, WM_VIDEO_TAPPED), 0);
    }
    Click(CentreOf(button));
    PUMP_UNTIL(wt::kDeadlineMs, wt::CountCommands(host, kButtonId, BN_CLICKED) >= 1);
    wt::PumpPostedSoFar(host);
    CHECK_EQ(wt::TakeCommands(host, kButtonId, BN_CLICKED), 1);
    CHECK_EQ(wt::CountReceived(host, WM_VIDEO_TAPPED), 0);
    CHECK(ProcOf(button) == buttonOwn);
    // Video alone, never seeked: Stop returns.
    for (FLATPLAY_PLAYER player : players) CHECK_EQ(PlayerDestroy(player), S_OK);
    CHECK(ProcOf(button) == buttonOwn);
    CheckFileReleased();
    DestroyWindow(host);
}

// ---- The host window destroyed first ----------------------------------------------

void HostDestroyed() {
    HWND host = wt::CreateHost(L"host destroyed");
    CHECK_EQ(Initialize(), S_OK);
    SetHWND(host);
    CHECK_EQ(InitGraph(wt::Media("video.avi")), S_OK);
    CHECK_EQ(PutForeground(TRUE), 0);
    CHECK_EQ(PutMessageDrain(host), S_OK);
    HWND video = GetWindow(host, GW_CHILD);
    CHECK(video != nullptr);
    CHECK(SUCCEEDED(PlayPause()));
    PUMP_UNTIL(wt::kDeadlineMs, GetPlayPositionCurrent() > 0);

    CHECK(DestroyWindow(host));
    PUMP_UNTIL(wt::kDeadlineMs, !IsWindow(video)); // a child goes with its parent, whatever its thread
    wt::Print("  host destroyed; the renderer's window %s\n", IsWindow(video) ? "still exists" : "is gone");
    CHECK(!IsWindow(host));
    // The library still holds the dead handles: every export must cope.
    CHECK_EQ(PutForeground(FALSE), 0);
    CHECK_EQ(PutForeground(TRUE), 0);
    CHECK_EQ(FullScreen(TRUE), 0);
    CHECK_EQ(FullScreen(FALSE), 0);
    ClearGraph();
    CHECK_EQ(GetPlayState(), FLATPLAY_CLOSED);
    CheckFileReleased();

    wt::Print("  a new host and graph\n");
    HWND next = wt::CreateHost(L"next host");
    SetHWND(next);
    CHECK_EQ(InitGraph(wt::Media("video.avi")), S_OK);
    CHECK_EQ(PutForeground(TRUE), 0);
    if (HWND nextVideo = GetWindow(next, GW_CHILD); CHECK(nextVideo != nullptr)) {
        PUMP_UNTIL(wt::kDeadlineMs, Shown(nextVideo));
        CHECK_EQ(TapsForClick(nextVideo, next), 1);
    }
    ClearGraph();
    DestroyWindow(next);
    UnInitialize();
}

// ---- A host named after InitGraph ---------------------------------------------

// In a fresh process the host is still unnamed at InitGraph, so the video
// window is not its child: its first child is its own button, which must
// keep its procedure and post no tap. Named first, the video window is
// hooked as before.
void LateHost() {
    HWND host = wt::CreateHost(L"host named late");
    HWND button = AddButton(host);
    if (!CHECK(button != nullptr)) return;
    const WNDPROC own = ProcOf(button);
    CHECK_EQ(Initialize(), S_OK);
    CHECK_EQ(InitGraph(wt::Media("video.avi")), S_OK);
    SetHWND(host);
    CHECK_EQ(GetWindow(host, GW_CHILD), button);
    CHECK_EQ(PutForeground(TRUE), 0);
    CHECK(ProcOf(button) == own);
    for (int i = 0; i < 10; ++i) Click(CentreOf(button));
    PUMP_UNTIL(wt::kDeadlineMs, wt::CountCommands(host, kButtonId, BN_CLICKED) >= 10);
    wt::PumpPostedSoFar(host);
    CHECK_EQ(wt::TakeCommands(host, kButtonId, BN_CLICKED), 10);
    CHECK_EQ(wt::TakeReceived(host, WM_VIDEO_TAPPED), 0);
    ClearGraph();
    CHECK(ProcOf(button) == own);

    CHECK_EQ(InitGraph(wt::Media("video.avi")), S_OK);
    HWND video = GetWindow(host, GW_CHILD);
    CHECK(video != button);
    CHECK_EQ(PutForeground(TRUE), 0);
    CHECK(SUCCEEDED(PlayPause()));
    PUMP_UNTIL(wt::kDeadlineMs, GetPlayPositionCurrent() > 0 && Shown(video));
    CHECK(ProcOf(button) == own);
    CHECK_EQ(TapsForClick(video, host), 1);
    ClearGraph();
    DestroyWindow(host);
    UnInitialize();
}

// ---- Unloaded with a graph held ---------------------------------------------------

// A host that unloads the DLL without ClearGraph, its video shown: the
// window must go on working, not call into the unloaded tap procedure. A
// copy of the DLL under another name is loaded, so that it really unloads
// (this program's own import of flatplay.dll would keep that one loaded).
void Unload() {
    wchar_t dllPath[MAX_PATH], copyPath[MAX_PATH];
    GetModuleFileNameW(GetModuleHandleW(L"flatplay.dll"), dllPath, MAX_PATH);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    wt::Format(copyPath, MAX_PATH, L"%lsflatplay-unload.dll", temp);
    if (!CHECK(CopyFileW(dllPath, copyPath, FALSE))) return;
    HMODULE dll = LoadLibraryW(copyPath);
    if (!CHECK(dll != nullptr)) return;
    auto call = [dll](const char *name) { return reinterpret_cast<void *>(GetProcAddress(dll, name)); };
    auto initialize = reinterpret_cast<HRESULT(WINAPI *)()>(call("Initialize"));
    auto setHwnd = reinterpret_cast<HRESULT(WINAPI *)(HWND)>(call("SetHWND"));
    auto initGraph = reinterpret_cast<HRESULT(WINAPI *)(LPCWSTR)>(call("InitGraph"));
    auto putForeground = reinterpret_cast<HRESULT(WINAPI *)(BOOL)>(call("PutForeground"));
    if (!CHECK(initialize && setHwnd && initGraph && putForeground)) return;

    HWND host = wt::CreateHost(L"unloaded");
    CHECK_EQ(initialize(), S_OK);
    setHwnd(host);
    CHECK_EQ(initGraph(wt::Media("video.avi")), S_OK);
    HWND video = GetWindow(host, GW_CHILD);
    // Shown but not running: Wine's process teardown crashes now and then
    // on a graph whose streaming threads still run.
    CHECK_EQ(putForeground(TRUE), 0);
    PUMP_UNTIL(wt::kDeadlineMs, Shown(video));
    const ULONG_PTR tap = reinterpret_cast<ULONG_PTR>(ProcOf(video));
    CHECK(tap >= reinterpret_cast<ULONG_PTR>(dll) && tap < reinterpret_cast<ULONG_PTR>(dll) + 0x10000);

    CHECK(FreeLibrary(dll));
    CHECK(GetModuleHandleW(copyPath) == nullptr); // really unloaded
    const ULONG_PTR after = reinterpret_cast<ULONG_PTR>(ProcOf(video));
    CHECK(after < reinterpret_cast<ULONG_PTR>(dll) || after >= reinterpret_cast<ULONG_PTR>(dll) + 0x10000);
    // Clicks on the video window now reach the renderer's own procedure.
    for (int i = 0; i < 3; ++i) {
        Click(CentreOf(video));
        DWORD_PTR result = 0;
        CHECK(SendMessageTimeoutW(video, WM_NULL, 0, 0, SMTO_NORMAL, wt::kDeadlineMs, &result) != 0);
    }
    wt::PumpPostedSoFar(host);
    CHECK_EQ(wt::TakeReceived(host, WM_VIDEO_TAPPED), 0);
    CHECK(IsWindow(video) && IsWindowVisible(video));
    wt::Print("  video window %p still works after the DLL was unloaded\n", (void *)video);
    // The graph is still held, and nothing can release it now (as when a
    // host unloads us so). Wine's teardown of a process holding a graph
    // crashes now and then, unloaded or not.
    wt::ExpectTeardownCrash("a graph is left held");
}

const wt::Case kCases[] = {
    {"place-1024x768", Place1024x768},
    {"place-800x480", Place800x480},
    {"full-screen-stopped", FullScreenStopped},
    {"full-screen-running", FullScreenRunning},
    {"tap", Tap},
    {"restore", Restore},
    {"host-destroyed", HostDestroyed},
    {"host-control", HostControl},
    {"late-host", LateHost},
    {"host-rect", HostRect},
    {"full-screen-control", FullScreenControl},
    {"unload", Unload},
    {"player-taps", PlayerTaps},
};

} // namespace

WT_ENTRY_POINT(kCases)
