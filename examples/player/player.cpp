// flatplay demo host.
//   player [FILE]                         interactive: open FILE, or use Open / drop a file
//   player --script DIR AV_FILE [VIDEO [MUSIC]]   headless session: timeline on stdout, PNGs in DIR
#include "player.h"

#include <stdio.h>
#include <wchar.h>

int wmain(int argc, wchar_t **argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    bool script = argc >= 2 && wcscmp(argv[1], L"--script") == 0;
    if (script && argc < 4) {
        printf("usage: player --script OUT_DIR AV_FILE [VIDEO_ONLY_FILE [SOUND_ONLY_FILE]]\n");
        return 2;
    }
    if (!CreatePlayerWindows(GetModuleHandleW(nullptr))) {
        printf("cannot create the player window\n");
        return 1;
    }
    if (script) {
        int rc = RunScript(argv[2], argv[3], argc > 4 ? argv[4] : nullptr, argc > 5 ? argv[5] : nullptr);
        DestroyWindow(g_player.main);
        return rc;
    }

    if (Initialize() < 0) return 1;
    SetHWND(g_player.videoArea);
    SetEventWindow(g_player.main, kGraphEventMessage);
    if (argc >= 2) OpenMedia(argv[1]);
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    ClearGraph();
    UnInitialize();
    return 0;
}
