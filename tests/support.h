// Shared fixture of the native tests: a fresh fake platform and a context
// at its load-time values before each test; after each, the graph is
// cleared and no fake object may still hold a reference.
#pragma once

#include "api/context.h"
#include "fake/fake_platform.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

using Calls = std::vector<std::string>;
using Lines = std::vector<std::u16string>;

// Puts every field back to its load-time value (the library itself never does).
void ResetContext();

// Traces and failure messages name the state rather than its number.
std::ostream &operator<<(std::ostream &os, PlayState state);

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Initialize, SetHWND(host) and InitGraph on a clip; the log is then emptied.
    void OpenClip();

    // Opens a clip and drives the exports to `state`, as a host would:
    // Running = played, Paused = played and paused, Stopped = played and
    // stopped, Closed = Initialize again with the graph held. With `missing`
    // (a call pattern, a string literal) that call fails once during the
    // open, so the graph holds only what came before it and the open leaves
    // the player Closed. The log and the debug lines are then emptied.
    void Reach(PlayState state, const char *missing = nullptr);

    HWND host = nullptr;
};

// printf into a string: log entries can then give numbers that have a
// name in the headers (WM_VIDEO_TAPPED, ...) by that name.
std::string Format(const char *format, ...) __attribute__((format(printf, 1, 2)));

// The parts one after another.
Calls Join(std::initializer_list<Calls> parts);

// What InitGraph logs when every part of the graph on `file` stands.
Calls Opened(const std::string &file = "clip.avi", const std::string &owner = "host");
// What ClearGraph logs for a whole graph without tap forwarding.
Calls Cleared();

// The exact diagnostic line for a failed call, as the library renders it.
std::u16string FailedLine(HRESULT hr, const char16_t *call);

#if defined(FLATPLAY_WINCE_TESTS)
// These tests are armel code, which passes a 64-bit argument after a word
// in r2:r3; the core, compiled for Windows CE, takes it in r1:r2, as CE's
// compilers pass it. Called with the value's halves as two words, it
// travels where both agree.
template <typename Wide>
HRESULT CallAsCe(HRESULT(WINAPI *function)(FLATPLAY_PLAYER, Wide), FLATPLAY_PLAYER player, Wide value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    return reinterpret_cast<HRESULT (*)(FLATPLAY_PLAYER, std::uint32_t, std::uint32_t)>(function)(
        player, static_cast<std::uint32_t>(bits), static_cast<std::uint32_t>(bits >> 32));
}
#define PlayerSeek(player, position) CallAsCe<LONGLONG>(&(PlayerSeek), (player), (position))
#define PlayerSetRate(player, rate) CallAsCe<double>(&(PlayerSetRate), (player), (rate))
#endif

// Takes one interface field of the record away for a scope and puts it
// back, so that the fixture's teardown still releases it. Only for gaps
// no export and no platform fault can open.
template <typename Interface> class Without {
public:
    explicit Without(Interface *&field) : field_(field), saved_(field) { field_ = nullptr; }
    ~Without() { field_ = saved_; }
    Without(const Without &) = delete;
    Without &operator=(const Without &) = delete;

private:
    Interface *&field_;
    Interface *saved_;
};
