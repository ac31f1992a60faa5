// The DLL under Wine with real DirectShow: loading, exports, lifecycle,
// opening and closing real files.
#include "harness.h"

#include <initializer_list>
#include <string.h>

namespace {

struct Export {
    int ordinal;
    const char *name;
};
// The DLL's export table, from the .def file it is linked from.
const Export kExports[] = {
#include "exports.inc"
};

void Exports() {
    HMODULE dll = LoadLibraryW(L"flatplay.dll");
    if (!CHECK(dll != nullptr)) return;
    CHECK_EQ(sizeof kExports / sizeof kExports[0], 23);
    for (const Export &e : kExports) {
        FARPROC byName = GetProcAddress(dll, e.name);
        FARPROC byOrdinal = GetProcAddress(dll, MAKEINTRESOURCEA(e.ordinal));
        printf("  %2d %-32s %p\n", e.ordinal, e.name, (void *)byName);
        CHECK(byName != nullptr);
        CHECK(byName == byOrdinal);
    }
    // The header names the export the table has at ordinal 3.
    CHECK_EQ(strcmp(kExports[2].name, FLATPLAY_GETPLAYPOSITION_EXPORT), 0);
    CHECK(GetProcAddress(dll, "GetPlayPosition") == nullptr);
    CHECK(GetProcAddress(dll, MAKEINTRESOURCEA(24)) == nullptr);
    // The header's declaration links through the import library to the
    // decorated export: without a graph both calls refuse alike.
    LONGLONG current = 7, duration = 7;
    auto byName = reinterpret_cast<FLATPLAY_GETPLAYPOSITION_FN>(
        reinterpret_cast<void *>(GetProcAddress(dll, FLATPLAY_GETPLAYPOSITION_EXPORT)));
    HRESULT viaHeader = GetPlayPosition(&current, &duration);
    CHECK(viaHeader < 0);
    CHECK_EQ(viaHeader, byName(&current, &duration));
    CHECK_EQ(current + duration, 14);
    FreeLibrary(dll);
}

void Lifecycle() {
    CHECK_EQ(GetPlayState(), FLATPLAY_STOPPED);
    CHECK_EQ(Initialize(), S_OK);
    CHECK_EQ(GetPlayState(), FLATPLAY_CLOSED);
    CHECK_EQ(Initialize(), S_FALSE);
    CHECK_EQ(GetPlayState(), FLATPLAY_CLOSED);
    CHECK_EQ(UnInitialize(), 0);
    CHECK_EQ(UnInitialize(), 0);
    CHECK_EQ(GetPlayState(), FLATPLAY_CLOSED);
}

void OpenAndClose() {
    HWND host = wt::CreateHost(L"open");
    CHECK_EQ(Initialize(), S_OK);
    CHECK_EQ(SetHWND(host), 0);
    CHECK_EQ(InitGraph(wt::Media("av.avi")), S_OK);
    CHECK_EQ(GetPlayState(), FLATPLAY_STOPPED);
    PUMP_UNTIL(wt::kDeadlineMs, GetWindow(host, GW_CHILD) != nullptr);
    HWND video = GetWindow(host, GW_CHILD);
    if (CHECK(video != nullptr)) {
        RECT r;
        GetWindowRect(video, &r);
        printf("  video child %p: %ld x %ld\n", (void *)video, r.right - r.left, r.bottom - r.top);
        CHECK_EQ(r.right - r.left, 0);
        CHECK_EQ(r.bottom - r.top, 0);
        CHECK((GetWindowLongW(video, GWL_STYLE) & WS_CHILD) != 0);
    }
    ClearGraph();
    CHECK_EQ(GetPlayState(), FLATPLAY_CLOSED);
    // Nothing of the graph holds the file any longer.
    HANDLE file = CreateFileW(wt::Media("av.avi"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    CHECK(file != INVALID_HANDLE_VALUE);
    CloseHandle(file);
    DestroyWindow(host);
    UnInitialize();
}

void BadFiles() {
    HWND host = wt::CreateHost(L"bad files");
    CHECK_EQ(Initialize(), S_OK);
    SetHWND(host);
    for (const char *name : {"missing.avi", "empty.avi", "text.avi"}) {
        printf("  %s\n", name);
        HRESULT hr = InitGraph(wt::Media(name));
        CHECK(hr < 0);
        CHECK_EQ(GetPlayState(), FLATPLAY_CLOSED);
        wt::ExpectDebugLine("FAILED(hr=0x%lx) in m_pGB->RenderFile(m_szPlayFile, NULL)\n", (unsigned long)hr);
        ClearGraph();
        CHECK_EQ(GetPlayState(), FLATPLAY_CLOSED);
    }
    DestroyWindow(host);
    UnInitialize();
}

void Cycles() {
    HWND host = wt::CreateHost(L"cycles");
    CHECK_EQ(Initialize(), S_OK);
    SetHWND(host);
    int opened = 0;
    for (int i = 0; i < 50; ++i) {
        if (CHECK_EQ(InitGraph(wt::Media("av.avi")), S_OK) && CHECK(GetWindow(host, GW_CHILD) != nullptr)) ++opened;
        ClearGraph();
        wt::DispatchPending(); // what each graph's window posted the host, not left to pile up
    }
    printf("  %d of 50 cycles opened\n", opened);
    HANDLE file = CreateFileW(wt::Media("av.avi"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    CHECK(file != INVALID_HANDLE_VALUE);
    CloseHandle(file);
    DestroyWindow(host);
    UnInitialize();
}

const wt::Case kCases[] = {
    {"exports", Exports}, {"lifecycle", Lifecycle}, {"open", OpenAndClose}, {"bad-files", BadFiles}, {"cycles", Cycles},
};

} // namespace

int main(int argc, char **argv) { return wt::Main(argc, argv, kCases, sizeof kCases / sizeof kCases[0]); }
