#include "fake/fake_platform.h"

#include <bit>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace fake {
namespace {

constexpr int kMaxCalls = 2048;
constexpr int kEntry = 200;
constexpr int kMaxLines = 64;
constexpr int kLine = 320;
constexpr int kMaxRules = 32;
constexpr int kMaxErrors = 16;
constexpr int kMaxGraphs = 16;
constexpr int kMaxWindows = 16;
constexpr int kMaxProcNames = 8;
constexpr int kMaxEvents = 8;

struct Rule {
    const char *pattern;
    long long result;
    int times;
};

struct Window {
    const char *name;
    WNDPROC proc;
    HWND firstChild;
    HWND parent;
    char16_t caption[64];
};

struct ProcName {
    WNDPROC proc;
    const char *name;
};

struct Event {
    LONG code;
    LONG_PTR param1, param2;
};

// Everything the fake knows, static so that recording never allocates.
struct State {
    char calls[kMaxCalls][kEntry];
    int callCount, callsTaken;
    char16_t lines[kMaxLines][kLine];
    int lineCount, linesTaken;
    Rule rules[kMaxRules];
    int ruleCount;
    char errors[kMaxErrors][kEntry];
    int errorCount;
    Values values;
    int comInits;
    int graphCount;
    Window windows[kMaxWindows];
    int windowCount;
    ProcName procNames[kMaxProcNames];
    int procNameCount;
    Event events[kMaxEvents];
    int eventCount;
    HWND videoWindows[kMaxGraphs];
};
State g;

void Error(const char *format, ...) {
    if (g.errorCount == kMaxErrors) return;
    va_list args;
    va_start(args, format);
    std::vsnprintf(g.errors[g.errorCount++], kEntry, format, args);
    va_end(args);
}

// Logs one call; returns the entry so that rules can be matched against it.
const char *Log(const char *format, ...) {
    static char overflow[kEntry];
    char *entry = g.callCount < kMaxCalls ? g.calls[g.callCount++] : overflow;
    if (entry == overflow) Error("call log full");
    va_list args;
    va_start(args, format);
    std::vsnprintf(entry, kEntry, format, args);
    va_end(args);
    return entry;
}

bool Matches(const char *pattern, const char *entry) {
    if (std::strcmp(pattern, entry) == 0) return true;
    const char *paren = std::strchr(entry, '(');
    size_t method = paren ? static_cast<size_t>(paren - entry) : std::strlen(entry);
    return std::strlen(pattern) == method && std::strncmp(pattern, entry, method) == 0;
}

// The scripted result for a logged call, if a rule applies.
bool Scripted(const char *entry, long long *result) {
    for (int i = 0; i < g.ruleCount; ++i) {
        Rule &rule = g.rules[i];
        if (rule.times == 0 || !Matches(rule.pattern, entry)) continue;
        if (rule.times > 0) --rule.times;
        *result = rule.result;
        return true;
    }
    return false;
}

HRESULT Result(const char *entry, HRESULT otherwise) {
    long long scripted;
    return Scripted(entry, &scripted) ? static_cast<HRESULT>(scripted) : otherwise;
}

// Names for the log: windows, procedures, identifiers and paths.
struct Name {
    char text[64];
};

Name WindowName(HWND hwnd) {
    Name n;
    if (!hwnd) {
        std::snprintf(n.text, sizeof n.text, "null");
        return n;
    }
    for (int i = 0; i < g.windowCount; ++i)
        if (reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1000 * (i + 1))) == hwnd) {
            std::snprintf(n.text, sizeof n.text, "%s", g.windows[i].name);
            return n;
        }
    std::snprintf(n.text, sizeof n.text, "%p", static_cast<void *>(hwnd));
    return n;
}

Window *FindWindow(HWND hwnd) {
    uintptr_t value = reinterpret_cast<uintptr_t>(hwnd);
    if (value == 0 || value % 0x1000 != 0) return nullptr;
    uintptr_t index = value / 0x1000 - 1;
    return index < static_cast<uintptr_t>(g.windowCount) ? &g.windows[index] : nullptr;
}

LRESULT CALLBACK OwnProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Log("OwnProc(%s, 0x%x, %lld, %lld)", WindowName(hwnd).text, msg, static_cast<long long>(wParam),
        static_cast<long long>(lParam));
    return g.values.ownProcResult;
}

Name ProcName_(WNDPROC proc) {
    Name n;
    if (!proc) {
        std::snprintf(n.text, sizeof n.text, "null");
        return n;
    }
    if (proc == OwnProc) {
        std::snprintf(n.text, sizeof n.text, "OwnProc");
        return n;
    }
    for (int i = 0; i < g.procNameCount; ++i)
        if (g.procNames[i].proc == proc) {
            std::snprintf(n.text, sizeof n.text, "%s", g.procNames[i].name);
            return n;
        }
    std::snprintf(n.text, sizeof n.text, "proc@%p", reinterpret_cast<void *>(proc));
    return n;
}

const char *GuidName(const GUID &id) {
    if (id == CLSID_FilterGraph) return "CLSID_FilterGraph";
    if (id == IID_IGraphBuilder) return "IID_IGraphBuilder";
    if (id == IID_IMediaControl) return "IID_IMediaControl";
    if (id == IID_IMediaEventEx) return "IID_IMediaEventEx";
    if (id == IID_IMediaSeeking) return "IID_IMediaSeeking";
    if (id == IID_IVideoWindow) return "IID_IVideoWindow";
    if (id == IID_IBasicAudio) return "IID_IBasicAudio";
    if (id == IID_IBasicVideo) return "IID_IBasicVideo";
    return "{unknown}";
}

Name Path(LPCWSTR path) {
    Name n;
    if (!path) {
        std::snprintf(n.text, sizeof n.text, "null");
        return n;
    }
    size_t out = 0;
    n.text[out++] = '"';
    for (size_t i = 0; path[i] && out + 8 < sizeof n.text; ++i) {
        char16_t c = path[i];
        if (c >= 0x20 && c < 0x7F) {
            n.text[out++] = static_cast<char>(c);
        } else {
            out += static_cast<size_t>(std::snprintf(n.text + out, sizeof n.text - out, "\\u%04x", c));
        }
    }
    n.text[out++] = '"';
    n.text[out] = '\0';
    return n;
}

Name Time(const LONGLONG *time) {
    Name n;
    if (time)
        std::snprintf(n.text, sizeof n.text, "%lld", static_cast<long long>(*time));
    else
        std::snprintf(n.text, sizeof n.text, "null");
    return n;
}

// One fake graph: six objects, each with its own reference count, that
// answer QueryInterface for one another like the parts of one COM object.
struct Graph;

template <typename Interface> struct Part : Interface {
    Graph *graph = nullptr;
    const char *name = "";
    int refs = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override {
        Log("%s.AddRef()", name);
        return static_cast<ULONG>(++refs);
    }
    ULONG STDMETHODCALLTYPE Release() override {
        Log("%s.Release()", name);
        if (refs == 0) {
            Error("%s released with no reference held", name);
            return 0;
        }
        return static_cast<ULONG>(--refs);
    }
};

struct GraphBuilder : Part<IGraphBuilder> {
    HRESULT STDMETHODCALLTYPE RenderFile(LPCWSTR file, LPCWSTR playList) override {
        return Result(Log("GB.RenderFile(%s, %s)", Path(file).text, Path(playList).text), S_OK);
    }
};

struct MediaControl : Part<IMediaControl> {
    HRESULT STDMETHODCALLTYPE Run() override { return Result(Log("MC.Run()"), S_OK); }
    HRESULT STDMETHODCALLTYPE Pause() override { return Result(Log("MC.Pause()"), S_OK); }
    HRESULT STDMETHODCALLTYPE Stop() override { return Result(Log("MC.Stop()"), S_OK); }
};

struct MediaEvent : Part<IMediaEventEx> {
    HRESULT STDMETHODCALLTYPE GetEvent(LONG *code, LONG_PTR *param1, LONG_PTR *param2, LONG timeout) override {
        HRESULT hr = Result(Log("ME.GetEvent(%d)", timeout), g.eventCount ? S_OK : E_ABORT);
        if (FAILED(hr) || !g.eventCount) return hr;
        *code = g.events[0].code;
        *param1 = g.events[0].param1;
        *param2 = g.events[0].param2;
        for (int i = 1; i < g.eventCount; ++i) g.events[i - 1] = g.events[i];
        --g.eventCount;
        return hr;
    }
    HRESULT STDMETHODCALLTYPE FreeEventParams(LONG code, LONG_PTR param1, LONG_PTR param2) override {
        return Result(Log("ME.FreeEventParams(%d, %lld, %lld)", code, static_cast<long long>(param1),
                          static_cast<long long>(param2)),
                      S_OK);
    }
    HRESULT STDMETHODCALLTYPE SetNotifyWindow(OAHWND hwnd, LONG msg, LONG_PTR instanceData) override {
        return Result(Log("ME.SetNotifyWindow(%s, %d, %lld)", WindowName(reinterpret_cast<HWND>(hwnd)).text, msg,
                          static_cast<long long>(instanceData)),
                      S_OK);
    }
};

struct MediaSeeking : Part<IMediaSeeking> {
    HRESULT STDMETHODCALLTYPE GetCapabilities(DWORD *capabilities) override {
        HRESULT hr = Result(Log("MS.GetCapabilities()"), S_OK);
        if (SUCCEEDED(hr)) *capabilities = g.values.capabilities;
        return hr;
    }
    HRESULT STDMETHODCALLTYPE GetDuration(LONGLONG *duration) override {
        HRESULT hr = Result(Log("MS.GetDuration()"), S_OK);
        if (SUCCEEDED(hr)) *duration = g.values.duration;
        return hr;
    }
    HRESULT STDMETHODCALLTYPE GetCurrentPosition(LONGLONG *current) override {
        HRESULT hr = Result(Log("MS.GetCurrentPosition()"), S_OK);
        if (SUCCEEDED(hr)) *current = g.values.position;
        return hr;
    }
    HRESULT STDMETHODCALLTYPE SetPositions(LONGLONG *current, DWORD currentFlags, LONGLONG *stop,
                                           DWORD stopFlags) override {
        HRESULT hr = Result(
            Log("MS.SetPositions(%s, %u, %s, %u)", Time(current).text, currentFlags, Time(stop).text, stopFlags), S_OK);
        if (SUCCEEDED(hr) && current) g.values.position = *current;
        return hr;
    }
#if defined(FLATPLAY_WINCE_TESTS)
    HRESULT STDMETHODCALLTYPE SetRate(DWORD low, DWORD high) override {
        const double rate = std::bit_cast<double>(uint64_t{high} << 32 | low);
#else
    HRESULT STDMETHODCALLTYPE SetRate(double rate) override {
#endif
        HRESULT hr = Result(Log("MS.SetRate(%g)", rate), S_OK);
        if (SUCCEEDED(hr)) g.values.rate = rate;
        return hr;
    }
};

struct VideoWindow : Part<IVideoWindow> {
    // The window this graph's renderer shows, if the test gave it one.
    Window *Own();
    HRESULT STDMETHODCALLTYPE put_Caption(BSTR caption) override {
        HRESULT hr = Result(Log("VW.put_Caption(%s)", Path(caption).text), S_OK);
        if (Window *w = Own(); w && SUCCEEDED(hr)) {
            size_t n = 0;
            for (; caption[n] && n + 1 < sizeof w->caption / sizeof w->caption[0]; ++n) w->caption[n] = caption[n];
            w->caption[n] = 0;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE put_WindowStyle(LONG style) override {
        return Result(Log("VW.put_WindowStyle(0x%x)", static_cast<unsigned>(style)), S_OK);
    }
    HRESULT STDMETHODCALLTYPE put_Visible(LONG visible) override {
        return Result(Log("VW.put_Visible(%d)", visible), S_OK);
    }
    HRESULT STDMETHODCALLTYPE put_Owner(OAHWND owner) override {
        HRESULT hr = Result(Log("VW.put_Owner(%s)", WindowName(reinterpret_cast<HWND>(owner)).text), S_OK);
        if (Window *w = Own(); w && SUCCEEDED(hr)) w->parent = reinterpret_cast<HWND>(owner);
        return hr;
    }
    HRESULT STDMETHODCALLTYPE put_MessageDrain(OAHWND drain) override {
        return Result(Log("VW.put_MessageDrain(%s)", WindowName(reinterpret_cast<HWND>(drain)).text), S_OK);
    }
    HRESULT STDMETHODCALLTYPE get_FullScreenMode(LONG *mode) override {
        HRESULT hr = Result(Log("VW.get_FullScreenMode()"), S_OK);
        if (SUCCEEDED(hr)) *mode = g.values.fullScreenMode;
        return hr;
    }
    HRESULT STDMETHODCALLTYPE put_FullScreenMode(LONG mode) override {
        HRESULT hr = Result(Log("VW.put_FullScreenMode(%d)", mode), S_OK);
        if (SUCCEEDED(hr)) g.values.fullScreenMode = mode;
        return hr;
    }
    HRESULT STDMETHODCALLTYPE SetWindowForeground(LONG focus) override {
        return Result(Log("VW.SetWindowForeground(%d)", focus), S_OK);
    }
    HRESULT STDMETHODCALLTYPE NotifyOwnerMessage(OAHWND hwnd, LONG msg, LONG_PTR wParam, LONG_PTR lParam) override {
        return Result(Log("VW.NotifyOwnerMessage(%s, 0x%x, %lld, %lld)", WindowName(reinterpret_cast<HWND>(hwnd)).text,
                          static_cast<unsigned>(msg), static_cast<long long>(wParam), static_cast<long long>(lParam)),
                      S_OK);
    }
    HRESULT STDMETHODCALLTYPE SetWindowPosition(LONG left, LONG top, LONG width, LONG height) override {
        return Result(Log("VW.SetWindowPosition(%d, %d, %d, %d)", left, top, width, height), S_OK);
    }
};

struct BasicAudio : Part<IBasicAudio> {
    HRESULT STDMETHODCALLTYPE put_Volume(LONG volume) override {
        HRESULT hr = Result(Log("BA.put_Volume(%d)", volume), S_OK);
        if (SUCCEEDED(hr)) g.values.audioVolume = volume;
        return hr;
    }
    HRESULT STDMETHODCALLTYPE get_Volume(LONG *volume) override {
        HRESULT hr = Result(Log("BA.get_Volume()"), S_OK);
        if (SUCCEEDED(hr)) *volume = g.values.audioVolume;
        return hr;
    }
    HRESULT STDMETHODCALLTYPE put_Balance(LONG balance) override {
        HRESULT hr = Result(Log("BA.put_Balance(%d)", balance), S_OK);
        if (SUCCEEDED(hr)) g.values.audioBalance = balance;
        return hr;
    }
};

struct BasicVideo : Part<IBasicVideo> {
    HRESULT STDMETHODCALLTYPE GetVideoSize(LONG *width, LONG *height) override {
        HRESULT hr = Result(Log("BV.GetVideoSize()"), S_OK);
        if (SUCCEEDED(hr)) *width = g.values.videoWidth, *height = g.values.videoHeight;
        return hr;
    }
};

struct Graph {
    GraphBuilder gb;
    MediaControl mc;
    MediaEvent me;
    MediaSeeking ms;
    VideoWindow vw;
    BasicAudio ba;
    BasicVideo bv;

    void Bind() {
        gb.graph = mc.graph = me.graph = ms.graph = vw.graph = ba.graph = bv.graph = this;
        gb.name = "GB", mc.name = "MC", me.name = "ME", ms.name = "MS", vw.name = "VW", ba.name = "BA", bv.name = "BV";
        gb.refs = mc.refs = me.refs = ms.refs = vw.refs = ba.refs = bv.refs = 0;
    }

    // The interface of this graph for `iid`, with one reference added.
    void *Get(REFIID iid) {
        if (iid == IID_IGraphBuilder) return ++gb.refs, static_cast<IGraphBuilder *>(&gb);
        if (iid == IID_IMediaControl) return ++mc.refs, static_cast<IMediaControl *>(&mc);
        if (iid == IID_IMediaEventEx) return ++me.refs, static_cast<IMediaEventEx *>(&me);
        if (iid == IID_IMediaSeeking) return ++ms.refs, static_cast<IMediaSeeking *>(&ms);
        if (iid == IID_IVideoWindow) return ++vw.refs, static_cast<IVideoWindow *>(&vw);
        if (iid == IID_IBasicAudio) return ++ba.refs, static_cast<IBasicAudio *>(&ba);
        if (iid == IID_IBasicVideo) return ++bv.refs, static_cast<IBasicVideo *>(&bv);
        return nullptr;
    }

    int Total() const { return gb.refs + mc.refs + me.refs + ms.refs + vw.refs + ba.refs + bv.refs; }
};

Graph graphs[kMaxGraphs];

Window *VideoWindow::Own() { return FindWindow(g.videoWindows[graph - graphs]); }

template <typename Interface> HRESULT STDMETHODCALLTYPE Part<Interface>::QueryInterface(REFIID iid, void **ppv) {
    HRESULT hr = Result(Log("%s.QueryInterface(%s)", name, GuidName(iid)), S_OK);
    *ppv = FAILED(hr) ? nullptr : graph->Get(iid);
    if (SUCCEEDED(hr) && !*ppv) hr = E_NOINTERFACE;
    return hr;
}

void Render(char16_t *out, const char16_t *format, va_list args) {
    int n = 0;
    auto put = [&](char16_t c) {
        if (n < kLine - 1) out[n++] = c;
    };
    auto putAscii = [&](const char *s) {
        while (*s) put(static_cast<char16_t>(*s++));
    };
    for (const char16_t *p = format; *p; ++p) {
        if (*p != u'%') {
            put(*p);
            continue;
        }
        char number[32];
        switch (*++p) {
        case u'x':
            std::snprintf(number, sizeof number, "%x", va_arg(args, unsigned));
            putAscii(number);
            break;
        case u'd':
            std::snprintf(number, sizeof number, "%d", va_arg(args, int));
            putAscii(number);
            break;
        case u's':
            for (const char16_t *text = va_arg(args, const char16_t *); *text; ++text) put(*text);
            break;
        case u'%': put(u'%'); break;
        default:
            Error("debug print: unsupported conversion");
            out[n] = 0;
            return;
        }
    }
    out[n] = 0;
}

} // namespace

void Reset() {
    g.callCount = g.callsTaken = 0;
    g.lineCount = g.linesTaken = 0;
    g.ruleCount = 0;
    g.errorCount = 0;
    g.values = Values{};
    g.comInits = 0;
    g.graphCount = 0;
    g.windowCount = 0;
    g.procNameCount = 0;
    g.eventCount = 0;
    for (HWND &window : g.videoWindows) window = nullptr;
    for (Graph &graph : graphs) graph.Bind();
}

std::vector<std::string> TakeCalls() {
    std::vector<std::string> calls(g.calls + g.callsTaken, g.calls + g.callCount);
    g.callsTaken = g.callCount;
    return calls;
}

std::vector<std::u16string> TakeDebugLines() {
    std::vector<std::u16string> lines(g.lines + g.linesTaken, g.lines + g.lineCount);
    g.linesTaken = g.lineCount;
    return lines;
}

std::vector<std::string> Errors() { return std::vector<std::string>(g.errors, g.errors + g.errorCount); }

void SetResult(const char *pattern, long long result, int times) {
    if (g.ruleCount == kMaxRules) return Error("too many rules");
    g.rules[g.ruleCount++] = Rule{pattern, result, times};
}

Values &values() { return g.values; }

void QueueEvent(LONG code, LONG_PTR param1, LONG_PTR param2) {
    if (g.eventCount == kMaxEvents) return Error("too many events");
    g.events[g.eventCount++] = Event{code, param1, param2};
}

int EventsQueued() { return g.eventCount; }

int GraphsCreated() { return g.graphCount; }

int Refs(int graph, const char *object) {
    const Graph &gr = graphs[graph];
    const struct {
        const char *name;
        int refs;
    } parts[] = {{"GB", gr.gb.refs}, {"MC", gr.mc.refs}, {"ME", gr.me.refs}, {"MS", gr.ms.refs},
                 {"VW", gr.vw.refs}, {"BA", gr.ba.refs}, {"BV", gr.bv.refs}};
    for (const auto &part : parts)
        if (std::strcmp(part.name, object) == 0) return part.refs;
    return -1;
}

int Outstanding() {
    int total = 0;
    for (const Graph &graph : graphs) total += graph.Total();
    return total;
}

HWND NewWindow(const char *name) {
    if (g.windowCount == kMaxWindows) {
        Error("too many windows");
        return nullptr;
    }
    g.windows[g.windowCount] = Window{name, OwnProc, nullptr, nullptr, {}};
    ++g.windowCount;
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1000 * g.windowCount));
}

void SetFirstChild(HWND parent, HWND child) {
    if (Window *w = FindWindow(parent)) w->firstChild = child;
}

void GiveVideoWindow(int graph, HWND window) { g.videoWindows[graph] = window; }

WNDPROC ProcOf(HWND hwnd) {
    Window *w = FindWindow(hwnd);
    return w ? w->proc : nullptr;
}

void NameProc(WNDPROC proc, const char *name) {
    if (g.procNameCount == kMaxProcNames) return Error("too many procedure names");
    g.procNames[g.procNameCount++] = ProcName{proc, name};
}

LRESULT Deliver(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc = ProcOf(hwnd);
    if (!proc) {
        Error("message delivered to a window without a procedure");
        return 0;
    }
    return proc(hwnd, msg, wParam, lParam);
}

} // namespace fake

using namespace fake;

extern "C" {

HRESULT CoInitializeEx(void *reserved, DWORD coInit) {
    HRESULT hr =
        Result(Log("CoInitializeEx(%s, %u)", reserved ? "ptr" : "null", coInit), g.comInits > 0 ? S_FALSE : S_OK);
    if (SUCCEEDED(hr)) ++g.comInits;
    return hr;
}

void CoUninitialize() {
    Log("CoUninitialize()");
    if (g.comInits > 0) --g.comInits;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown *outer, DWORD context, REFIID iid, void **ppv) {
    HRESULT hr = Result(
        Log("CoCreateInstance(%s, %s, %u, %s)", GuidName(clsid), outer ? "outer" : "null", context, GuidName(iid)),
        g.comInits > 0 ? S_OK : CO_E_NOTINITIALIZED);
    *ppv = nullptr;
    if (FAILED(hr)) return hr;
    if (!(clsid == CLSID_FilterGraph) || g.graphCount == kMaxGraphs)
        return static_cast<HRESULT>(0x80040154); // REGDB_E_CLASSNOTREG
    *ppv = graphs[g.graphCount++].Get(iid);
    return *ppv ? hr : E_NOINTERFACE;
}

int GetSystemMetrics(int index) {
    const char *entry = Log("GetSystemMetrics(%d)", index);
    long long scripted;
    if (Scripted(entry, &scripted)) return static_cast<int>(scripted);
    return index == SM_CXSCREEN ? g.values.screenWidth : index == SM_CYSCREEN ? g.values.screenHeight : 0;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
    const char *entry = Log("GetWindow(%s, %u)", WindowName(hwnd).text, cmd);
    long long scripted;
    if (Scripted(entry, &scripted)) return nullptr;
    Window *w = FindWindow(hwnd);
    return w && cmd == GW_CHILD ? w->firstChild : nullptr;
}

HWND FindWindowExW(HWND parent, HWND after, LPCWSTR className, LPCWSTR windowName) {
    const char *entry = Log("FindWindowExW(%s, %s, %s, %s)", WindowName(parent).text, WindowName(after).text,
                            Path(className).text, Path(windowName).text);
    long long scripted;
    if (Scripted(entry, &scripted) || after || className || !windowName) return nullptr;
    for (int i = 0; i < g.windowCount; ++i) {
        const Window &w = g.windows[i];
        if (w.parent != parent) continue;
        size_t n = 0;
        while (w.caption[n] && w.caption[n] == windowName[n]) ++n;
        if (w.caption[n] == windowName[n]) return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1000 * (i + 1)));
    }
    return nullptr;
}

DWORD CoGetCurrentProcess() { return g.values.threadId; }

// Atomic, as the platform's are, and not logged: players on two threads
// may claim slots at once.
LONG InterlockedCompareExchange(volatile LONG *target, LONG exchange, LONG comparand) {
    return __sync_val_compare_and_swap(target, comparand, exchange);
}

LONG InterlockedExchange(volatile LONG *target, LONG value) { return __sync_lock_test_and_set(target, value); }

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index) {
    const char *entry = Log("GetWindowLongPtrW(%s, %d)", WindowName(hwnd).text, index);
    long long scripted;
    Window *w = FindWindow(hwnd);
    if (Scripted(entry, &scripted) || !w || index != GWLP_WNDPROC) return 0;
    return reinterpret_cast<LONG_PTR>(w->proc);
}

LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
    WNDPROC proc = reinterpret_cast<WNDPROC>(value);
    const char *entry = Log("SetWindowLongPtrW(%s, %d, %s)", WindowName(hwnd).text, index, ProcName_(proc).text);
    long long scripted;
    Window *w = FindWindow(hwnd);
    if (Scripted(entry, &scripted) || !w || index != GWLP_WNDPROC) return 0;
    WNDPROC old = w->proc;
    w->proc = proc;
    return reinterpret_cast<LONG_PTR>(old);
}

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Log("CallWindowProcW(%s, %s, 0x%x, %lld, %lld)", ProcName_(proc).text, WindowName(hwnd).text, msg,
        static_cast<long long>(wParam), static_cast<long long>(lParam));
    if (!proc) {
        Error("CallWindowProcW through a null procedure");
        return 0;
    }
    return proc(hwnd, msg, wParam, lParam);
}

LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Log("DefWindowProcW(%s, 0x%x, %lld, %lld)", WindowName(hwnd).text, msg, static_cast<long long>(wParam),
        static_cast<long long>(lParam));
    return 0;
}

BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const char *entry = Log("PostMessageW(%s, 0x%x, %lld, %lld)", WindowName(hwnd).text, msg,
                            static_cast<long long>(wParam), static_cast<long long>(lParam));
    long long scripted;
    return Scripted(entry, &scripted) ? static_cast<BOOL>(scripted) : 1;
}

MMRESULT waveOutGetVolume(HWAVEOUT device, DWORD *volume) {
    const char *entry =
        Log("waveOutGetVolume(%llu)", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(device)));
    long long scripted;
    if (Scripted(entry, &scripted) && scripted != MMSYSERR_NOERROR) return static_cast<MMRESULT>(scripted);
    *volume = g.values.deviceVolume;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutSetVolume(HWAVEOUT device, DWORD volume) {
    const char *entry = Log("waveOutSetVolume(%llu, 0x%x)",
                            static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(device)), volume);
    long long scripted;
    if (Scripted(entry, &scripted) && scripted != MMSYSERR_NOERROR) return static_cast<MMRESULT>(scripted);
    g.values.deviceVolume = volume;
    return MMSYSERR_NOERROR;
}

void NKDbgPrintfW(LPCWSTR format, ...) {
    if (g.lineCount == kMaxLines) return Error("too many debug lines");
    va_list args;
    va_start(args, format);
    Render(g.lines[g.lineCount++], format, args);
    va_end(args);
}

} // extern "C"
