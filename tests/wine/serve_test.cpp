// Cases for the test layer itself (check-serve): how a process that serves
// a lane's cases one after another answers a pass, a failed check, a
// crash, a hang and a case that leaves something behind. No DLL call.
#include "harness.h"

namespace {

// The process's own number: a later case tells whether it runs in the same one.
void Pass() {
    CHECK(true);
    wt::Print("  process %lu\n", GetCurrentProcessId());
}

void Fail() { CHECK_EQ(1 + 1, 3); }

void Crash() {
    wt::Print("  about to crash\n");
    *static_cast<volatile int *>(nullptr) = 1;
}

void Hang() {
    wt::Print("  hanging\n");
    Sleep(INFINITE);
}

// A host window left open: the next case must not find it.
void LeaveWindow() { CHECK(wt::CreateHost(L"left behind") != nullptr); }

void AnnounceTeardownCrash() { wt::ExpectTeardownCrash("announced by a served case"); }

const wt::Case kCases[] = {
    {"pass", Pass},
    {"fail", Fail},
    {"crash", Crash},
    {"hang", Hang},
    {"leave-window", LeaveWindow},
    {"announce-teardown-crash", AnnounceTeardownCrash},
};

} // namespace

WT_ENTRY_POINT(kCases)
