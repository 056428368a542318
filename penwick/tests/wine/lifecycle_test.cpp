// Start-up and shut-down: reference counting, the hidden tablet window,
// Wintab's debugger texts, and create/destroy cycles that must leave
// nothing behind.
#include "tablet_support.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
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
