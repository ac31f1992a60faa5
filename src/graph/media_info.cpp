// What the file holds, asked of the graph without changing anything.
#include "api/context.h"

#include <cstddef>

// One layout on every processor and compiler: no member needs padding.
static_assert(sizeof(FLATPLAY_MEDIA_INFO) == 32 && offsetof(FLATPLAY_MEDIA_INFO, duration) == 8);

extern "C" HRESULT WINAPI GetMediaInfo(FLATPLAY_MEDIA_INFO *info) {
    if (!info) return E_POINTER;
    // Refused rather than guessed: a later, larger structure is another size.
    if (info->cbSize != sizeof(FLATPLAY_MEDIA_INFO)) return E_INVALIDARG;
    if (!g_ctx.m_pGB) return E_FAIL;
    // Each question's failure is its answer: no video renderer, no sound
    // renderer, a length or seeking the graph cannot give.
    FLATPLAY_MEDIA_INFO found = {};
    found.cbSize = sizeof found;
    LONG width = 0, height = 0;
    if (SUCCEEDED(GetNativeVideoSize(&width, &height))) {
        found.hasVideo = TRUE;
        found.width = width;
        found.height = height;
    }
    // Read only: the volume is the one thing a sound renderer always answers.
    LONG volume = 0;
    if (g_ctx.m_pBA && SUCCEEDED(g_ctx.m_pBA->get_Volume(&volume))) found.hasSound = TRUE;
    if (g_ctx.m_pMS) {
        LONGLONG duration = 0;
        if (SUCCEEDED(g_ctx.m_pMS->GetDuration(&duration))) found.duration = duration;
        DWORD capabilities = 0;
        if (SUCCEEDED(g_ctx.m_pMS->GetCapabilities(&capabilities)) && (capabilities & AM_SEEKING_CanSeekAbsolute))
            found.canSeek = TRUE;
    }
    *info = found;
    return S_OK;
}
