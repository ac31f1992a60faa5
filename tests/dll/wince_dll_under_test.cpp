// The unit tests against the Windows CE DLL itself: before main, its file
// is loaded at FLATPLAY_WINCE_BASE, where the link put every symbol the
// tests take from it (wince-dll-symbols), with its imports bound to the
// fake platform. CE's names for the pointer-wide window calls are
// GetWindowLongW and SetWindowLongW.
#include "dll/wince_loader.h"
#include "support.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <iterator>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

[[noreturn]] void Fail(const char *what, const char *detail = "") {
    std::fprintf(stderr, "%s: %s %s\n", FLATPLAY_WINCE_DLL, what, detail);
    std::exit(2);
}

// The one coredll call no unit test expects: CE has no FindWindowExW, and
// the DLL's own (platform/wince.cpp) reads each child's text with it.
int WINAPI GetWindowTextW(HWND, WCHAR *text, int) {
    text[0] = 0;
    return 0;
}

// The fake's interfaces have only the methods the core calls; the DLL was
// built with DirectShow's own declarations, whose tables hold every method.
// Each object the fake hands the DLL goes out in a view whose table puts
// the fake's methods in DirectShow's slots: thunk N calls the fake's
// method N on the viewed object.
struct View {
    const void *const *table;
    IUnknown *object;
};
#define THUNK(n) ".globl ViewThunk" #n "\nViewThunk" #n ": ldr r0, [r0, #4]\n ldr ip, [r0]\n ldr pc, [ip, #" #n "*4]\n"
asm(".text\n.arm\n" THUNK(1) THUNK(2) THUNK(3) THUNK(4) THUNK(5) THUNK(6) THUNK(7) THUNK(8) THUNK(9) THUNK(10) THUNK(11)
        THUNK(12));
extern "C" void ViewThunk1(), ViewThunk2(), ViewThunk3(), ViewThunk4(), ViewThunk5(), ViewThunk6(), ViewThunk7(),
    ViewThunk8(), ViewThunk9(), ViewThunk10(), ViewThunk11(), ViewThunk12();
void (*const kThunks[])() = {nullptr,    ViewThunk1, ViewThunk2, ViewThunk3,  ViewThunk4,  ViewThunk5, ViewThunk6,
                             ViewThunk7, ViewThunk8, ViewThunk9, ViewThunk10, ViewThunk11, ViewThunk12};
HRESULT ViewQueryInterface(View *view, REFIID iid, void **ppv);

// DirectShow's slot of each of the fake's methods, from the SDK's headers.
const struct {
    const IID *iid;
    int size, slots[10];
} kLayouts[] = {
    {&IID_IGraphBuilder, 14, {13}},
    {&IID_IMediaControl, 10, {7, 8, 9}},
    {&IID_IMediaEventEx, 16, {8, 12, 13}},
    {&IID_IMediaSeeking, 20, {3, 10, 12, 14, 17}},
    {&IID_IVideoWindow, 40, {7, 9, 19, 29, 31, 35, 36, 37, 38, 39}},
    {&IID_IBasicAudio, 10, {7, 8, 9}},
    {&IID_IBasicVideo, 35, {34}},
};
const void *tables[std::size(kLayouts)][40];
View views[128]; // the fake has 16 graphs of 7 objects

void *Viewed(REFIID iid, void *object) {
    if (!object) return nullptr;
    for (size_t kind = 0; kind < std::size(kLayouts); ++kind) {
        if (!(*kLayouts[kind].iid == iid)) continue;
        const void **table = tables[kind];
        table[0] = reinterpret_cast<const void *>(&ViewQueryInterface);
        table[1] = reinterpret_cast<const void *>(kThunks[1]);
        table[2] = reinterpret_cast<const void *>(kThunks[2]);
        for (int method = 0; method < 10 && kLayouts[kind].slots[method]; ++method)
            table[kLayouts[kind].slots[method]] = reinterpret_cast<const void *>(kThunks[3 + method]);
        for (View &view : views)
            if (!view.object || (view.object == object && view.table == table)) {
                view = View{table, static_cast<IUnknown *>(object)};
                return &view;
            }
        Fail("more objects than views");
    }
    return object;
}

HRESULT ViewQueryInterface(View *view, REFIID iid, void **ppv) {
    const HRESULT hr = view->object->QueryInterface(iid, ppv);
    *ppv = Viewed(iid, *ppv);
    return hr;
}

HRESULT ViewCoCreateInstance(REFCLSID clsid, IUnknown *outer, DWORD context, REFIID iid, void **ppv) {
    const HRESULT hr = CoCreateInstance(clsid, outer, context, iid, ppv);
    *ppv = Viewed(iid, *ppv);
    return hr;
}

void *Resolve(const char *dll, const char *name) {
    static const struct {
        const char *dll, *name;
        void *address;
    } kImports[] = {
        {"coredll.dll", "CallWindowProcW", reinterpret_cast<void *>(&CallWindowProcW)},
        {"coredll.dll", "DefWindowProcW", reinterpret_cast<void *>(&DefWindowProcW)},
        {"coredll.dll", "GetSystemMetrics", reinterpret_cast<void *>(&GetSystemMetrics)},
        {"coredll.dll", "GetWindow", reinterpret_cast<void *>(&GetWindow)},
        {"coredll.dll", "GetWindowLongW", reinterpret_cast<void *>(&GetWindowLongPtrW)},
        {"coredll.dll", "GetWindowTextW", reinterpret_cast<void *>(&GetWindowTextW)},
        {"coredll.dll", "InterlockedCompareExchange", reinterpret_cast<void *>(&InterlockedCompareExchange)},
        {"coredll.dll", "InterlockedExchange", reinterpret_cast<void *>(&InterlockedExchange)},
        {"coredll.dll", "NKDbgPrintfW", reinterpret_cast<void *>(&NKDbgPrintfW)},
        {"coredll.dll", "PostMessageW", reinterpret_cast<void *>(&PostMessageW)},
        {"coredll.dll", "SetWindowLongW", reinterpret_cast<void *>(&SetWindowLongPtrW)},
        {"coredll.dll", "waveOutGetVolume", reinterpret_cast<void *>(&waveOutGetVolume)},
        {"coredll.dll", "waveOutSetVolume", reinterpret_cast<void *>(&waveOutSetVolume)},
        {"ole32.dll", "CoCreateInstance", reinterpret_cast<void *>(&ViewCoCreateInstance)},
        {"ole32.dll", "CoInitializeEx", reinterpret_cast<void *>(&CoInitializeEx)},
        {"ole32.dll", "CoUninitialize", reinterpret_cast<void *>(&CoUninitialize)},
    };
    for (const auto &import : kImports)
        if (WinceSameName(import.dll, dll, true) && WinceSameName(import.name, name)) return import.address;
    return nullptr;
}

WinceDll g_dll;

[[gnu::constructor]] void LoadDll() {
    const int fd = open(FLATPLAY_WINCE_DLL, O_RDONLY);
    if (fd < 0) Fail("cannot be opened");
    std::vector<uint8_t> file(static_cast<size_t>(lseek(fd, 0, SEEK_END)));
    if (pread(fd, file.data(), file.size(), 0) != static_cast<ssize_t>(file.size())) Fail("cannot be read");
    close(fd);
    const uint32_t size = WinceImageSize(file.data(), file.size());
    if (!size) Fail("is not a Windows CE ARM DLL");
    void *want = reinterpret_cast<void *>(FLATPLAY_WINCE_BASE);
    void *base =
        mmap(want, size, PROT_READ | PROT_WRITE | PROT_EXEC, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
    if (base != want) Fail("cannot be mapped at its test base");
    // CE's page of user data, where the DLL reads the thread's number: the
    // fake's, thread 1.
    auto *kdata = static_cast<DWORD *>(mmap(reinterpret_cast<void *>(0xFFFFC000), 4096, PROT_READ | PROT_WRITE,
                                            MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0));
    if (kdata != reinterpret_cast<DWORD *>(0xFFFFC000)) Fail("cannot map CE's page of user data");
    kdata[0x808 / 4] = fake::values().threadId;
    if (const char *error = WinceLoad(file.data(), file.size(), static_cast<uint8_t *>(base), Resolve, &g_dll))
        Fail(error, g_dll.missing ? g_dll.missing : "");
    __builtin___clear_cache(static_cast<char *>(base), static_cast<char *>(base) + size);
    // As CE's loader does: the entry point, for the process attach.
    reinterpret_cast<BOOL(WINAPI *)(HINSTANCE, DWORD, LPVOID)>(g_dll.entry)(static_cast<HINSTANCE>(base), 1, nullptr);
}

} // namespace

// The symbols the link took from the DLL are the loaded DLL's.
TEST(WinceDll, IsLoadedAtTheTestBaseWithItsRelocationsApplied) {
    EXPECT_EQ(reinterpret_cast<uintptr_t>(g_dll.base), static_cast<uintptr_t>(FLATPLAY_WINCE_BASE));
    EXPECT_EQ(g_dll.preferredBase, 0x10000000u);
    EXPECT_GT(g_dll.relocations, 0u);
    EXPECT_EQ(g_dll.imports, 16u);
    EXPECT_EQ(WinceExport(g_dll, "Initialize"), reinterpret_cast<void *>(&Initialize));
    EXPECT_EQ(WinceExport(g_dll, FLATPLAY_GETPLAYPOSITION_EXPORT), reinterpret_cast<void *>(&GetPlayPosition));
    EXPECT_EQ(WinceExport(g_dll, 11u), reinterpret_cast<void *>(&Initialize));
    EXPECT_EQ(WinceExport(g_dll, 3u), reinterpret_cast<void *>(&GetPlayPosition));
    EXPECT_EQ(WinceExport(g_dll, 52u), reinterpret_cast<void *>(&PlayerSetMessageDrain));
    EXPECT_EQ(WinceExport(g_dll, 53u), nullptr);
    auto *record = reinterpret_cast<uint8_t *>(&g_ctx);
    EXPECT_TRUE(record > g_dll.base && record < g_dll.base + 0x10000) << "g_ctx is not the DLL's";
    std::printf("flatplay.dll at 0x%08x (preferred 0x%08x): %u relocations applied, %u imports bound\n",
                static_cast<unsigned>(reinterpret_cast<uintptr_t>(g_dll.base)), g_dll.preferredBase, g_dll.relocations,
                g_dll.imports);
}
