// What the file holds, asked of the graph without changing anything.
#include "api/context.h"

#include <cstddef>

// One layout on every processor and compiler: no member needs padding.
static_assert(sizeof(FLATPLAY_MEDIA_INFO) == 32 && offsetof(FLATPLAY_MEDIA_INFO, duration) == 8);

namespace {

HRESULT MediaInfoOf(const Player &player, FLATPLAY_MEDIA_INFO *info) {
    if (!info) return E_POINTER;
    // Refused rather than guessed: a later, larger structure is another size.
    if (info->cbSize != sizeof(FLATPLAY_MEDIA_INFO)) return E_INVALIDARG;
    if (!player.m_pGB) return E_FAIL;
    // Each question's failure is its answer: no video renderer, no sound
    // renderer, a length or seeking the graph cannot give. From here on
    // every field is written.
    info->hasVideo = SUCCEEDED(GetNativeVideoSize(player, &info->width, &info->height));
    if (!info->hasVideo) info->width = info->height = 0;
    // Read only: the volume is the one thing a sound renderer always answers.
    LONG volume = 0;
    info->hasSound = player.m_pBA && SUCCEEDED(player.m_pBA->get_Volume(&volume));
    info->duration = 0;
    info->canSeek = FALSE;
    if (player.m_pMS) {
        if (FAILED(player.m_pMS->GetDuration(&info->duration))) info->duration = 0;
        DWORD capabilities = 0;
        info->canSeek =
            SUCCEEDED(player.m_pMS->GetCapabilities(&capabilities)) && (capabilities & AM_SEEKING_CanSeekAbsolute);
    }
    return S_OK;
}

} // namespace

extern "C" HRESULT WINAPI GetMediaInfo(FLATPLAY_MEDIA_INFO *info) { return MediaInfoOf(g_ctx, info); }

extern "C" HRESULT WINAPI PlayerGetMediaInfo(FLATPLAY_PLAYER handle, FLATPLAY_MEDIA_INFO *info) {
    return WithPlayer(handle, [info](PoolPlayer &player) { return MediaInfoOf(player, info); });
}
