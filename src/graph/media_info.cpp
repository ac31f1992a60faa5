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
    // renderer, a length or seeking the graph cannot give. From here on
    // every field is written.
    info->hasVideo = SUCCEEDED(GetNativeVideoSize(&info->width, &info->height));
    if (!info->hasVideo) info->width = info->height = 0;
    // Read only: the volume is the one thing a sound renderer always answers.
    LONG volume = 0;
    info->hasSound = g_ctx.m_pBA && SUCCEEDED(g_ctx.m_pBA->get_Volume(&volume));
    info->duration = 0;
    info->canSeek = FALSE;
    if (g_ctx.m_pMS) {
        if (FAILED(g_ctx.m_pMS->GetDuration(&info->duration))) info->duration = 0;
        DWORD capabilities = 0;
        info->canSeek =
            SUCCEEDED(g_ctx.m_pMS->GetCapabilities(&capabilities)) && (capabilities & AM_SEEKING_CanSeekAbsolute);
    }
    return S_OK;
}
