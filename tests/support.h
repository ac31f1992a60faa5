// Shared fixture of the native tests: a fresh fake platform and a context
// at its load-time values before each test; after each, the graph is
// cleared and no fake object may still hold a reference.
#pragma once

#include "api/context.h"
#include "fake/fake_platform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Calls = std::vector<std::string>;
using Lines = std::vector<std::u16string>;

// Puts every field back to its load-time value (the library itself never does).
void ResetContext();

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Initialize, SetHWND(host) and InitGraph on a clip; the log is then emptied.
    void OpenClip();

    HWND host = nullptr;
};

// The exact diagnostic line for a failed call, as the library renders it.
std::u16string FailedLine(HRESULT hr, const char16_t *call);

// Takes one interface field of the record away for a scope and puts it
// back, so that the fixture's teardown still releases it.
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
