/*
 * flatplay: media playback for handheld Windows hosts, as 23 flat exports.
 *
 * Threading: every export must be called from one thread, the one that
 * called Initialize. The library starts no threads, takes no locks and
 * allocates nothing on the heap.
 *
 * Results: HRESULT values. The library itself produces only S_OK (0) and
 * E_FAIL (0x80004005) plus the E_POINTER and path-length codes named below;
 * every other code is passed through unchanged from COM, DirectShow or
 * Win32. Any non-negative code (S_OK, S_FALSE, ...) is success.
 *
 * Units: media time in 100-ns units (10,000,000 per second); attenuation in
 * hundredths of a decibel, 0 = full, -10000 = silent.
 *
 * Failures on the main paths also write one line to the debug output
 * (OutputDebugStringW), e.g. "FAILED(hr=0x80004005) in m_pMC->Run()".
 */
#ifndef FLATPLAY_FLATPLAY_H
#define FLATPLAY_FLATPLAY_H

#if defined(_WIN32)
#include <windows.h>
#endif

#ifdef __cplusplus
#define FLATPLAY_EXTERN_C extern "C"
#else
#define FLATPLAY_EXTERN_C
#endif

/* Posted to the host window (SetHWND) when the user taps the video; both parameters 0. */
#define WM_VIDEO_TAPPED (WM_USER + 300) /* 0x52C */
/* Handed to the video window and posted to the drain window after FullScreen; both parameters 0. */
#define WM_VIDEO_MODE_CHANGED (WM_USER + 110) /* 0x46E */

/* Values of GetPlayState. Running and Paused are the "active" states. */
enum FlatplayPlayState {
    FLATPLAY_RUNNING = 0,
    FLATPLAY_PAUSED = 1,
    FLATPLAY_STOPPED = 2, /* also the value at load, before Initialize */
    FLATPLAY_CLOSED = 3
};

/* ---- Lifecycle ---------------------------------------------------------- */

/* Starts COM on the calling thread (CoInitializeEx(NULL, 0), multithreaded).
 * Returns: S_OK; S_FALSE (1) if the thread had COM already; a negative code
 * from COM (state unchanged, "CoInitialize Failed!" on the debug output).
 * Changes: state -> Closed on success. A graph still held is not touched. */
FLATPLAY_EXTERN_C HRESULT WINAPI Initialize(void);

/* Calls CoUninitialize once. Returns 0 always. Touches no state: call
 * ClearGraph first, a graph still held stays held. */
FLATPLAY_EXTERN_C HRESULT WINAPI UnInitialize(void);

/* Records the host window: owner of the next graph's video window and
 * receiver of WM_VIDEO_TAPPED. Not validated; NULL is allowed. Returns 0. */
FLATPLAY_EXTERN_C HRESULT WINAPI SetHWND(HWND hwnd);

/* Returns the play state (enum FlatplayPlayState). Needs nothing. */
FLATPLAY_EXTERN_C LONG WINAPI GetPlayState(void);

/* ---- Graph ------------------------------------------------------------- */

/* Builds a DirectShow graph for one file: creates the filter graph manager,
 * renders the file, takes its control, event, seeking, video-window and
 * audio interfaces and makes the video window a zero-size child of the host
 * window. A graph still held from an earlier InitGraph is first released
 * exactly as ClearGraph does.
 * path: NUL-terminated UTF-16 path, fewer than 260 code units.
 * Returns: S_OK (or another non-negative code) when the graph stands, state
 * -> Stopped; E_POINTER if path is NULL and
 * HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE) (0x800700CE) if it is 260
 * units or longer, both without any other effect; otherwise the negative
 * code of the first failing call, state unchanged, interfaces taken so far
 * still held: call ClearGraph. */
FLATPLAY_EXTERN_C HRESULT WINAPI InitGraph(LPCWSTR path);

/* Gives the graph back: restores the video child's own window procedure,
 * stops the graph, hides and detaches its video window, releases every
 * interface. Safe with any subset held, or none. State -> Closed; the host
 * window, drain window and last path are kept. Never fails. */
FLATPLAY_EXTERN_C void WINAPI ClearGraph(void);

/* ---- Transport ---------------------------------------------------------- */

/* Runs the graph when Paused or Stopped (state -> Running), otherwise pauses
 * it (state -> Paused). Needs a graph: E_FAIL without one.
 * Returns the code of Run or Pause; on a negative code the state is kept. */
FLATPLAY_EXTERN_C HRESULT WINAPI PlayPause(void);

/* Stops the graph, rewinds it to 0 and leaves it paused there; state ->
 * Stopped as soon as the stop succeeded. Acts only when Running or Paused
 * with a graph; otherwise returns 0 and calls nothing.
 * Returns the code of the last call made (Stop, SetPositions or Pause). */
FLATPLAY_EXTERN_C HRESULT WINAPI Stop(void);

/* ---- Timeline (all return 0 unless Running or Paused with a graph) ----- */

/* Duration in 100-ns units; 0 when inactive or when the graph cannot say. */
FLATPLAY_EXTERN_C LONGLONG WINAPI GetPlayPositionDuration(void);
/* Current position in 100-ns units; 0 when inactive or unknown. */
FLATPLAY_EXTERN_C LONGLONG WINAPI GetPlayPositionCurrent(void);
/* Current position in whole seconds (truncated); despite its name not a percentage. */
FLATPLAY_EXTERN_C LONGLONG WINAPI GetPlayPositionDurationPercent(void);
/* Duration in whole seconds (truncated). */
FLATPLAY_EXTERN_C LONGLONG WINAPI TotalTime(void);

/* Seeks to percent of the duration, computed in single precision
 * (duration * percent * 0.01f, truncated). Not clamped; NaN seeks to 0 and a
 * target beyond the 64-bit range saturates. The play state is kept.
 * Returns 0 when inactive (nothing done), else the code of SetPositions. */
FLATPLAY_EXTERN_C HRESULT WINAPI SeekSong(float percent);

/* Current position and duration together, in 100-ns units.
 * Returns: E_FAIL when not Running or Paused with a graph; E_POINTER if a
 * pointer is NULL; a negative code if either query fails. Both out-values
 * are written only on success.
 * Exported only under the MSVC-decorated name below (the host compiler's
 * binding for this C++ signature), never as plain "GetPlayPosition". */
#if defined(_WIN64)
#define FLATPLAY_GETPLAYPOSITION_EXPORT "?GetPlayPosition@@YAJPEA_J0@Z"
#else
#define FLATPLAY_GETPLAYPOSITION_EXPORT "?GetPlayPosition@@YGJPA_J0@Z"
#endif
typedef HRESULT(WINAPI *FLATPLAY_GETPLAYPOSITION_FN)(LONGLONG *current, LONGLONG *duration);
#if defined(_MSC_VER) && defined(__cplusplus)
HRESULT WINAPI GetPlayPosition(LONGLONG *current, LONGLONG *duration);
#elif defined(_WIN32) && defined(__GNUC__)
/* GCC binds the declaration to the decorated symbol, quoted for the
 * assembler; like MSVC, C++ names carry no leading underscore on x86. */
#define FLATPLAY_GETPLAYPOSITION_ASM "\"" FLATPLAY_GETPLAYPOSITION_EXPORT "\""
FLATPLAY_EXTERN_C HRESULT WINAPI GetPlayPosition(LONGLONG *current, LONGLONG *duration)
    __asm__(FLATPLAY_GETPLAYPOSITION_ASM);
#elif !defined(_WIN32)
FLATPLAY_EXTERN_C HRESULT WINAPI GetPlayPosition(LONGLONG *current, LONGLONG *duration);
#endif
/* Other Windows compilers (MSVC compiling C): GetProcAddress(module,
 * FLATPLAY_GETPLAYPOSITION_EXPORT) cast to FLATPLAY_GETPLAYPOSITION_FN. */

/* ---- Volume (device volume works without Initialize or a graph) --------- */

/* Raw volume of wave output device 0: low word left (or only) channel, high
 * word right, 0xFFFF full. 0 if the device cannot be read. */
FLATPLAY_EXTERN_C DWORD WINAPI GetVolumeInit(void);
/* Sets the raw volume of wave output device 0 unchanged. Returns 0; a device
 * failure is not reported. */
FLATPLAY_EXTERN_C HRESULT WINAPI Set_Volume(DWORD volume);
/* Device volume as attenuation (linear: 0xFFFF -> 0, 0x8000 -> -5000, 0 ->
 * -10000); a set right-channel word gives values of 0 or above. -10000 if
 * the device cannot be read. */
FLATPLAY_EXTERN_C LONG WINAPI GetVolume(void);
/* Sets the device volume from an attenuation (sign ignored; magnitudes above
 * 10000 give silence), left or only channel. Returns 0; a device failure is
 * not reported. */
FLATPLAY_EXTERN_C HRESULT WINAPI SetVolume(LONG attenuation);
/* Mutes the graph's sound if it is at full volume, otherwise sets it to full
 * volume. Needs a graph: 0 without one. Returns the code of get_Volume or
 * put_Volume. */
FLATPLAY_EXTERN_C HRESULT WINAPI ToggleMute(void);

/* ---- Video -------------------------------------------------------------- */

/* show != 0: places the video (9,27 519x393 on an 800x480 screen, else
 * 4,14 312x223), shows it and brings it to the foreground; the first time
 * per graph it also starts forwarding taps on the host's first child window
 * as WM_VIDEO_TAPPED. show == 0: hides it. Works in every play state.
 * Returns 0, or E_FAIL without a graph. Video-window failures are ignored. */
FLATPLAY_EXTERN_C HRESULT WINAPI PutForeground(BOOL show);
/* Switches full-screen mode on (on != 0) or back to the embedded rectangle,
 * then hands WM_VIDEO_MODE_CHANGED to the video window and posts it to the
 * drain window, if one was named. Acts only when Running or Paused (returns
 * 0 and does nothing otherwise). Returns 0, or E_FAIL without a graph. */
FLATPLAY_EXTERN_C HRESULT WINAPI FullScreen(BOOL on);
/* Stores 1 in *on if the video is in full-screen mode, else 0.
 * Returns 0; E_FAIL without a graph; E_POINTER if on is NULL. */
FLATPLAY_EXTERN_C HRESULT WINAPI IsFullScreen(LONG *on);
/* Names the window that receives the video window's input messages and,
 * from FullScreen, WM_VIDEO_MODE_CHANGED (kept across graphs). Recorded even
 * when the video window refuses it. Returns the code of put_MessageDrain, or
 * E_FAIL without a graph. */
FLATPLAY_EXTERN_C HRESULT WINAPI PutMessageDrain(HWND drain);

#endif /* FLATPLAY_FLATPLAY_H */
