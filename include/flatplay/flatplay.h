/*
 * flatplay: media playback for handheld Windows hosts, as flat exports: the
 * 23 of version 0.1.0, which never change, and those added after them.
 *
 * Every export below is documented in one layout:
 *   <Name>:    what it does, in a sentence or two.
 *   Returns:   its result.
 *   Needs:     what must hold first (Initialize, a graph, an active state,
 *              or nothing).
 *   Changes:   the play state and whatever else it changes ("nothing" if so).
 *   Threading: the thread it is called on, and where its work runs elsewhere.
 *   Since:     the version that added it, for exports added after 0.1.0
 *              (a host can check GetLibraryVersion before calling one).
 *
 * Two ways to play. The 30 exports of 0.1.0 and 0.2.0 drive "the default
 * player", one graph per process. The Player* exports of 0.3.0 drive players
 * from a fixed pool, as many as FLATPLAY_MAX_PLAYERS at once, each through a
 * handle of its own (see "Players" below). The two never touch each other:
 * no Player* call changes the default player, and no call of the 30 changes
 * a pool player.
 *
 * Threading: every export of the default player must be called from one
 * thread, the one that called Initialize ("the host's thread"); a pool
 * player from the thread that created it ("the player's thread"). The
 * library starts no threads, takes no locks and allocates nothing on the
 * heap.
 *
 * Results: HRESULT values. The library itself produces only S_OK (0),
 * E_FAIL (0x80004005), E_POINTER (0x80004003), E_INVALIDARG (0x80070057),
 * the path-length code, GetGraphEvent's S_FALSE (1) and the players' codes
 * (E_HANDLE, RPC_E_WRONG_THREAD, FLATPLAY_E_NO_MORE_PLAYERS), each named
 * below where it comes; every other code is passed through unchanged from COM,
 * DirectShow or Win32. Any non-negative code (S_OK, S_FALSE, ...) is
 * success. The exports added after 0.1.0 check their arguments first
 * (also without a graph) and change nothing when they refuse one.
 *
 * Units: media time in 100-ns units (10,000,000 per second); attenuation in
 * hundredths of a decibel, 0 = full, -10000 = silent.
 *
 * Failures on the main paths also write one line to the debug output
 * (OutputDebugStringW), e.g. "FAILED(hr=0x80004005) in m_pMC->Run()".
 */
#ifndef FLATPLAY_FLATPLAY_H
#define FLATPLAY_FLATPLAY_H

#include <flatplay/version.h> /* FLATPLAY_VERSION_MAJOR, _MINOR, _PATCH */
#if defined(_WIN32)
#include <windows.h>
#endif

#ifdef __cplusplus
#define FLATPLAY_EXTERN_C extern "C"
#else
#define FLATPLAY_EXTERN_C
#endif

/* Posted when the user taps the video: the default player's to the host
 * window (SetHWND), both parameters 0; a pool player's to its owner
 * (PlayerSetOwner), wParam 0 and lParam the player's handle. */
#define WM_VIDEO_TAPPED (WM_USER + 300) /* 0x52C */
/* Handed to the video window and posted to the drain window after FullScreen; both parameters 0. */
#define WM_VIDEO_MODE_CHANGED (WM_USER + 110) /* 0x46E */

/* Event codes of GetGraphEvent that a host handles, with the values of
 * evcode.h's EC_COMPLETE, EC_USERABORT and EC_ERRORABORT. Other codes come
 * too (evcode.h names them); skip those you do not handle. */
#define FLATPLAY_EVENT_COMPLETE 1   /* the end of the clip: every stream has played out; param1 S_OK */
#define FLATPLAY_EVENT_USERABORT 2  /* the user ended playback (closed the video window) */
#define FLATPLAY_EVENT_ERRORABORT 3 /* playback failed; param1 the HRESULT of the error */

/* Values of GetPlayState. Running and Paused are the "active" states. */
enum FlatplayPlayState {
    FLATPLAY_RUNNING = 0,
    FLATPLAY_PAUSED = 1,
    FLATPLAY_STOPPED = 2, /* also the value at load, before Initialize */
    FLATPLAY_CLOSED = 3
};

/* ---- Players (0.3.0) ------------------------------------------------------
 * A player is one graph with its own video window, volume and events; a
 * host may play several at once (music under a clip, a preview beside it,
 * a click over both) and hand one to each component of its own. Each comes
 * from a fixed pool inside the DLL, made by PlayerCreate and given back by
 * PlayerDestroy; the Player* exports take its handle first. Their
 * semantics are plain, one meaning per call (PlayerPlay plays, PlayerPause
 * pauses), without the toggles of the default player.
 *
 * Every Player* export (but PlayerCreate) checks its handle before anything
 * else and changes nothing when it refuses it:
 *   E_HANDLE (0x80070006): NULL, a destroyed player's handle (also once its
 *     slot serves a new player: handles carry the slot's generation), or
 *     any value PlayerCreate did not give;
 *   RPC_E_WRONG_THREAD (0x8001010E): a live player of another thread.
 * Then its pointers (E_POINTER) and its other arguments (E_INVALIDARG).
 * "Needs a file" means PlayerOpen succeeded and no PlayerClose came since:
 * otherwise such an export returns E_FAIL and calls nothing.
 * Messages from a player (events, taps) carry its handle in lParam, so one
 * window can serve many players.
 * The player's state (PlayerGetState): FLATPLAY_CLOSED without a file,
 * FLATPLAY_STOPPED once opened or stopped, FLATPLAY_RUNNING, FLATPLAY_PAUSED. */

/* A player's handle: a type of its own, so a compiler refuses a window
 * handle or a number in its place. Opaque: it is no pointer to anything. */
typedef struct FLATPLAY_PLAYER__ *FLATPLAY_PLAYER;

/* How many players may live at once: a handheld host plays a clip or a song,
 * may preload the next and show a preview, and sounds a click or two; every
 * player holds a DirectShow graph with its decoders and threads, which the
 * device's memory limits long before eight. */
#define FLATPLAY_MAX_PLAYERS 8

/* PlayerCreate: every slot of the pool holds a player. */
#define FLATPLAY_E_NO_MORE_PLAYERS ((HRESULT)0x80070103L) /* HRESULT_FROM_WIN32(ERROR_NO_MORE_ITEMS) */

/* ---- Lifecycle ---------------------------------------------------------- */

/* Initialize: starts COM on the calling thread with CoInitializeEx(NULL, 0),
 * a multithreaded apartment.
 * Returns: S_OK; S_FALSE (1) if the thread had COM already; a negative code
 * from COM, with "CoInitialize Failed!" on the debug output.
 * Needs: nothing.
 * Changes: state -> Closed on success; on failure the state is unchanged.
 * A graph still held is not touched.
 * Threading: the calling thread becomes the host's thread, the one every
 * export must be called from. */
FLATPLAY_EXTERN_C HRESULT WINAPI Initialize(void);

/* UnInitialize: calls CoUninitialize once.
 * Returns: 0 always.
 * Needs: nothing is checked. Call it once for each Initialize that
 * succeeded, and never after one that failed: it would undo the host's own
 * COM initialisation of the thread. Call ClearGraph first: a graph still
 * held stays held.
 * Changes: nothing in the player: neither the state nor a graph still held.
 * Threading: the host's thread. */
FLATPLAY_EXTERN_C HRESULT WINAPI UnInitialize(void);

/* SetHWND: records the host window, the owner of the next graph's video
 * window and the receiver of WM_VIDEO_TAPPED.
 * Returns: 0.
 * Needs: nothing; hwnd is not validated and NULL is allowed.
 * Changes: the host window only; not the state. A graph already built keeps
 * the owner it was given at InitGraph (see PutForeground for what that
 * means for taps).
 * Threading: the host's thread; the tap forwarding, which may run on the
 * renderer's thread, reads the host window atomically. */
FLATPLAY_EXTERN_C HRESULT WINAPI SetHWND(HWND hwnd);

/* GetPlayState: reports the play state.
 * Returns: the state, a value of enum FlatplayPlayState.
 * Needs: nothing.
 * Changes: nothing.
 * Threading: the host's thread. */
FLATPLAY_EXTERN_C LONG WINAPI GetPlayState(void);

/* GetLibraryVersion: reports the version of the DLL that is loaded.
 * Returns: FLATPLAY_MAKE_VERSION(major, minor, patch), equal to the
 * FLATPLAY_VERSION of the header it was built with (version.h): 0x300 for
 * 0.3.0. A host compares it with FLATPLAY_MAKE_VERSION(0, 3, 0) and so on
 * before calling an export added since; a DLL older than 0.2.0 has no
 * GetLibraryVersion (GetProcAddress gives NULL).
 * Needs: nothing.
 * Changes: nothing.
 * Threading: any thread.
 * Since: 0.2.0. */
FLATPLAY_EXTERN_C DWORD WINAPI GetLibraryVersion(void);

/* PlayerCreate: takes a player from the pool, with no file, no windows, full
 * volume, balance 0 and not muted, for the calling thread. On a thread
 * without COM it starts COM (CoInitializeEx(NULL, COINIT_MULTITHREADED)),
 * which PlayerDestroy ends again; a thread with COM keeps its apartment,
 * single-threaded (a UI framework's) or multithreaded. Initialize is not
 * needed.
 * Returns: S_OK with the handle in *player; E_POINTER if player is NULL;
 * FLATPLAY_E_NO_MORE_PLAYERS when FLATPLAY_MAX_PLAYERS live already; the
 * code of CoInitializeEx if COM cannot start. On failure *player is NULL
 * and nothing is held.
 * Needs: nothing.
 * Changes: one slot of the pool; the thread's COM as above.
 * Threading: any thread; the player belongs to it.
 * Since: 0.3.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI PlayerCreate(FLATPLAY_PLAYER *player);

/* PlayerDestroy: closes the player's file (as PlayerClose), ends the COM
 * its PlayerCreate started and gives its slot back. The handle is refused
 * from then on, also once the slot serves a new player.
 * Returns: S_OK; or the handle's code (see "Players").
 * Needs: nothing but the handle.
 * Changes: everything of the player.
 * Threading: the player's thread.
 * Since: 0.3.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI PlayerDestroy(FLATPLAY_PLAYER player);

/* PlayerGetState: reports the player's state (see "Players").
 * Returns: S_OK with the state in *state, a value of enum
 * FlatplayPlayState; E_POINTER if state is NULL.
 * Needs: nothing but the handle.
 * Changes: nothing but *state.
 * Threading: the player's thread.
 * Since: 0.3.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI PlayerGetState(FLATPLAY_PLAYER player, LONG *state);

/* ---- Graph ------------------------------------------------------------- */

/* InitGraph: builds a DirectShow graph for one file: creates the filter
 * graph manager, renders the file, takes its control, event, seeking,
 * video-window and audio interfaces and makes the video window a zero-size
 * child of the host window (SetHWND), which is given as its owner.
 * path: NUL-terminated UTF-16 path, fewer than 260 code units.
 * Returns: S_OK (or another non-negative code) when the graph stands;
 * E_POINTER if path is NULL and
 * HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE) (0x800700CE) if it is 260
 * units or longer, both without any other effect; otherwise the negative
 * code of the first failing call, interfaces taken so far still held: call
 * ClearGraph.
 * Needs: Initialize (COM on this thread). A graph may still be held from an
 * earlier InitGraph: it is first released exactly as ClearGraph does (state
 * -> Closed).
 * Changes: on success state -> Stopped. On failure the state is unchanged,
 * except that a graph held before was released first (state then Closed).
 * Threading: the host's thread. */
FLATPLAY_EXTERN_C HRESULT WINAPI InitGraph(LPCWSTR path);

/* ClearGraph: gives the graph back: restores the video child's own window
 * procedure, stops the graph, hides and detaches its video window and
 * releases every interface.
 * Returns: nothing; never fails.
 * Needs: nothing: safe with any subset of the graph held, or none.
 * Changes: state -> Closed; the host window, drain window and last path are
 * kept. Call it, then UnInitialize, before unloading the DLL: when the DLL
 * is unloaded by FreeLibrary with tap forwarding still on the video window,
 * the window's own procedure is put back (a procedure the host put there
 * since is left alone); nothing else happens at unload (interfaces stay
 * unreleased, COM initialised) and nothing at process exit.
 * Threading: the host's thread. */
FLATPLAY_EXTERN_C void WINAPI ClearGraph(void);

/* SetEventWindow: names the window and the message with which the graph
 * announces its events (IMediaEventEx::SetNotifyWindow(hwnd, msg, 0)): it
 * posts msg to hwnd whenever events wait on its queue, from the graph's
 * own threads. On that message call GetGraphEvent until it returns
 * S_FALSE. For the graph held now and every later one (InitGraph names the
 * window to each), until a NULL hwnd ends it.
 * msg: any message of the host's choosing, e.g. WM_APP + 1; ignored when
 * hwnd is NULL.
 * Returns: S_OK without a graph; with one, the code of its SetNotifyWindow.
 * Needs: nothing; works with and without a graph, in every state.
 * Changes: the window and message, kept across graphs and recorded even
 * when the held graph refuses them; no play state. A later graph that
 * refuses them (InitGraph ignores that) announces nothing; its events still
 * wait for GetGraphEvent.
 * Threading: the host's thread; the message arrives through the window's
 * message queue.
 * Since: 0.2.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI SetEventWindow(HWND hwnd, UINT msg);

/* GetGraphEvent: takes the oldest event off the graph's queue without
 * waiting (IMediaEventEx::GetEvent with a timeout of 0) and gives its code
 * and parameters (see FLATPLAY_EVENT_COMPLETE and the codes beside it).
 * Whatever the platform allocated for the event (the strings of a few
 * codes) is freed before it returns (FreeEventParams): parameters are
 * values to read, never pointers to keep.
 * Returns: E_POINTER if any pointer is NULL (nothing taken); E_FAIL
 * without a graph (nothing written); S_FALSE (1) when no event waits, with
 * 0 in all three; the code of GetEvent otherwise (S_OK with the event, or a
 * failure with nothing written).
 * Needs: a graph; works in every play state.
 * Changes: nothing in the player. In particular the play state stays
 * Running after the end of the clip: call Stop (or PlayPause to pause)
 * when FLATPLAY_EVENT_COMPLETE arrives. Events also wait while no window is
 * named: a host may poll instead.
 * Threading: the host's thread.
 * Since: 0.2.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI GetGraphEvent(LONG *code, LONG_PTR *param1, LONG_PTR *param2);

/* What GetMediaInfo reports. 32 bytes on every processor, no padding. */
typedef struct FLATPLAY_MEDIA_INFO {
    DWORD cbSize;      /* set to sizeof(FLATPLAY_MEDIA_INFO) before the call */
    BOOL hasVideo;     /* the graph renders video */
    LONGLONG duration; /* in 100-ns units; 0 if the graph cannot give it */
    BOOL hasSound;     /* the graph renders sound */
    BOOL canSeek;      /* the graph can seek to a position (SeekToTime, SeekSong) */
    LONG width;        /* the video's native size in pixels; 0 without video */
    LONG height;
} FLATPLAY_MEDIA_INFO;

/* GetMediaInfo: tells what the held graph plays: video (and its native
 * size), sound, its duration and whether it can seek, also before the
 * first PlayPause. Video is what IBasicVideo::GetVideoSize answers, sound
 * what IBasicAudio::get_Volume answers (a file whose sound no device plays
 * has none), the rest IMediaSeeking's duration and capabilities
 * (AM_SEEKING_CanSeekAbsolute); a question the graph cannot answer reads as
 * FALSE or 0.
 * Returns: E_POINTER if info is NULL; E_INVALIDARG if info->cbSize is not
 * sizeof(FLATPLAY_MEDIA_INFO) (32); E_FAIL without a graph; else S_OK.
 * Nothing is written unless S_OK is returned; then every field is.
 * Needs: a graph; any play state, Stopped and Closed included.
 * Changes: nothing but *info: no volume, position or state is touched.
 * Threading: the host's thread.
 * Since: 0.2.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI GetMediaInfo(FLATPLAY_MEDIA_INFO *info);

/* PlayerOpen: opens a file: builds its graph as InitGraph does (the video
 * window a zero-size child of the owner, PlayerSetOwner) and gives it the
 * player's event window, message drain, volume and balance. A file already
 * open is closed first.
 * path: NUL-terminated UTF-16 path, fewer than 260 code units.
 * Returns: S_OK (or another non-negative code) with the file open, Stopped
 * at its start; E_POINTER if path is NULL and
 * HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE) if it is too long, both
 * changing nothing; else the negative code of the first failing call, with
 * everything given back: the player is then Closed.
 * Needs: nothing but the handle (no Initialize).
 * Changes: state -> Stopped, or Closed on failure.
 * Threading: the player's thread.
 * Since: 0.3.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI PlayerOpen(FLATPLAY_PLAYER player, LPCWSTR path);

/* PlayerClose: gives the file's graph back, as ClearGraph does (the video
 * window's own procedure first); the player keeps its settings.
 * Returns: S_OK, also without a file (nothing called then).
 * Needs: nothing but the handle.
 * Changes: state -> Closed.
 * Threading: the player's thread.
 * Since: 0.3.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI PlayerClose(FLATPLAY_PLAYER player);

/* PlayerSetEventWindow: as SetEventWindow, for this player: the graph posts
 * msg to hwnd, with wParam 0 and lParam the player's handle, whenever
 * events wait; then call PlayerGetEvent until it returns S_FALSE. Kept for
 * every later file; NULL ends it.
 * Returns: S_OK without a file; with one, the code of SetNotifyWindow.
 * Needs: nothing but the handle.
 * Changes: the window and message, recorded even when the graph refuses
 * them.
 * Threading: the player's thread.
 * Since: 0.3.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI PlayerSetEventWindow(FLATPLAY_PLAYER player, HWND hwnd, UINT msg);

/* PlayerGetEvent: as GetGraphEvent, for this player's graph: the oldest
 * event, without waiting.
 * Returns: E_POINTER if any pointer is NULL; E_FAIL without a file; S_FALSE
 * (1) with 0 in all three when no event waits; else the code of GetEvent.
 * Needs: a file.
 * Changes: nothing in the player: after FLATPLAY_EVENT_COMPLETE it is still
 * Running at the end; call PlayerStop or PlayerPause.
 * Threading: the player's thread.
 * Since: 0.3.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI PlayerGetEvent(FLATPLAY_PLAYER player, LONG *code, LONG_PTR *param1, LONG_PTR *param2);

/* PlayerGetMediaInfo: as GetMediaInfo, for this player's file, in any
 * state.
 * Returns: E_POINTER, E_INVALIDARG (cbSize), E_FAIL without a file, else
 * S_OK with every field written.
 * Needs: a file.
 * Changes: nothing but *info.
 * Threading: the player's thread.
 * Since: 0.3.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI PlayerGetMediaInfo(FLATPLAY_PLAYER player, FLATPLAY_MEDIA_INFO *info);

/* ---- Transport ---------------------------------------------------------- */

/* PlayPause: runs the graph when Paused or Stopped, otherwise pauses it,
 * also when Closed by an Initialize after InitGraph.
 * Returns: E_FAIL without a graph, nothing called; else the code of Run or
 * Pause (S_FALSE while the graph is still changing state counts as
 * success).
 * Needs: a graph; any play state.
 * Changes: state -> Running after Run, -> Paused after Pause; on a negative
 * code the state is kept.
 * Threading: the host's thread. */
FLATPLAY_EXTERN_C HRESULT WINAPI PlayPause(void);

/* Stop: stops the graph, rewinds it to 0 and leaves it paused there, so the
 * next PlayPause plays from the start.
 * Returns: the code of the last call made (Stop, SetPositions or Pause); 0
 * when it does not act.
 * Needs: Running or Paused with a graph; otherwise it returns 0 and calls
 * nothing.
 * Changes: state -> Stopped as soon as the stop succeeded, even if the
 * rewind or the pause then fails.
 * Threading: the host's thread. */
FLATPLAY_EXTERN_C HRESULT WINAPI Stop(void);

/* SeekToTime: moves to position, in 100-ns units, clamped to the clip: a
 * negative position seeks to 0, one past the duration to the duration (0
 * when the graph reports none). It reads the duration, stops the graph,
 * seeks it while stopped and runs or pauses it again as it was, so the
 * clip goes on from there (with a short gap in sound and picture). Under
 * Wine 8 this is the seek that leaves a graph with sound and video able to
 * stop and close again; SeekSong is not (see SeekSong).
 * Returns: 0 when not Running or Paused with a graph (nothing done);
 * otherwise the code of the last call made (GetDuration, Stop,
 * SetPositions, then Run or Pause), a failure with its line on the debug
 * output, e.g. "FAILED(hr=0x...) in m_pMC->Stop()".
 * Needs: Running or Paused with a graph.
 * Changes: the position; the state is kept when every call succeeds. If
 * GetDuration or Stop fails nothing has changed. If the seek or the restart
 * fails after the stop, the graph stays stopped and the state is Stopped
 * (PlayPause then runs it; Stop does nothing).
 * Threading: the host's thread.
 * Since: 0.2.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI SeekToTime(LONGLONG position);

/* PlayerPlay: runs the graph, from Stopped or Paused (Running: runs on).
 * Returns: E_FAIL without a file; else the code of IMediaControl::Run
 * (S_FALSE while the graph is still changing state counts as success).
 * Needs: a file.
 * Changes: state -> Running on success, else kept.
 * Threading: the player's thread.
 * Since: 0.3.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI PlayerPlay(FLATPLAY_PLAYER player);

/* PlayerPause: pauses the graph where it is, from any state with a file
 * (from Stopped it shows the first picture and plays no sound).
 * Returns: E_FAIL without a file; else the code of IMediaControl::Pause.
 * Needs: a file.
 * Changes: state -> Paused on success, else kept.
 * Threading: the player's thread.
 * Since: 0.3.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI PlayerPause(FLATPLAY_PLAYER player);

/* PlayerStop: stops the graph and rewinds it to 0, where it stays stopped
 * (not paused: no picture is held) until PlayerPlay or PlayerPause.
 * Returns: E_FAIL without a file; else the code of the last call made
 * (IMediaControl::Stop, then IMediaSeeking::SetPositions to 0).
 * Needs: a file; any state.
 * Changes: state -> Stopped once the stop succeeded, even if the rewind
 * then fails.
 * Threading: the player's thread.
 * Since: 0.3.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI PlayerStop(FLATPLAY_PLAYER player);

/* PlayerSeek: moves to position, in 100-ns units, clamped to the clip (as
 * SeekToTime). Running or Paused, the graph is stopped, seeked and run or
 * paused again, as SeekToTime does (the seek after which Wine 8 can still
 * stop a graph with sound and video); Stopped, it is only seeked.
 * Returns: E_FAIL without a file; else the code of the last call made
 * (GetDuration, Stop, SetPositions, Run or Pause).
 * Needs: a file.
 * Changes: the position; the state is kept when every call succeeds (if the
 * seek or the restart fails after the stop, it is Stopped).
 * Threading: the player's thread.
 * Since: 0.3.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI PlayerSeek(FLATPLAY_PLAYER player, LONGLONG position);

/* ---- Timeline (only when Running or Paused with a graph) --------------- */
/* The four value queries return 0 otherwise and call nothing; a failing
 * query is not reported and also reads as 0. */

/* GetPlayPositionDuration: reports the duration.
 * Returns: the duration in 100-ns units; 0 when inactive or when the graph
 * cannot say.
 * Needs: Running or Paused with a graph.
 * Changes: nothing.
 * Threading: the host's thread. */
FLATPLAY_EXTERN_C LONGLONG WINAPI GetPlayPositionDuration(void);
/* GetPlayPositionCurrent: reports the current position.
 * Returns: the current position in 100-ns units; 0 when inactive or
 * unknown.
 * Needs: Running or Paused with a graph.
 * Changes: nothing.
 * Threading: the host's thread. */
FLATPLAY_EXTERN_C LONGLONG WINAPI GetPlayPositionCurrent(void);
/* GetPlayPositionDurationPercent: reports the current position in whole
 * seconds; despite its name not a percentage.
 * Returns: the current position in whole seconds (truncated); 0 when
 * inactive or unknown.
 * Needs: Running or Paused with a graph.
 * Changes: nothing.
 * Threading: the host's thread. */
FLATPLAY_EXTERN_C LONGLONG WINAPI GetPlayPositionDurationPercent(void);
/* TotalTime: reports the duration in whole seconds.
 * Returns: the duration in whole seconds (truncated); 0 when inactive or
 * unknown.
 * Needs: Running or Paused with a graph.
 * Changes: nothing.
 * Threading: the host's thread. */
FLATPLAY_EXTERN_C LONGLONG WINAPI TotalTime(void);

/* SeekSong: seeks to percent of the duration, computed in single precision,
 * rounded after each step: (float)duration * percent * 0.01f, truncated
 * toward zero (50 on 1,000,000,000 units gives 499,999,968).
 * Returns: 0 when inactive (nothing done), else the code of SetPositions.
 * Needs: Running or Paused with a graph.
 * Changes: the position; the play state is kept. Not clamped: below 0 or
 * above 100 the graph gets the computed target; NaN seeks to 0 and a target
 * beyond the 64-bit range saturates. A duration the graph cannot give
 * counts as 0. Wine 8 (not Windows): once a graph with both sound and video
 * has been seeked, IMediaControl::Stop never returns, so Stop and
 * ClearGraph hang; sound-only and video-only graphs are not affected.
 * SeekToTime (0.2.0) seeks such a graph safely.
 * Threading: the host's thread. */
FLATPLAY_EXTERN_C HRESULT WINAPI SeekSong(float percent);

/* GetPlayPosition: reports the current position and the duration together,
 * in 100-ns units.
 * Returns: the gate is checked first: E_FAIL when not Running or Paused with
 * a graph, also when a pointer is NULL; then E_POINTER if a pointer is NULL
 * (nothing called in either case; unlike IsFullScreen, which checks its
 * pointer first); the negative code of the duration or position query if
 * one fails; else the position query's code.
 * Needs: Running or Paused with a graph; two valid pointers.
 * Changes: nothing but the two out-values, which are written only on
 * success.
 * Threading: the host's thread. */
/* Exported only under the MSVC-decorated name below (the host compiler's
 * binding for this C++ signature), never as plain "GetPlayPosition". */
#if defined(_WIN64) /* x64 and ARM64: one calling convention */
#define FLATPLAY_GETPLAYPOSITION_EXPORT "?GetPlayPosition@@YAJPEA_J0@Z"
#elif defined(_M_IX86) || defined(__i386__) /* x86: __stdcall */
#define FLATPLAY_GETPLAYPOSITION_EXPORT "?GetPlayPosition@@YGJPA_J0@Z"
#else /* 32-bit ARM ignores __stdcall: the __cdecl name */
#define FLATPLAY_GETPLAYPOSITION_EXPORT "?GetPlayPosition@@YAJPA_J0@Z"
#endif
typedef HRESULT(WINAPI *FLATPLAY_GETPLAYPOSITION_FN)(LONGLONG *current, LONGLONG *duration);
#if defined(_MSC_VER) && defined(__cplusplus)
/* MSVC, and clang in MSVC mode, decorate this C++ declaration as exported. */
#define FLATPLAY_HAS_GETPLAYPOSITION 1
HRESULT WINAPI GetPlayPosition(LONGLONG *current, LONGLONG *duration);
#elif defined(_WIN32) && defined(__GNUC__) && !defined(_MSC_VER)
/* GCC and clang for mingw bind the declaration to the decorated symbol;
 * like MSVC's, it has no leading underscore on x86. GCC writes the name into
 * its assembly, where it must be quoted; clang takes it as it stands. */
#if defined(__clang__)
#define FLATPLAY_GETPLAYPOSITION_ASM FLATPLAY_GETPLAYPOSITION_EXPORT
#else
#define FLATPLAY_GETPLAYPOSITION_ASM "\"" FLATPLAY_GETPLAYPOSITION_EXPORT "\""
#endif
#define FLATPLAY_HAS_GETPLAYPOSITION 1
FLATPLAY_EXTERN_C HRESULT WINAPI GetPlayPosition(LONGLONG *current,
                                                 LONGLONG *duration) __asm__(FLATPLAY_GETPLAYPOSITION_ASM);
#elif !defined(_WIN32)
FLATPLAY_EXTERN_C HRESULT WINAPI GetPlayPosition(LONGLONG *current, LONGLONG *duration);
#endif
/* Without FLATPLAY_HAS_GETPLAYPOSITION (a C host built by MSVC):
 * GetProcAddress(module, FLATPLAY_GETPLAYPOSITION_EXPORT), cast to
 * FLATPLAY_GETPLAYPOSITION_FN. Windows CE's GetProcAddress takes a wide
 * name: GetProcAddressA(module, FLATPLAY_GETPLAYPOSITION_EXPORT) there, or
 * GetProcAddress(module, L"?GetPlayPosition@@YAJPA_J0@Z"). */

/* PlayerGetPosition: reports the current position and the clip's length,
 * in 100-ns units, in any state with a file (the position is 0 before the
 * first play and after PlayerStop).
 * Returns: E_POINTER if either pointer is NULL; E_FAIL without a file; the
 * negative code of IMediaSeeking::GetDuration or GetCurrentPosition if one
 * fails; else the code of GetCurrentPosition. Both are written only on
 * success.
 * Needs: a file.
 * Changes: nothing but *position and *duration.
 * Threading: the player's thread.
 * Since: 0.3.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI PlayerGetPosition(FLATPLAY_PLAYER player, LONGLONG *position, LONGLONG *duration);

/* PlayerSetRate: sets the playback rate of the open file (1.0 normal, 0.5
 * half speed, 2.0 double), through IMediaSeeking::SetRate; every file
 * starts at 1.0. Which rates play is the graph's to say: Wine 8's, see
 * docs/players.md ("Rate").
 * Returns: E_INVALIDARG for a rate that is not a finite number above 0 (NaN,
 * infinities, 0 and negative rates: nothing called); E_FAIL without a file;
 * else the code of SetRate.
 * Needs: a file.
 * Changes: the graph's rate; nothing when refused.
 * Threading: the player's thread.
 * Since: 0.3.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI PlayerSetRate(FLATPLAY_PLAYER player, double rate);

/* ---- Volume ------------------------------------------------------------- */

/* The four device-volume exports address wave output device 0 at any time:
 * they need neither Initialize nor a graph, change no player state and never
 * report a device failure. Their attenuation scale is linear, computed in
 * single precision and truncated toward zero. */

/* GetVolumeInit: reads the raw volume of wave output device 0.
 * Returns: the raw volume: low word left (or only) channel, high word right,
 * 0xFFFF full; 0 if the device cannot be read.
 * Needs: nothing.
 * Changes: nothing.
 * Threading: the host's thread. */
FLATPLAY_EXTERN_C DWORD WINAPI GetVolumeInit(void);
/* Set_Volume: sets the raw volume of wave output device 0 to `volume`
 * unchanged (layout as GetVolumeInit).
 * Returns: 0, also when the device refuses.
 * Needs: nothing.
 * Changes: the device volume only; no player state.
 * Threading: the host's thread. */
FLATPLAY_EXTERN_C HRESULT WINAPI Set_Volume(DWORD volume);
/* GetVolume: reads the device volume as an attenuation in hundredths of a
 * decibel, from the whole 32-bit value taken as unsigned.
 * Returns: 0xFFFF -> 0, 0x8000 -> -5000, 0x7FFF -> -5001, 0 -> -10000. A
 * right-channel word is not masked off and gives 0 or more (0x00010000 ->
 * 0, 0x33333333 -> 131064000). -10000 if the device cannot be read.
 * Needs: nothing.
 * Changes: nothing.
 * Threading: the host's thread. */
FLATPLAY_EXTERN_C LONG WINAPI GetVolume(void);
/* SetVolume: sets the device volume from an attenuation in hundredths of a
 * decibel, its sign ignored (5000 acts as -5000).
 * Returns: 0, also when the device refuses.
 * Needs: nothing.
 * Changes: the device volume only; no player state. The level goes to the
 * low word (0 -> 0xFFFF, -5000 -> 0x7FFF, -10000 -> 0) and 0 to the high
 * word, so a device with separate channel volumes gets its right channel
 * silenced. Magnitudes above 10000 send 0 (silence). On a device that keeps
 * what was set, GetVolume then reads -|attenuation| or one lower (-5000
 * reads -5001).
 * Threading: the host's thread. */
FLATPLAY_EXTERN_C HRESULT WINAPI SetVolume(LONG attenuation);
/* ToggleMute: reads the graph's audio volume and sets it to -10000 (silent)
 * if it was 0 (full), otherwise to 0: nothing is saved, so a lowered volume
 * comes back full.
 * Returns: 0 without a graph or its audio interface (nothing done);
 * otherwise the code of get_Volume (on failure nothing is set and "Failed in
 * pBA->get_Volume!  hr=0x..." goes to the debug output) or of put_Volume (on
 * failure "FAILED(hr=0x...) in m_pBA->put_Volume(m_lVolume)").
 * Needs: a graph with its audio interface; works in every play state.
 * Changes: the graph's audio volume only; not the play state.
 * Threading: the host's thread. */
FLATPLAY_EXTERN_C HRESULT WINAPI ToggleMute(void);
/* GetMuteState: reads the graph's audio volume without changing it.
 * Returns: E_POINTER if muted is NULL; E_FAIL without a graph or its audio
 * interface; the code of get_Volume if it fails (a file without sound:
 * E_NOTIMPL), *muted untouched; else that code, with *muted 1 when the
 * volume is below full (what ToggleMute would turn up) and 0 at full.
 * Needs: a graph; works in every play state.
 * Changes: nothing but *muted.
 * Threading: the host's thread.
 * Since: 0.2.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI GetMuteState(LONG *muted);

/* The player's sound: its level, balance and mute are the player's own,
 * kept across its files and given to each one PlayerOpen opens; they
 * change the graph's audio (IBasicAudio), never the device volume, and
 * another player's sound not at all. What was set is what holds: the
 * player has no getters for them (PlayerCreate starts at level 0, balance
 * 0, not muted). */

/* PlayerSetVolume: sets the player's level, an attenuation in hundredths of
 * a decibel from -10000 (silent) to 0 (full). While muted it is recorded
 * and sounds at the unmute.
 * Returns: E_INVALIDARG outside -10000..0 (nothing changed); S_OK without a
 * file or while muted; else the code of IBasicAudio::put_Volume (a file
 * without sound: E_NOTIMPL under Wine), the level recorded either way.
 * Needs: nothing but the handle.
 * Changes: the level.
 * Threading: the player's thread.
 * Since: 0.3.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI PlayerSetVolume(FLATPLAY_PLAYER player, LONG level);

/* PlayerSetBalance: sets the balance between the speakers in hundredths of a
 * decibel: -10000 left only, 0 both at full, 10000 right only (the other
 * side is attenuated by the value).
 * Returns: E_INVALIDARG outside -10000..10000 (nothing changed); S_OK
 * without a file; else the code of IBasicAudio::put_Balance, the balance
 * recorded either way.
 * Needs: nothing but the handle.
 * Changes: the balance.
 * Threading: the player's thread.
 * Since: 0.3.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI PlayerSetBalance(FLATPLAY_PLAYER player, LONG balance);

/* PlayerSetMute: mutes (mute != 0) or unmutes the player. Muting silences
 * the graph (-10000) and keeps the level; unmuting puts the level back (not
 * full volume, unlike ToggleMute).
 * Returns: S_OK without a file; else the code of IBasicAudio::put_Volume,
 * the mute recorded either way.
 * Needs: nothing but the handle.
 * Changes: the mute.
 * Threading: the player's thread.
 * Since: 0.3.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI PlayerSetMute(FLATPLAY_PLAYER player, BOOL mute);

/* ---- Video -------------------------------------------------------------- */

/* PutForeground: show != 0 places the video in the host window (left 9, top
 * 27, 519 x 393 pixels on an 800 x 480 screen; 4, 14, 312 x 223 on any
 * other; or in the rectangle of SetVideoRect), shows it and brings it to
 * the foreground; show == 0 hides it and leaves position and forwarding as
 * they are.
 * Returns: 0, or E_FAIL without a graph. Video-window failures are ignored.
 * Needs: a graph; works in every play state.
 * Changes: no play state. Showing also installs tap forwarding, once per graph:
 * only when the video window could be shown AND the host window (SetHWND)
 * now is the one the graph's video window was given as owner at InitGraph
 * (SetHWND before InitGraph), it replaces the procedure of that host's first
 * child (the video window) to post WM_VIDEO_TAPPED, both parameters 0, to
 * the host window of the moment on every left-button release; all messages
 * still reach the child's own procedure, which ClearGraph puts back. While
 * either condition fails, or the host has no child yet, nothing is
 * installed and the next showing checks again. Nor is anything looked up
 * while the video is full screen (FullScreen(TRUE) succeeded and no
 * FullScreen(FALSE) that succeeded since): a full-screen renderer's window
 * need not be its owner's child, so the first child would be a control;
 * the first showing after FullScreen(FALSE) looks. A host named after
 * InitGraph keeps its controls' procedures and gets no taps from that
 * graph. If the child's window procedure cannot be read or replaced, the
 * window is left unhooked. A graph without video (a song) has no window to
 * show: then no window of the host is touched.
 * Threading: the host's thread. The forwarding runs on the thread that owns
 * the video window (with a multithreaded COM apartment that may be
 * DirectShow's own, the renderer's thread), so the tap arrives through the
 * host's message queue. */
FLATPLAY_EXTERN_C HRESULT WINAPI PutForeground(BOOL show);
/* FullScreen: switches full-screen mode on (on != 0), or off: then the video
 * is shown again in its PutForeground rectangle (or SetVideoRect's) and
 * brought to the foreground.
 * Returns: E_FAIL without a graph; else 0. Video-window failures are
 * ignored.
 * Needs: a graph, and Running or Paused: otherwise it returns 0 and does
 * nothing.
 * Changes: the full-screen mode; no play state. After either switch, if a
 * drain window was named (PutMessageDrain), hands WM_VIDEO_MODE_CHANGED to
 * the video window and posts it to the drain, both parameters 0, whether or
 * not the switch succeeded.
 * Threading: the host's thread; the drain gets the message through its
 * message queue. */
FLATPLAY_EXTERN_C HRESULT WINAPI FullScreen(BOOL on);
/* IsFullScreen: tells whether the video is in full-screen mode.
 * Returns: E_POINTER if on is NULL, checked before its gate, so also without
 * a graph (nothing called; unlike GetPlayPosition, which checks its gate
 * first); then E_FAIL without a graph (*on untouched); else 0, with 1 stored
 * in *on if the video is in full-screen mode, else 0, also 0 when the
 * renderer cannot tell.
 * Needs: a graph; works in every play state.
 * Changes: nothing but *on.
 * Threading: the host's thread. */
FLATPLAY_EXTERN_C HRESULT WINAPI IsFullScreen(LONG *on);
/* PutMessageDrain: names the window that receives the video window's input
 * messages and, from FullScreen, WM_VIDEO_MODE_CHANGED.
 * Returns: the code of put_MessageDrain, or E_FAIL without a graph.
 * Needs: a graph; works in every play state.
 * Changes: the drain window, kept across graphs and recorded even when the
 * video window refuses it; no play state.
 * Threading: the host's thread. */
FLATPLAY_EXTERN_C HRESULT WINAPI PutMessageDrain(HWND drain);
/* SetVideoRect: names the rectangle, in the host window's client
 * coordinates, where PutForeground and the return from full screen place
 * the video from now on instead of the fixed rectangles. The picture keeps
 * its native aspect inside it, centred: the video window covers the
 * picture only (the side that limits it is filled, the other rounded to
 * the nearest pixel, halves up; the odd spare pixel goes right or below),
 * and the rest of the rectangle is the host's own window, which should
 * paint it (black, as players do). A video whose size the graph cannot give
 * (or with a side longer than 32767 pixels) fills the rectangle. A video
 * already placed (PutForeground(TRUE) or FullScreen(FALSE) since InitGraph)
 * and not full screen moves at once, hidden or not. NULL returns to the
 * fixed rectangles.
 * Returns: E_INVALIDARG, nothing changed, for an empty or inverted rectangle
 * (right <= left or bottom <= top) or one wider or higher than 32767
 * pixels; else S_OK. Video-window failures are ignored.
 * Needs: nothing: without a graph the rectangle is kept for later graphs.
 * Changes: the rectangle, kept across graphs; no play state.
 * Threading: the host's thread.
 * Since: 0.2.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI SetVideoRect(const RECT *rect);

/* PlayerSetOwner: names the window that owns the player's video (its
 * parent, of this thread or another) and receives its taps: for every later
 * file, and at once for the open one, whose video window moves into it.
 * NULL: no owner (the video window stands alone; no taps).
 * Returns: S_OK without a file; else the code of IVideoWindow::put_Owner
 * (a file without video refuses it), the owner recorded either way.
 * Needs: nothing but the handle.
 * Changes: the owner.
 * Threading: the player's thread.
 * Since: 0.3.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI PlayerSetOwner(FLATPLAY_PLAYER player, HWND owner);

/* PlayerSetVideoRect: as SetVideoRect, for this player: the rectangle in the
 * owner's client coordinates where PlayerShowVideo and the return from full
 * screen place the video, aspect kept; NULL returns to the fixed
 * rectangles of PutForeground. A video already shown moves at once.
 * Returns: E_INVALIDARG for an empty, inverted or too large rectangle
 * (nothing changed); else S_OK.
 * Needs: nothing but the handle.
 * Changes: the rectangle, kept across files.
 * Threading: the player's thread.
 * Since: 0.3.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI PlayerSetVideoRect(FLATPLAY_PLAYER player, const RECT *rect);

/* PlayerShowVideo: show != 0 places the video in its rectangle and shows it;
 * show == 0 hides it. Showing also forwards taps: the player's video window
 * is found among the owner's children by a caption it alone carries
 * ("flatplay video" and numbers of its own), never by its place among them,
 * and every left-button release on it posts WM_VIDEO_TAPPED to the owner of
 * the moment, wParam 0 and lParam the player's handle. No other window is
 * touched; while the video is full screen the look-up waits for its return.
 * Returns: E_FAIL without a file; else the code of
 * IVideoWindow::put_Visible (a file without video: its failure, and nothing
 * forwarded).
 * Needs: a file; any state.
 * Changes: the video window; no state.
 * Threading: the player's thread; taps come through the owner's queue.
 * Since: 0.3.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI PlayerShowVideo(FLATPLAY_PLAYER player, BOOL show);

/* PlayerSetFullScreen: switches the video to full screen (on != 0) or back
 * into its rectangle, shown. A renderer that leaves full screen by itself
 * says so with the event EC_FULLSCREEN_LOST (PlayerGetEvent).
 * Returns: E_FAIL without a file; else the code of
 * IVideoWindow::put_FullScreenMode (Wine's default renderer: E_NOTIMPL).
 * Needs: a file; any state.
 * Changes: the full-screen mode.
 * Threading: the player's thread.
 * Since: 0.3.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI PlayerSetFullScreen(FLATPLAY_PLAYER player, BOOL on);

/* PlayerSetMessageDrain: names the window that receives the video window's
 * mouse and keyboard messages (IVideoWindow::put_MessageDrain), for every
 * later file and at once for the open one; NULL for none.
 * Returns: S_OK without a file; else the code of put_MessageDrain, the
 * drain recorded either way.
 * Needs: nothing but the handle.
 * Changes: the drain.
 * Threading: the player's thread.
 * Since: 0.3.0. */
FLATPLAY_EXTERN_C HRESULT WINAPI PlayerSetMessageDrain(FLATPLAY_PLAYER player, HWND drain);

#endif /* FLATPLAY_FLATPLAY_H */
