// The stress suite of penwick.dll, under Wine: three host threads, each with
// a window of its own, make random calls (good and bad ids, null pointers,
// every setter, canvases made and destroyed, start-up and shut-down, calls
// from inside the stroke handler, the library unloaded and loaded again,
// with or without its shut-down) while real mouse input and fake tablet
// packets draw. A watchdog fails the run when a thread stops making
// progress; afterwards threads, GDI objects, windows, handles and engine
// instances must be back where they were.
//   penwick_stress.exe [--seconds N] [--seed N]
#include "tablet_support.h"
#include "test_support.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace pwtest;

namespace {

constexpr int kHostThreads = 3;
constexpr DWORD kStuckAfterMs = 20000;
constexpr wchar_t kHostClass[] = L"PenwickStressHost";

// --- what every thread shares ------------------------------------------------------

struct Figures {
    std::atomic<long> calls{0};
    std::atomic<long> nestedCalls{0};
    std::atomic<long> canvasesMade{0};
    std::atomic<long> canvasesDestroyed{0};
    std::atomic<long> startUps{0};
    std::atomic<long> reloads{0};
    std::atomic<long> reloadsWithoutShutDown{0};
    std::atomic<long> notices{0};
    std::atomic<long> mouseStrokes{0};
    std::atomic<long> packets{0};
    std::atomic<DWORD> longestCallMs{0};
    std::atomic<const char*> longestCall{""};
};

// A reload: the other host threads stop calling (and keep pumping) while
// the library is shut down, then stop pumping too while it is unloaded.
enum ReloadPhase { kNoReload, kShuttingDown, kUnloading };

struct Shared {
    LoadedPenwick library;
    std::atomic<bool> finished{false};
    std::atomic<bool> paused{false};          // no calls; input and pen rest
    std::atomic<int> reloadPhase{kNoReload};
    std::atomic<int> parked{0};               // host threads waiting out an unload
    std::atomic<int> inLibrary{0};            // host threads making calls
    std::atomic<int> outstandingStartUps{0};  // InitSDK calls not yet matched
    std::array<std::atomic<HWND>, kHostThreads> windows{};
    std::array<std::atomic<int>, kHostThreads> canvases{};
    std::array<std::atomic<DWORD>, kHostThreads + 2> heartbeats{};
    Figures figures;
};

Shared* shared = nullptr;

// --- one host thread --------------------------------------------------------------------

class Host {
public:
    Host(int index, unsigned seed) : index_(index), random_(seed) {}
    static void registerClass();
    void run();

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void makeWindow();
    void iteration();
    void randomCall(bool nested);
    void reload();
    int pickId();
    template <typename Call>
    int timed(const char* name, Call call);
    int below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
    float anyFloat();
    void pumpBriefly(DWORD ms);

    const int index_;
    std::mt19937 random_;
    HWND window_ = nullptr;
};

template <typename Call>
int Host::timed(const char* name, Call call)
{
    const DWORD start = GetTickCount();
    const int result = call(shared->library.api());
    const DWORD took = GetTickCount() - start;
    ++shared->figures.calls;
    DWORD longest = shared->figures.longestCallMs.load();
    while (took > longest && !shared->figures.longestCallMs.compare_exchange_weak(longest, took)) {
    }
    if (took >= longest)
        shared->figures.longestCall.store(name);
    return result;
}

int Host::pickId()
{
    switch (below(6)) {
    case 0: return -1;
    case 1: return below(3) == 0 ? 0 : std::numeric_limits<int>::max();
    case 2: return shared->canvases[static_cast<std::size_t>(below(kHostThreads))].load();
    case 3: return 1 + below(40);   // old, other and not yet made ids
    default: return shared->canvases[static_cast<std::size_t>(index_)].load();
    }
}

float Host::anyFloat()
{
    switch (below(8)) {
    case 0: return std::numeric_limits<float>::quiet_NaN();
    case 1: return std::numeric_limits<float>::infinity();
    case 2: return -3.0f;
    case 3: return 1e9f;
    default: return static_cast<float>(below(5000)) / 100.0f;
    }
}

void Host::randomCall(bool nested)
{
    std::atomic<int>& ownCanvas = shared->canvases[static_cast<std::size_t>(index_)];
    const bool nullOut = below(10) == 0;
    float f = 0.0f;
    int i = 0;
    COLORREF c = 0;
    HDC dc = nullptr;
    unsigned char point[64];
    const int id = pickId();
    switch (below(nested ? 24 : 26)) {
    case 0:
        timed("InitSDK", [](const PenwickExports& a) { return a.initSdk(); });
        ++shared->outstandingStartUps;
        ++shared->figures.startUps;
        break;
    case 1:
        if (shared->outstandingStartUps.load() > 0) {
            --shared->outstandingStartUps;
            timed("UninitSDK", [](const PenwickExports& a) { return a.uninitSdk(); });
        }
        break;
    case 2: {
        int made = -1;
        HWND target = below(4) == 0 ? shared->windows[static_cast<std::size_t>(below(kHostThreads))].load() : window_;
        if (below(10) == 0)
            target = GetDesktopWindow();
        if (timed("InitCanvas", [&](const PenwickExports& a) { return a.initCanvas(nullptr, target, &made); }) == 0) {
            ++shared->figures.canvasesMade;
            if (target == window_)
                ownCanvas.store(made);
        }
        break;
    }
    case 3:
        if (timed("DestroyCanvas", [&](const PenwickExports& a) { return a.destroyCanvas(id); }) == 0)
            ++shared->figures.canvasesDestroyed;
        break;
    case 4: timed("SetPenWidth", [&](const PenwickExports& a) { return a.setPenWidth(id, anyFloat()); }); break;
    case 5: timed("GetPenWidth", [&](const PenwickExports& a) { return a.getPenWidth(id, nullOut ? nullptr : &f); }); break;
    case 6: timed("SetPenColor", [&](const PenwickExports& a) { return a.setPenColor(id, random_() & 0xFFFFFF); }); break;
    case 7: timed("GetPenColor", [&](const PenwickExports& a) { return a.getPenColor(id, nullOut ? nullptr : &c); }); break;
    case 8: timed("CanvasClear", [&](const PenwickExports& a) { return a.canvasClear(id); }); break;
    case 9:
        timed("GetCanvasDrawedRect", [&](const PenwickExports& a) {
            return a.getCanvasDrawedRect(id, &i, nullOut ? nullptr : &i, &i, &i);
        });
        break;
    case 10: timed("UpdateCanvas", [&](const PenwickExports& a) { return a.updateCanvas(id); }); break;
    case 11:
        // Not read here: during a stroke GDI refuses that DC to any thread
        // but the drawing one, as the header says.
        timed("GetCanvasDC", [&](const PenwickExports& a) { return a.getCanvasDC(id, nullOut ? nullptr : &dc); });
        break;
    case 12: timed("SetCanvasInkFlow", [&](const PenwickExports& a) { return a.setCanvasInkFlow(id, anyFloat()); }); break;
    case 13: timed("GetCanvasInkFlow", [&](const PenwickExports& a) { return a.getCanvasInkFlow(id, nullOut ? nullptr : &f); }); break;
    case 14: timed("SetDrawQuality", [&](const PenwickExports& a) { return a.setDrawQuality(id, below(5) - 1); }); break;
    case 15: timed("GetDrawQuality", [&](const PenwickExports& a) { return a.getDrawQuality(id, nullOut ? nullptr : &i); }); break;
    case 16: timed("GetDrawPathCount", [&](const PenwickExports& a) { return a.getDrawPathCount(id, nullOut ? nullptr : &i); }); break;
    case 17:
        timed("GetDrawPathPoint", [&](const PenwickExports& a) {
            return a.getDrawPathPoint(id, below(50) - 5, nullOut ? nullptr : point);
        });
        break;
    case 18: timed("DrawPathClear", [&](const PenwickExports& a) { return a.drawPathClear(id); }); break;
    case 19: timed("SetCanvasAutoPaint", [&](const PenwickExports& a) { return a.setCanvasAutoPaint(id, below(3)); }); break;
    case 20: timed("IsCanvasDrawed", [&](const PenwickExports& a) { return a.isCanvasDrawed(id, nullOut ? nullptr : &i); }); break;
    case 21: {
        const int size = 180 + below(120);
        SetWindowPos(window_, nullptr, 0, 0, size, size * 2 / 3, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
    }
    case 22:
    case 23:
        // The most common host: its own canvas, made when it has none.
        if (ownCanvas.load() == -1 || below(8) == 0) {
            int made = -1;
            if (timed("InitCanvas", [&](const PenwickExports& a) { return a.initCanvas(nullptr, window_, &made); }) == 0) {
                ++shared->figures.canvasesMade;
                ownCanvas.store(made);
            }
        }
        break;
    default:
        if (below(150) == 0)
            reload();
        break;
    }
}

// Unloads the library, after its shut-down or not, and loads it again;
// nothing when another host thread is doing so already.
void Host::reload()
{
    int none = kNoReload;
    if (!shared->reloadPhase.compare_exchange_strong(none, kShuttingDown))
        return;
    --shared->inLibrary;
    while (shared->inLibrary.load() > 0)
        pumpBriefly(1);
    if (below(2) == 0) {
        while (shared->outstandingStartUps.load() > 0) {
            --shared->outstandingStartUps;
            shared->library.api().uninitSdk();
        }
    } else {
        ++shared->figures.reloadsWithoutShutDown;
    }
    shared->reloadPhase.store(kUnloading);
    while (shared->parked.load() < kHostThreads - 1)
        Sleep(1);
    shared->library.unload();
    shared->outstandingStartUps.store(0);
    for (auto& canvas : shared->canvases)
        canvas.store(-1);
    if (!shared->library.load()) {
        std::printf("penwick stress: penwick.dll does not load again\n");
        std::fflush(stdout);
        ExitProcess(5);
    }
    ++shared->figures.reloads;
    ++shared->inLibrary;
    shared->reloadPhase.store(kNoReload);
}

LRESULT CALLBACK Host::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<Host*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_CANVAS_STROKE && self != nullptr) {
        ++shared->figures.notices;
        // The header allows anything here, shut-down and destroy included.
        if (self->below(4) == 0) {
            ++shared->figures.nestedCalls;
            self->randomCall(true);
        }
        return 0;
    }
    if (message == WM_ERASEBKGND)
        return 1;
    return DefWindowProcW(window, message, wParam, lParam);
}

void Host::makeWindow()
{
    const int x = 20 + index_ * 330;
    window_ = CreateWindowExW(WS_EX_TOOLWINDOW, kHostClass, L"host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, 80,
                              300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // Wine gives a top-level window a surface of its own at its first
    // resize: done here, before any figure is taken.
    SetWindowPos(window_, nullptr, 0, 0, 299, 199, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(window_, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A child control, which the ink must leave alone.
    CreateWindowExW(0, L"BUTTON", L"ok", WS_CHILD | WS_VISIBLE, 220, 150, 60, 30, window_, nullptr,
                    GetModuleHandleW(nullptr), nullptr);
    shared->windows[static_cast<std::size_t>(index_)].store(window_);
    shared->canvases[static_cast<std::size_t>(index_)].store(-1);
}

void Host::pumpBriefly(DWORD ms)
{
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
    pumpMessages();
}

void Host::iteration()
{
    const int calls = 1 + below(4);
    for (int call = 0; call < calls && shared->reloadPhase.load() == kNoReload; ++call)
        randomCall(false);
    pumpBriefly(static_cast<DWORD>(below(6)));
}

void Host::run()
{
    makeWindow();
    bool parked = false;
    while (!shared->finished.load()) {
        shared->heartbeats[static_cast<std::size_t>(index_)].store(GetTickCount());
        const int phase = shared->reloadPhase.load();
        if (phase == kUnloading) {
            if (!parked)
                ++shared->parked;
            parked = true;
            Sleep(1);   // nothing of this thread may be inside the library now
            continue;
        }
        if (parked)
            --shared->parked;
        parked = false;
        if (phase == kShuttingDown || shared->paused.load()) {
            pumpBriefly(5);
            continue;
        }
        ++shared->inLibrary;
        if (shared->reloadPhase.load() == kNoReload && !shared->paused.load())
            iteration();
        --shared->inLibrary;
    }
    DestroyWindow(window_);
}

void Host::registerClass()
{
    WNDCLASSEXW hostClass{};
    hostClass.cbSize = sizeof hostClass;
    hostClass.style = CS_OWNDC;
    hostClass.lpfnWndProc = windowProc;
    hostClass.hInstance = GetModuleHandleW(nullptr);
    hostClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    hostClass.lpszClassName = kHostClass;
    RegisterClassExW(&hostClass);
}

// --- input --------------------------------------------------------------------------------

// Strokes with the real mouse over the host windows, and sometimes across.
void drawWithTheMouse(unsigned seed)
{
    std::mt19937 random(seed);
    const auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    while (!shared->finished.load()) {
        shared->heartbeats[kHostThreads].store(GetTickCount());
        if (shared->paused.load()) {
            Sleep(20);
            continue;
        }
        const HWND window = shared->windows[static_cast<std::size_t>(below(kHostThreads))].load();
        RECT rect{};
        if (window == nullptr || !GetWindowRect(window, &rect) || rect.right - rect.left < 40) {
            Sleep(20);
            continue;
        }
        int x = rect.left + 10 + below(rect.right - rect.left - 20);
        int y = rect.top + 10 + below(rect.bottom - rect.top - 20);
        moveCursor(x, y);
        Sleep(20);
        pressLeft();
        Sleep(60);   // a polling thread sees the button late under Wine
        const int steps = below(25);
        for (int step = 0; step < steps; ++step) {
            x += below(31) - 15;
            y += below(21) - 10;
            moveCursor(x, y);
            Sleep(8 + below(10));
        }
        releaseLeft();
        ++shared->figures.mouseStrokes;
        Sleep(static_cast<DWORD>(below(150)));
    }
    releaseLeft();
}

// Pen strokes from the fake tablet, posted to whichever thread started the
// library; a packet while no context is open is simply not sent.
void drawWithThePen(unsigned seed, const FakeTablet& tablet)
{
    std::mt19937 random(seed);
    const auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const LONG width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const LONG height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    while (!shared->finished.load()) {
        shared->heartbeats[kHostThreads + 1].store(GetTickCount());
        if (shared->paused.load()) {
            Sleep(20);
            continue;
        }
        LONG x = 30 + below(900);
        LONG y = height - 1 - (90 + below(180));
        const int samples = 2 + below(20);
        for (int sample = 0; sample < samples; ++sample) {
            const UINT buttons = sample + 1 < samples ? 1u : 0u;
            if (tablet.post(buttons, x, y, static_cast<UINT>(below(1100))) != 0)
                ++shared->figures.packets;
            x = std::clamp<LONG>(x + below(21) - 10, 0, width - 1);
            y = std::clamp<LONG>(y + below(21) - 10, 0, height - 1);
            Sleep(10);
        }
        Sleep(static_cast<DWORD>(200 + below(400)));
    }
}

// --- resources --------------------------------------------------------------------------

BOOL CALLBACK countWindow(HWND window, LPARAM count)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) {
        ++*reinterpret_cast<int*>(count);
        EnumChildWindows(window, countWindow, count);
    }
    return TRUE;
}

// Wine's cache of window DCs (each a DC and a region, GDI objects both)
// grows until it holds 64, whenever a window and clipping asked for has no
// free DC of its own and none is empty. So before each count 64 are taken
// at once: the cache is then full and cannot grow by use, and a DC never
// given back would make the 64th a new one.
void fillTheDCCache(HWND window)
{
    constexpr int kCacheDCs = 64;
    std::array<HDC, kCacheDCs> held{};
    for (HDC& dc : held)
        dc = GetDCEx(window, nullptr, DCX_CACHE);
    for (const HDC dc : held) {
        if (dc != nullptr)
            ReleaseDC(window, dc);
    }
}

// GDI objects by type (OBJ_DC, OBJ_REGION, ...), looked up by index as
// gdiObjectCount does.
std::array<int, 16> gdiObjectsByType()
{
    std::array<int, 16> counts{};
    for (std::uintptr_t index = 1; index < 0x10000; ++index) {
        const DWORD type = GetObjectType(reinterpret_cast<HGDIOBJ>(index));
        if (type != 0 && type < counts.size())
            ++counts[type];
    }
    return counts;
}

struct Resources {
    int threads = 0;
    int handles = 0;
    int gdiObjects = 0;
    std::array<int, 16> gdiByType{};
    int windows = 0;

    static Resources now()
    {
        Resources resources;
        resources.threads = threadCount();
        resources.handles = handleCount();
        fillTheDCCache(shared->windows[0].load());
        resources.gdiObjects = gdiObjectCount();
        resources.gdiByType = gdiObjectsByType();
        EnumWindows(countWindow, reinterpret_cast<LPARAM>(&resources.windows));
        return resources;
    }
};

LONG WINAPI reportCrash(EXCEPTION_POINTERS* exception)
{
    std::printf("penwick stress: crash: exception %08lx at %p\n", exception->ExceptionRecord->ExceptionCode,
                exception->ExceptionRecord->ExceptionAddress);
    std::fflush(stdout);
    ExitProcess(4);
}

void failStuck(const char* what, DWORD since)
{
    std::printf("penwick stress: deadlock: %s made no progress for %lu s\n", what, (GetTickCount() - since) / 1000);
    std::fflush(stdout);
    ExitProcess(3);
}

// Runs for `ms`, failing the run when a thread makes no progress.
void watch(DWORD ms)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        Sleep(250);
        for (std::size_t i = 0; i < shared->heartbeats.size(); ++i) {
            const DWORD beat = shared->heartbeats[i].load();
            if (GetTickCount() - beat > kStuckAfterMs)
                failStuck(i < kHostThreads ? "a host thread" : i == kHostThreads ? "the mouse" : "the pen", beat);
        }
    }
}

// No calls, no input: every stroke ends, and the library is shut down to
// the last start-up (InitCanvas succeeds only while it is up).
void quiesce()
{
    shared->paused.store(true);
    const DWORD start = GetTickCount();
    while (shared->inLibrary.load() > 0 || shared->reloadPhase.load() != kNoReload) {
        if (GetTickCount() - start > kStuckAfterMs)
            failStuck("a host thread's last call", start);
        Sleep(5);
    }
    watch(500);
    const PenwickExports& api = shared->library.api();
    while (shared->outstandingStartUps.load() > 0) {
        --shared->outstandingStartUps;
        api.uninitSdk();
    }
    int canvas = -1;
    for (int tries = 0; tries < 100 && api.initCanvas(nullptr, shared->windows[0].load(), &canvas) == 0; ++tries)
        api.uninitSdk();
    for (auto& id : shared->canvases)
        id.store(-1);
    watch(300);
}

// The figures, taken while the host threads stand still: a thread that
// pumps makes and frees GDI objects (regions of the windows' updates) at
// any moment.
Resources resourcesWhileStill()
{
    shared->reloadPhase.store(kUnloading);
    const DWORD start = GetTickCount();
    while (shared->parked.load() < kHostThreads) {
        if (GetTickCount() - start > kStuckAfterMs)
            failStuck("a host thread", start);
        Sleep(1);
    }
    const Resources resources = Resources::now();
    shared->reloadPhase.store(kNoReload);
    return resources;
}

// Handles the statically linked threads runtime of penwick.dll leaves open
// when it is unloaded: a record per load and per thread that called in.
int runtimeHandlesPerRecord()
{
    const int before = handleCount();
    LoadedPenwick probe(L"penwick-stress-probe.dll");
    probe.load();
    probe.unload();
    return handleCount() - before;
}

} // namespace

int main(int argc, char** argv)
{
    DWORD seconds = 60;
    unsigned seed = GetTickCount();
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--seconds") == 0)
            seconds = static_cast<DWORD>(std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--seed") == 0)
            seed = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
    }
    SetUnhandledExceptionFilter(reportCrash);
    Shared state;
    shared = &state;
    Recorder recorder;   // the engine the library loads, for its count of instances
    recorder.setLogging(false);
    const FakeTablet tablet;
    if (!recorder.available() || !tablet.available() || !state.library.load()) {
        std::printf("penwick stress: needs penwick.dll, the recording engine and the fake tablet beside it; %s\n",
                    kNotTheFakeTablet);
        return 2;
    }
    tablet.setInputExtent(GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    const int handlesPerRecord = runtimeHandlesPerRecord();
    std::printf("penwick stress: %lu s, seed %u, %d host threads, mouse and pen\n", seconds, seed, kHostThreads);
    std::fflush(stdout);

    for (auto& beat : state.heartbeats)
        beat.store(GetTickCount());
    Host::registerClass();
    std::vector<Host> hosts;
    hosts.reserve(kHostThreads);
    std::vector<std::thread> threads;
    for (int i = 0; i < kHostThreads; ++i) {
        hosts.emplace_back(i, seed + static_cast<unsigned>(i));
        threads.emplace_back([&hosts, i] { hosts[static_cast<std::size_t>(i)].run(); });
    }
    threads.emplace_back([seed] { drawWithTheMouse(seed + 100); });
    threads.emplace_back([seed, &tablet] { drawWithThePen(seed + 200, tablet); });

    // A warm-up first: the first use of anything allocates for good.
    watch(3000);
    quiesce();
    const Resources before = resourcesWhileStill();
    const long reloadsBefore = state.figures.reloads.load();
    state.paused.store(false);
    watch(seconds * 1000);
    quiesce();
    const Resources after = resourcesWhileStill();
    const long reloads = state.figures.reloads.load() - reloadsBefore;
    const int instances = recorder.liveInstances();
    state.finished.store(true);
    for (std::thread& thread : threads)
        thread.join();

    const Figures& f = state.figures;
    // Each unloaded load leaves records for itself and the host threads.
    const int handleAllowance = handlesPerRecord * static_cast<int>(reloads) * (1 + kHostThreads);
    std::printf("  calls            %ld (%ld from inside stroke handlers), longest %lu ms (%s)\n", f.calls.load(),
                f.nestedCalls.load(), f.longestCallMs.load(), f.longestCall.load());
    std::printf("  canvases         %ld made, %ld destroyed by DestroyCanvas\n", f.canvasesMade.load(),
                f.canvasesDestroyed.load());
    std::printf("  start-ups        %ld; reloads %ld (%ld without the final UninitSDK)\n", f.startUps.load(),
                f.reloads.load(), f.reloadsWithoutShutDown.load());
    std::printf("  input            %ld mouse strokes, %ld pen packets, %ld stroke notifications\n",
                f.mouseStrokes.load(), f.packets.load(), f.notices.load());
    std::printf("  threads          %d -> %d\n", before.threads, after.threads);
    std::printf("  windows          %d -> %d\n", before.windows, after.windows);
    std::printf("  GDI objects      %d -> %d", before.gdiObjects, after.gdiObjects);
    for (std::size_t type = 0; type < before.gdiByType.size(); ++type) {
        if (before.gdiByType[type] != after.gdiByType[type])
            std::printf("; of type %u: %d -> %d", static_cast<unsigned>(type), before.gdiByType[type], after.gdiByType[type]);
    }
    std::printf("\n");
    std::printf("  handles          %d -> %d (the threads runtime's records: %d per record, %ld reloads: up to %d)\n",
                before.handles, after.handles, handlesPerRecord, reloads, handleAllowance);
    std::printf("  engine instances %d\n", instances);
    const bool met = after.threads == before.threads && after.windows == before.windows
        && after.gdiObjects == before.gdiObjects && after.handles <= before.handles + handleAllowance
        && instances == 0;
    std::printf("penwick stress: 0 crashes, 0 deadlocks; %s\n",
                met ? "goals met" : "goal missed: resources not back where they were");
    return met ? 0 : 1;
}
