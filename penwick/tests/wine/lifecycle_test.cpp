// Start-up and shut-down: reference counting, the hidden tablet window,
// Wintab's debugger texts, and create/destroy cycles that must leave
// nothing behind.
#include "tablet_support.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace pwtest;
using recorder::Call;

namespace {

bool wintabLoads()
{
    HMODULE wintab = LoadLibraryW(L"Wintab32.dll");
    if (wintab == nullptr)
        return false;
    FreeLibrary(wintab);
    return true;
}

int count(const std::vector<std::string>& texts, const std::string& text)
{
    return static_cast<int>(std::count(texts.begin(), texts.end(), text));
}

} // namespace

TEST(Lifecycle, StartUpIsReferenceCounted)
{
    Recorder recorder;
    DebugOutputCapture debug;
    EXPECT_EQ(InitSDK(), 1);   // no tablet under Wine, but usable
    EXPECT_EQ(InitSDK(), 0);   // loads nothing again: the library is ready
    HostWindow window(40, 40, 200, 150, false);
    int canvas = -1;
    ASSERT_EQ(InitCanvas(window.dc(), window.hwnd(), &canvas), 0);

    EXPECT_EQ(UninitSDK(), 0);
    EXPECT_EQ(SetPenWidth(canvas, 3.0f), 0);   // still up
    EXPECT_EQ(count(debug.texts(), "UnloadWintab()\n"), 0);

    EXPECT_EQ(UninitSDK(), 0);
    EXPECT_EQ(SetPenWidth(canvas, 3.0f), 1);   // down: every canvas destroyed
    EXPECT_TRUE(window.hasItsOwnProcedure());
    EXPECT_EQ(recorder.liveInstances(), 0);
    EXPECT_EQ(count(debug.texts(), "UnloadWintab()\n"), 1);

    EXPECT_EQ(UninitSDK(), 0);   // one too many: nothing happens
    EXPECT_EQ(count(debug.texts(), "UnloadWintab()\n"), 1);
}

TEST(Lifecycle, WithoutATabletTheMouseStillWorks)
{
    if (!wintabLoads())
        GTEST_SKIP() << "Wintab32.dll is switched off here";
    DebugOutputCapture debug;
    // Wine's Wintab32.dll loads but has no tablet: no context opens.
    EXPECT_EQ(InitSDK(), 1);
    const HWND tabletWindow = findTabletWindow();
    ASSERT_NE(tabletWindow, nullptr);
    EXPECT_FALSE(IsWindowVisible(tabletWindow));
    EXPECT_EQ(GetWindowThreadProcessId(tabletWindow, nullptr), GetCurrentThreadId());
    EXPECT_EQ(count(debug.texts(), "Init OK"), 0);

    HostWindow window(40, 40, 200, 150, false);
    int canvas = -1;
    EXPECT_EQ(InitCanvas(window.dc(), window.hwnd(), &canvas), 0);

    EXPECT_EQ(UninitSDK(), 0);
    EXPECT_EQ(findTabletWindow(), nullptr);
    EXPECT_FALSE(tabletClassRegistered());
    const std::vector<std::string> texts = debug.texts();
    EXPECT_EQ(count(texts, "UnloadWintab()\n"), 1);
    for (const std::string& text : texts)
        EXPECT_EQ(text.rfind("LoadLibrary error", 0), std::string::npos) << text;
}

TEST(Lifecycle, MissingWintabIsReported)
{
    if (wintabLoads())
        GTEST_SKIP() << "run with WINEDLLOVERRIDES=wintab32=d";
    DebugOutputCapture debug;
    EXPECT_EQ(InitSDK(), 1);
    const std::vector<std::string> texts = debug.texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "LoadLibrary error: 126\n");
    EXPECT_EQ(texts[1], "ShowError()\n");
    EXPECT_EQ(findTabletWindow(), nullptr);

    HostWindow window(40, 40, 200, 150, false);
    int canvas = -1;
    EXPECT_EQ(InitCanvas(window.dc(), window.hwnd(), &canvas), 0);   // mouse only
    EXPECT_EQ(UninitSDK(), 0);
    EXPECT_EQ(debug.texts().back(), "UnloadWintab()\n");
}

TEST(Lifecycle, ASecondStartUpAfterAFullShutDownWorks)
{
    InitSDK();
    HostWindow window(40, 40, 200, 150, false);
    int first = -1;
    ASSERT_EQ(InitCanvas(window.dc(), window.hwnd(), &first), 0);
    UninitSDK();
    EXPECT_FALSE(tabletClassRegistered());

    InitSDK();
    int second = -1;
    ASSERT_EQ(InitCanvas(window.dc(), window.hwnd(), &second), 0);
    EXPECT_GT(second, first);   // ids keep counting across start-ups
    EXPECT_EQ(SetPenWidth(first, 2.0f), 1);
    EXPECT_EQ(SetPenWidth(second, 2.0f), 0);
    UninitSDK();
}

TEST(Lifecycle, AHostsOwnMainWClassIsLeftAlone)
{
    if (!wintabLoads())
        GTEST_SKIP() << "no hidden window without Wintab";
    WNDCLASSEXW hostClass{};
    hostClass.cbSize = sizeof hostClass;
    hostClass.lpfnWndProc = DefWindowProcW;
    hostClass.hInstance = GetModuleHandleW(nullptr);
    hostClass.lpszClassName = L"MainWClass";
    ASSERT_NE(RegisterClassExW(&hostClass), 0);

    InitSDK();
    const HWND tabletWindow = findTabletWindow();
    ASSERT_NE(tabletWindow, nullptr);
    EXPECT_NE(GetWindowLongPtrW(tabletWindow, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(DefWindowProcW));
    UninitSDK();

    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), L"MainWClass", &info));
    EXPECT_EQ(info.lpfnWndProc, DefWindowProcW);
    UnregisterClassW(L"MainWClass", GetModuleHandleW(nullptr));

    InitSDK();   // and the library's own class works again afterwards
    EXPECT_NE(findTabletWindow(), nullptr);
    UninitSDK();
}

TEST(Lifecycle, AnInstallFolderLongerThan300CharactersIsNoProblem)
{
    // A second copy of the library, in a folder with a long name, finds
    // the engine beside itself.
    std::wstring folder = L"\\\\?\\" + exeFolder();
    std::vector<std::wstring> folders;
    for (int level = 0; level < 6; ++level) {
        folder += L"an-install-folder-with-a-rather-long-name-" + std::to_wstring(level) + L"\\";
        CreateDirectoryW(folder.c_str(), nullptr);
        folders.push_back(folder);
    }
    ASSERT_GT(folder.size(), 300u);
    const std::wstring library = folder + L"penwick.dll";
    const std::wstring engine = folder + L"libLPLines.dll";
    ASSERT_TRUE(CopyFileW((exeFolder() + L"penwick.dll").c_str(), library.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((exeFolder() + L"libLPLines.dll").c_str(), engine.c_str(), FALSE));

    HMODULE copy = LoadLibraryW(library.c_str());
    if (copy == nullptr)
        GTEST_SKIP() << "this system loads no library from such a path (error " << GetLastError() << ")";
    const auto initSdk = reinterpret_cast<int(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(copy, "InitSDK")));
    const auto uninitSdk = reinterpret_cast<int(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(copy, "UninitSDK")));
    const auto initCanvas = reinterpret_cast<int(WINAPI*)(HDC, HWND, int*)>(
        reinterpret_cast<void*>(GetProcAddress(copy, "InitCanvas")));
    const auto destroyCanvas = reinterpret_cast<int(WINAPI*)(int)>(
        reinterpret_cast<void*>(GetProcAddress(copy, "DestroyCanvas")));
    initSdk();
    HostWindow window(40, 40, 200, 150, false);
    int canvas = -1;
    EXPECT_EQ(initCanvas(window.dc(), window.hwnd(), &canvas), 0);
    destroyCanvas(canvas);
    uninitSdk();
    FreeLibrary(copy);
    DeleteFileW(library.c_str());
    DeleteFileW(engine.c_str());
    for (auto it = folders.rbegin(); it != folders.rend(); ++it)
        RemoveDirectoryW(it->c_str());
}

TEST(Lifecycle, ShutDownDestroysEveryCanvas)
{
    Recorder recorder;
    InitSDK();
    HostWindow a(40, 40, 200, 150, false);
    HostWindow b(260, 40, 200, 150, false);
    int first = -1;
    int second = -1;
    ASSERT_EQ(InitCanvas(a.dc(), a.hwnd(), &first), 0);
    ASSERT_EQ(InitCanvas(b.dc(), b.hwnd(), &second), 0);
    const int threads = threadCount();
    EXPECT_EQ(UninitSDK(), 0);
    EXPECT_EQ(threadCount(), threads - 2);
    EXPECT_TRUE(a.hasItsOwnProcedure());
    EXPECT_TRUE(b.hasItsOwnProcedure());
    EXPECT_EQ(recorder.liveInstances(), 0);
    EXPECT_EQ(SendMessageW(b.hwnd(), WM_APP + 7, 0, 0), 77);
}

TEST(Lifecycle, FiveHundredCanvasesLeaveNothingBehind)
{
    Recorder recorder;
    recorder.setLogging(false);
    InitSDK();
    HostWindow window(40, 40, 320, 240, false);
    const auto cycle = [&] {
        int canvas = -1;
        ASSERT_EQ(InitCanvas(window.dc(), window.hwnd(), &canvas), 0);
        ASSERT_EQ(SetPenColor(canvas, RGB(0, 0, 200)), 0);
        ASSERT_EQ(CanvasClear(canvas), 0);
        ASSERT_EQ(DestroyCanvas(canvas), 0);
    };
    cycle();   // first-use allocations (thread-local storage, GDI caches)
    pumpFor(20);
    const int threads = threadCount();
    const int gdi = freeGdiCapacity();
    const std::size_t heap = heapBytesInUse();

    for (int i = 0; i < 500; ++i)
        cycle();
    pumpFor(20);

    EXPECT_EQ(threadCount(), threads);
    EXPECT_EQ(freeGdiCapacity(), gdi);
    const std::size_t after = heapBytesInUse();
    EXPECT_LT(after, heap + 16 * 1024) << "heap grew from " << heap << " to " << after;
    EXPECT_EQ(recorder.liveInstances(), 0);
    UninitSDK();
    recorder.setLogging(true);
}

namespace {

// The hidden tablet window, if it is there, runs code of `library`.
bool tabletWindowRunsCodeOf(HMODULE library)
{
    const HWND tabletWindow = findTabletWindow();
    return tabletWindow != nullptr
        && isInModule(reinterpret_cast<const void*>(GetWindowLongPtrW(tabletWindow, GWLP_WNDPROC)), library);
}

// The hidden window's class, if it is still registered, runs code of `library`.
bool tabletClassRunsCodeOf(HMODULE library)
{
    for (const HINSTANCE instance : {GetModuleHandleW(nullptr), static_cast<HINSTANCE>(library)}) {
        WNDCLASSEXW info{};
        info.cbSize = sizeof info;
        if (GetClassInfoExW(instance, L"MainWClass", &info)
            && isInModule(reinterpret_cast<const void*>(info.lpfnWndProc), library))
            return true;
    }
    return false;
}

// Runs `work` on a thread of its own while this one waits for it, pumping
// its messages or not.
void runOnAnotherThread(const std::function<void()>& work, bool pumpWhileWaiting)
{
    const HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread thread([&] {
        work();
        SetEvent(finished);
    });
    if (pumpWhileWaiting) {
        while (MsgWaitForMultipleObjects(1, &finished, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
            pumpMessages();
    }
    EXPECT_EQ(WaitForSingleObject(finished, 10000), WAIT_OBJECT_0) << "the other thread hangs";
    thread.join();
    CloseHandle(finished);
}

HMODULE penwickModule()
{
    return GetModuleHandleW(L"penwick.dll");
}

} // namespace

TEST(Lifecycle, TheFinalShutDownOnAnotherThreadLeavesNothingOfTheTabletBehind)
{
    if (!wintabLoads())
        GTEST_SKIP() << "no hidden window without Wintab";
    for (const bool ownerPumps : {true, false}) {
        SCOPED_TRACE(ownerPumps ? "the starting thread pumps meanwhile" : "the starting thread waits without pumping");
        InitSDK();
        ASSERT_NE(findTabletWindow(), nullptr);
        bool windowRunsOurCode = true;
        bool classRunsOurCode = true;
        bool windowLeft = true;
        runOnAnotherThread(
            [&] {
                UninitSDK();
                windowRunsOurCode = tabletWindowRunsCodeOf(penwickModule());
                classRunsOurCode = tabletClassRunsCodeOf(penwickModule());
                windowLeft = findTabletWindow() != nullptr;
            },
            ownerPumps);
        // The library could be unloaded now: nothing may call into it.
        EXPECT_FALSE(windowRunsOurCode);
        EXPECT_FALSE(classRunsOurCode);
        if (ownerPumps) {
            EXPECT_FALSE(windowLeft);
        }
        pumpFor(20);
        EXPECT_EQ(findTabletWindow(), nullptr);

        // The next start-up has its hidden window again.
        InitSDK();
        EXPECT_TRUE(tabletWindowRunsCodeOf(penwickModule()));
        UninitSDK();
    }
}

namespace {

std::atomic<int> slowErases{0};

// A host window that takes its time erasing its background, which it is
// asked to do from inside the library's painting.
LRESULT CALLBACK slowEraserProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND) {
        ++slowErases;
        Sleep(1);
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

TEST(Lifecycle, ShutDownWhileAnotherThreadsCanvasWindowIsBusy)
{
    Recorder recorder;
    recorder.setLogging(false);
    WNDCLASSEXW slowClass{};
    slowClass.cbSize = sizeof slowClass;
    slowClass.lpfnWndProc = slowEraserProcedure;
    slowClass.hInstance = GetModuleHandleW(nullptr);
    slowClass.lpszClassName = L"PenwickTestSlowEraser";
    RegisterClassExW(&slowClass);

    std::atomic<bool> stop{false};
    std::atomic<HWND> busyWindow{nullptr};
    std::atomic<int> rounds{0};
    const HANDLE ownerDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread owner([&] {
        const HWND window = CreateWindowExW(0, L"PenwickTestSlowEraser", L"busy", WS_POPUP | WS_VISIBLE, -400, -400,
                                            200, 150, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        busyWindow.store(window);
        // Messages that take the library's locks inside its window procedure.
        while (!stop.load()) {
            SendMessageW(window, WM_SIZE, 0, MAKELPARAM(200, 150));
            InvalidateRect(window, nullptr, TRUE);
            UpdateWindow(window);
            SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
            pumpMessages();
            ++rounds;
        }
        DestroyWindow(window);
        SetEvent(ownerDone);
    });
    while (busyWindow.load() == nullptr)
        Sleep(1);

    int cycles = 0;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 1500) {
        InitSDK();
        int canvas = -1;
        EXPECT_EQ(InitCanvas(nullptr, busyWindow.load(), &canvas), 0);
        EXPECT_EQ(UninitSDK(), 0);
        Sleep(3);   // the library stays down a moment before the next start-up
        ++cycles;
    }
    stop.store(true);
    if (WaitForSingleObject(ownerDone, 10000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the window's thread hangs inside the library";
        TerminateProcess(GetCurrentProcess(), 1);
    }
    owner.join();
    CloseHandle(ownerDone);
    EXPECT_GT(cycles, 10);
    EXPECT_GT(rounds.load(), cycles);
    EXPECT_GT(slowErases.load(), cycles);
    EXPECT_EQ(recorder.liveInstances(), 0);
    recorder.setLogging(true);
}

// Unloading penwick.dll: a copy of it, loaded at run time, next to the one
// this test links with.
TEST(Unload, WithoutShutDownEverythingStops)
{
    Recorder recorder;
    struct Setting {
        const char* name;
        int canvases;
        bool oneWindowGone;
    };
    const Setting settings[] = {
        {"started, no canvas", 0, false},
        {"one canvas", 1, false},
        {"two canvases, the window of one destroyed", 2, true},
    };
    for (const Setting& setting : settings) {
        SCOPED_TRACE(setting.name);
        LoadedPenwick copy(L"penwick-unload-test.dll");
        ASSERT_TRUE(copy.load());
        const PenwickExports& api = copy.api();
        std::vector<std::unique_ptr<HostWindow>> windows;
        const int threads = threadCount();
        api.initSdk();
        for (int i = 0; i < setting.canvases; ++i) {
            windows.push_back(std::make_unique<HostWindow>(40 + 220 * i, 40, 200, 150, false));
            int canvas = -1;
            ASSERT_EQ(api.initCanvas(windows.back()->dc(), windows.back()->hwnd(), &canvas), 0);
        }
        if (setting.oneWindowGone) {
            windows.front().reset();
            pumpFor(50);
        }
        const HMODULE module = copy.module();

        copy.unload();
        EXPECT_EQ(threadCount(), threads);
        for (const auto& window : windows) {
            if (window) {
                EXPECT_TRUE(window->hasItsOwnProcedure());
                EXPECT_EQ(SendMessageW(window->hwnd(), WM_APP + 7, 0, 0), 77);
            }
        }
        EXPECT_EQ(recorder.liveInstances(), 0);
        EXPECT_FALSE(tabletWindowRunsCodeOf(module));
        pumpFor(20);
        EXPECT_EQ(findTabletWindow(), nullptr);

        // Loaded again, it starts afresh.
        ASSERT_TRUE(copy.load());
        copy.api().initSdk();
        HostWindow again(40, 220, 200, 150, false);
        int canvas = -1;
        EXPECT_EQ(copy.api().initCanvas(again.dc(), again.hwnd(), &canvas), 0);
        EXPECT_EQ(canvas, 1);
        EXPECT_EQ(copy.api().uninitSdk(), 0);
    }
}

// Run by the next test in a process of its own.
TEST(Unload, DISABLED_ExitWithCanvasesAndNoShutDown)
{
    InitSDK();
    HostWindow first(40, 40, 200, 150, false);
    HostWindow second(260, 40, 200, 150, false);
    for (const HostWindow* window : {&first, &second}) {
        int canvas = -1;
        InitCanvas(window->dc(), window->hwnd(), &canvas);
        // Threads inside the library, the engine and GDI when the process ends.
        std::thread([canvas] {
            for (;;)
                CanvasClear(canvas);
        }).detach();
    }
    Sleep(100);
    ExitProcess(7);
}

TEST(Unload, AProcessThatExitsWithoutShutDownEndsAtOnce)
{
    std::wstring program(MAX_PATH, L'\0');
    program.resize(GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size())));
    std::wstring commandLine = L"\"" + program
        + L"\" --gtest_filter=Unload.DISABLED_ExitWithCanvasesAndNoShutDown --gtest_also_run_disabled_tests";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    // Pumping meanwhile: the child's windows may send this process's a message.
    EXPECT_TRUE(pumpUntil([&] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, 20000))
        << "the process hangs";
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 7u);
    if (exitCode == STILL_ACTIVE)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}
