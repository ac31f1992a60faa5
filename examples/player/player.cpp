// A host of flatplay.dll. For now a scripted session only: it opens a
// file in a window of its own, prints the play state, and closes again.
#include <flatplay/flatplay.h>
#include <windows.h>

#include <stdio.h>

namespace {

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

const char *StateName(LONG state) {
    switch (state) {
    case FLATPLAY_RUNNING: return "running";
    case FLATPLAY_PAUSED: return "paused";
    case FLATPLAY_STOPPED: return "stopped";
    case FLATPLAY_CLOSED: return "closed";
    default: return "?";
    }
}

void Report(const char *call, long result) {
    printf("%-28s -> 0x%08lx   state %ld (%s)\n", call, (unsigned long)result, GetPlayState(),
           StateName(GetPlayState()));
}

} // namespace

int wmain(int argc, wchar_t **argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc < 2) {
        printf("usage: player FILE\n");
        return 2;
    }
    WNDCLASSW wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszClassName = L"FlatplayPlayer";
    RegisterClassW(&wc);
    HWND host = CreateWindowExW(0, wc.lpszClassName, L"flatplay", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                                0, 0, 640, 480, nullptr, nullptr, wc.hInstance, nullptr);

    Report("GetPlayState()", GetPlayState());
    Report("Initialize()", Initialize());
    Report("SetHWND(host)", SetHWND(host));
    HRESULT opened = InitGraph(argv[1]);
    Report("InitGraph(file)", opened);
    ClearGraph();
    Report("ClearGraph()", 0);
    Report("UnInitialize()", UnInitialize());
    DestroyWindow(host);
    return opened < 0 ? 1 : 0;
}
