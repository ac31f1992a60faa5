// Compiled with the CE target's code generation: every export's arguments
// and the structures of the header as that compiler passes and lays them
// out. One line per export; an export added to the .def without its line
// fails the test.
#include "platform/platform.h"
#include "platform/wince_convention.h"

#include <bit>
#include <cstddef>
#include <iterator>
#include <utility>

namespace {

template <typename T> T Marker(unsigned argument) {
    if constexpr (sizeof(T) == 8)
        return std::bit_cast<T>(uint64_t{ConventionMarker(argument, 1)} << 32 | ConventionMarker(argument, 0));
    else
        return std::bit_cast<T>(ConventionMarker(argument, 0));
}

template <typename F> struct Probe;
template <typename R, typename... A> struct Probe<R(WINAPI *)(A...)> {
    template <size_t... I> static void CallWith(std::index_sequence<I...>) {
        reinterpret_cast<R(WINAPI *)(A...)> (&RecordArguments)(Marker<A>(I)...);
    }
    static ArgumentWords Call() {
        CallWith(std::index_sequence_for<A...>{});
        return g_recordedArguments;
    }
};

} // namespace

#define EXPORT(function, where)                                                                                        \
    { #function, &Probe < decltype(&function)> ::Call, where }
// Shapes the exports to come take, with the rule each one checks.
#define SHAPE(name, type, where)                                                                                       \
    { name, &Probe<type>::Call, where }

const ConventionRow kConventionRows[] = {
    EXPORT(ClearGraph, ""),
    EXPORT(FullScreen, "r0"),
    EXPORT(GetPlayPosition, "r0 r1"),
    EXPORT(GetPlayPositionCurrent, ""),
    EXPORT(GetPlayPositionDuration, ""),
    EXPORT(GetPlayPositionDurationPercent, ""),
    EXPORT(GetPlayState, ""),
    EXPORT(GetVolume, ""),
    EXPORT(GetVolumeInit, ""),
    EXPORT(InitGraph, "r0"),
    EXPORT(Initialize, ""),
    EXPORT(IsFullScreen, "r0"),
    EXPORT(PlayPause, ""),
    EXPORT(PutForeground, "r0"),
    EXPORT(PutMessageDrain, "r0"),
    EXPORT(SeekSong, "r0"),
    EXPORT(SetHWND, "r0"),
    EXPORT(SetVolume, "r0"),
    EXPORT(Set_Volume, "r0"),
    EXPORT(Stop, ""),
    EXPORT(ToggleMute, ""),
    EXPORT(TotalTime, ""),
    EXPORT(UnInitialize, ""),
    EXPORT(SetEventWindow, "r0 r1"),
    EXPORT(GetGraphEvent, "r0 r1 r2"),
    EXPORT(GetMediaInfo, "r0"),
    EXPORT(SetVideoRect, "r0"),
    EXPORT(SeekToTime, "r0:r1"),
    EXPORT(GetMuteState, "r0"),
    EXPORT(GetLibraryVersion, ""),
    EXPORT(PlayerCreate, "r0"),
    EXPORT(PlayerDestroy, "r0"),
    EXPORT(PlayerGetState, "r0 r1"),
    EXPORT(PlayerOpen, "r0 r1"),
    EXPORT(PlayerClose, "r0"),
    EXPORT(PlayerSetEventWindow, "r0 r1 r2"),
    EXPORT(PlayerGetEvent, "r0 r1 r2 r3"),
    EXPORT(PlayerGetMediaInfo, "r0 r1"),
    EXPORT(PlayerPlay, "r0"),
    EXPORT(PlayerPause, "r0"),
    EXPORT(PlayerStop, "r0"),
    EXPORT(PlayerSeek, "r0 r1:r2"),
    EXPORT(PlayerGetPosition, "r0 r1 r2"),
    EXPORT(PlayerSetRate, "r0 r1:r2"),
    EXPORT(PlayerSetVolume, "r0 r1"),
    EXPORT(PlayerSetBalance, "r0 r1"),
    EXPORT(PlayerSetMute, "r0 r1"),
    EXPORT(PlayerSetOwner, "r0 r1"),
    EXPORT(PlayerSetVideoRect, "r0 r1"),
    EXPORT(PlayerShowVideo, "r0 r1"),
    EXPORT(PlayerSetFullScreen, "r0 r1"),
    EXPORT(PlayerSetMessageDrain, "r0 r1"),
    SHAPE("a float after a word", HRESULT(WINAPI *)(DWORD, float), "r0 r1"),
    SHAPE("a 64-bit integer from the fourth word on", HRESULT(WINAPI *)(DWORD, DWORD, DWORD, LONGLONG),
          "r0 r1 r2 r3:s0"),
    SHAPE("a 64-bit integer after four words", HRESULT(WINAPI *)(DWORD, DWORD, DWORD, DWORD, LONGLONG),
          "r0 r1 r2 r3 s0:s1"),
};
const size_t kConventionRowCount = std::size(kConventionRows);

#define MEMBER(type, member)                                                                                           \
    { #member, sizeof(type::member), offsetof(type, member) }

const LayoutRow kLayoutRows[] = {
    {"FLATPLAY_MEDIA_INFO",
     sizeof(FLATPLAY_MEDIA_INFO),
     {MEMBER(FLATPLAY_MEDIA_INFO, cbSize), MEMBER(FLATPLAY_MEDIA_INFO, hasVideo), MEMBER(FLATPLAY_MEDIA_INFO, duration),
      MEMBER(FLATPLAY_MEDIA_INFO, hasSound), MEMBER(FLATPLAY_MEDIA_INFO, canSeek), MEMBER(FLATPLAY_MEDIA_INFO, width),
      MEMBER(FLATPLAY_MEDIA_INFO, height)}},
    {"RECT", sizeof(RECT), {MEMBER(RECT, left), MEMBER(RECT, top), MEMBER(RECT, right), MEMBER(RECT, bottom)}},
};
const size_t kLayoutRowCount = std::size(kLayoutRows);
