// The mutable state, in two records: the default player's (g_ctx) and the
// pool of players (g_players); the play states, the diagnostics helper and
// the pool's handles; and the one graph query that two rooms share. Every
// other mutable global in the library is a bug.
#pragma once

#include "platform/platform.h"

#include <atomic>

enum PlayState : LONG {
    Running = FLATPLAY_RUNNING,
    Paused = FLATPLAY_PAUSED,
    Stopped = FLATPLAY_STOPPED,
    Closed = FLATPLAY_CLOSED,
};

// The play state as the record keeps it: XOR Stopped, so that Stopped, the
// value at load, is kept as 0. The whole record then starts as zeros and
// lives in .bss, which takes no room in the DLL's file (a record with one
// other value would take a 512-byte section). Reads and writes see the
// state itself.
class StoredPlayState {
public:
    constexpr operator LONG() const { return m_bits ^ Stopped; }
    constexpr StoredPlayState &operator=(LONG state) {
        m_bits = state ^ Stopped;
        return *this;
    }

private:
    LONG m_bits = 0;
};

// A word the tap procedures read on the renderer's thread while the host's
// thread writes it: atomic, never guarded by a lock. ARMv4 (Windows CE) has
// no atomic instructions, and a compiler makes every atomic access there a
// call; on its devices' single core an aligned word is read or written by
// one access, which no thread can split, so there it is a volatile word.
#if defined(__arm__) && __ARM_ARCH < 6
template <typename T> class SharedWord {
public:
    constexpr SharedWord(T value) : m_value(value) {}
    T load() const { return m_value; }
    operator T() const { return m_value; }
    SharedWord &operator=(T value) {
        m_value = value;
        return *this;
    }

private:
    volatile T m_value;
};
#else
template <typename T> using SharedWord = std::atomic<T>;
static_assert(SharedWord<HWND>::is_always_lock_free && SharedWord<WNDPROC>::is_always_lock_free);
#endif

// What the library last did with the held graph's video window.
enum class VideoPlacement : LONG {
    None,       // nothing since InitGraph: a zero-size child
    Placed,     // placed in the host window (PutForeground, FullScreen off)
    FullScreen, // switched to full screen at the host's request
};

// One player's graph, windows and play state. The default player's record
// and every pool player's begin with it, and the code they share takes it.
struct Player {
    // Read by the tap procedures, which may run on the renderer's thread:
    // atomic, so that no pointer can tear.
    SharedWord<WNDPROC> m_pfnOldVideoProc{nullptr};
    IVideoWindow *m_pVW = nullptr;
    IGraphBuilder *m_pGB = nullptr;
    IMediaControl *m_pMC = nullptr;
    IMediaEventEx *m_pME = nullptr;
    IBasicAudio *m_pBA = nullptr;
    IMediaSeeking *m_pMS = nullptr;
    SharedWord<HWND> m_hwndHost{nullptr};
    SharedWord<HWND> m_hwndVideo{nullptr};
    // The host window the graph's video window was given as owner.
    HWND m_hwndVideoOwner = nullptr;
    HWND m_hwndDrain = nullptr;
    StoredPlayState m_nPlayState; // Stopped
    // SetEventWindow: the window and message every graph's events are
    // announced with; no window, no notification.
    HWND m_hwndEvent = nullptr;
    UINT m_uEventMsg = 0;
    // SetVideoRect: the host's video rectangle; all 0 (which it refuses)
    // for the fixed rectangles.
    RECT m_rcVideo = {};
    VideoPlacement m_nVideoPlacement = VideoPlacement::None;
    // The procedure tap forwarding puts on the video window, kept here for
    // the unload, which must recognise it and knows no room above the record.
    WNDPROC m_pfnTapProc = nullptr;
};

struct PlaybackContext : Player {
    WCHAR m_szPlayFile[MAX_PATH] = {};
    LONG m_lVolume = 0;
};

extern FLATPLAY_OWN_DATA PlaybackContext g_ctx;

// A pool player. Its slot word holds the slot's generation above four bits
// of status, and its handle the same generation above the slot's index:
// the word is the handle, with the status for the index, while the player
// lives. A handle of an earlier generation, or of no player, matches no
// live word.
enum SlotStatus : DWORD {
    Free = 0,
    Live = 1,
    Busy = 2, // being created or destroyed: refused as if gone
};
constexpr DWORD kSlotBits = 4;
constexpr DWORD kStatusMask = (1 << kSlotBits) - 1;
static_assert(FLATPLAY_MAX_PLAYERS <= 1 << kSlotBits);

struct PoolPlayer : Player {
    // Changed only by the platform's interlocked calls: two threads may
    // claim a slot at once.
    volatile LONG m_lSlot = Free;
    DWORD m_dwThread = 0;
    BOOL m_bComStarted = FALSE;
    // The sound settings, given to every file: level and balance in
    // hundredths of a decibel.
    LONG m_lLevel = 0;
    LONG m_lBalance = 0;
    BOOL m_bMuted = FALSE;
};

extern FLATPLAY_OWN_DATA PoolPlayer g_players[FLATPLAY_MAX_PLAYERS];

// The live player `handle` names, if the calling thread may use it; else
// null, and Refusal says why: E_HANDLE, or RPC_E_WRONG_THREAD for a live
// player of another thread.
PoolPlayer *LivePlayer(FLATPLAY_PLAYER handle);
HRESULT Refusal(FLATPLAY_PLAYER handle);

// The body of every Player* export but PlayerCreate: `operation` on the
// player `handle` names, or the handle's refusal, nothing touched.
template <typename Operation> HRESULT WithPlayer(FLATPLAY_PLAYER handle, Operation operation) {
    PoolPlayer *player = LivePlayer(handle);
    return player ? operation(*player) : Refusal(handle);
}

// The handle of a live pool player: its generation above its index.
inline FLATPLAY_PLAYER HandleOf(const PoolPlayer &player) {
    const DWORD generation = static_cast<DWORD>(player.m_lSlot) & ~kStatusMask;
    const auto index = static_cast<DWORD>(&player - g_players);
    return reinterpret_cast<FLATPLAY_PLAYER>(static_cast<UINT_PTR>(generation | index));
}

// What a pool player's graph sounds at: silent while muted, else its level.
inline LONG AudibleLevel(const PoolPlayer &player) { return player.m_bMuted ? -10000 : player.m_lLevel; }

extern FLATPLAY_OWN_DATA PlaybackContext g_ctx;

inline bool IsActive(const Player &player = g_ctx) {
    return player.m_nPlayState == Running || player.m_nPlayState == Paused;
}

// The video's native size, for the media information and for placing the
// video. IBasicVideo is taken for this call only and given back before it
// returns: the interfaces held across calls are the ones InitGraph takes,
// so a host that never asks sees the same calls as before. Needs m_pGB.
inline HRESULT GetNativeVideoSize(const Player &player, LONG *width, LONG *height) {
    IBasicVideo *video = nullptr;
    HRESULT hr = player.m_pGB->QueryInterface(IID_IBasicVideo, reinterpret_cast<void **>(&video));
    if (FAILED(hr)) return hr;
    hr = video->GetVideoSize(width, height);
    video->Release();
    return hr;
}

// One debug line per failed platform call, "FAILED(hr=0x...) in " and the
// call as it is written: one format for all, the call its argument, kept
// in ASCII (half the bytes of the wide text it becomes).
void ReportFailure(HRESULT hr, const char *call);
#define REPORT_FAILURE(hr, call) ReportFailure((hr), call)
