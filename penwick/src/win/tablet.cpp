#include "tablet.h"

#include "debug_print.h"
#include "fault_guard.h"
#include "library.h"
#include "tablet_input.h"

namespace penwick {

namespace {

constexpr wchar_t kTabletClassName[] = L"MainWClass";

} // namespace

bool Tablet::loadWintab()
{
    module_.reset(LoadLibraryW(L"Wintab32.dll"));
    if (!module_) {
        debugPrint("LoadLibrary error: %i\n", static_cast<int>(GetLastError()));
        debugPrint("ShowError()\n");
        return false;
    }
    const HMODULE m = module_.get();
    // All 16 must be there, though only four are ever called.
    const bool complete = lookUpEntry(m, "WTOpenW", api_.open) && lookUpEntry(m, "WTInfoW", api_.info)
        && lookUpEntry(m, "WTGetW", api_.get) && lookUpEntry(m, "WTSetW", api_.set)
        && lookUpEntry(m, "WTPacket", api_.packet) && lookUpEntry(m, "WTClose", api_.close)
        && lookUpEntry(m, "WTEnable", api_.enable) && lookUpEntry(m, "WTOverlap", api_.overlap)
        && lookUpEntry(m, "WTSave", api_.save) && lookUpEntry(m, "WTConfig", api_.config)
        && lookUpEntry(m, "WTRestore", api_.restore) && lookUpEntry(m, "WTExtSet", api_.extSet)
        && lookUpEntry(m, "WTExtGet", api_.extGet) && lookUpEntry(m, "WTQueueSizeSet", api_.queueSizeSet)
        && lookUpEntry(m, "WTDataPeek", api_.dataPeek) && lookUpEntry(m, "WTPacketsGet", api_.packetsGet);
    if (!complete) {
        unloadWintab();
        return false;
    }
    return true;
}

void Tablet::unloadWintab()
{
    debugPrint("UnloadWintab()\n");
    api_ = WintabApi{};
    module_.reset();
}

LRESULT CALLBACK Tablet::tabletWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kWtPacket)
        return onTabletPacket(wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

bool Tablet::registerWindowClass()
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = tabletWndProc;
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszMenuName = L"MainMenu";
    windowClass.lpszClassName = kTabletClassName;

    // The host's module first. A host may well have a "MainWClass" of its
    // own; then the class goes to this library's module, where it cannot
    // clash and where CreateWindow finds it by that instance.
    const HINSTANCE candidates[] = {GetModuleHandleW(nullptr), libraryInstance()};
    for (HINSTANCE instance : candidates) {
        windowClass.hInstance = instance;
        if (RegisterClassExW(&windowClass) != 0) {
            classInstance_ = instance;
            return true;
        }
        WNDCLASSEXW existing{};
        existing.cbSize = sizeof existing;
        if (GetClassInfoExW(instance, kTabletClassName, &existing)
            && existing.lpfnWndProc == tabletWndProc) {
            classInstance_ = instance;   // ours, left from a start-up whose window outlived it
            return true;
        }
    }
    return false;
}

bool Tablet::createTabletWindow()
{
    if (!registerWindowClass())
        return false;
    window_ = CreateWindowExW(0, kTabletClassName, L"Sample", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                              classInstance_, nullptr);
    if (window_ == nullptr)
        return false;
    ShowWindow(window_, SW_HIDE);
    UpdateWindow(window_);
    return true;
}

void Tablet::destroyTabletWindow()
{
    if (window_ != nullptr) {
        // Only the owning thread may destroy it; from any other thread it
        // is asked to close itself.
        if (GetWindowThreadProcessId(window_, nullptr) == GetCurrentThreadId())
            DestroyWindow(window_);
        else
            PostMessageW(window_, WM_CLOSE, 0, 0);
        window_ = nullptr;
    }
    // The procedure lives in this library, which may be unloaded before the
    // next start-up: the class must not outlive the shut-down.
    if (classInstance_ != nullptr && UnregisterClassW(kTabletClassName, classInstance_))
        classInstance_ = nullptr;
}

bool Tablet::openContext()
{
    if (api_.info == nullptr || api_.open == nullptr || window_ == nullptr)
        return false;
    logContext_ = LOGCONTEXTW{};
    api_.info(kWtiDefContext, 0, &logContext_);
    logContext_.lcPktData = kPacketData;
    logContext_.lcPktMode = 0;
    logContext_.lcOptions = kCxoMessages;
    context_ = api_.open(window_, &logContext_, TRUE);
    if (context_ == nullptr)
        return false;
    virtualScreen_ = ScreenArea{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                                GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    pressureScale_ = pressureScaleFor(queryPressureAxis());
    return true;
}

std::optional<PressureAxis> Tablet::queryPressureAxis() const
{
    // The device the context reads from; a driver that has no answer, or
    // one too short to be an axis, leaves the pen at 1024 levels.
    AXIS axis{};
    const UINT written = api_.info(kWtiDevices + logContext_.lcDevice, kDvcNPressure, &axis);
    if (written < sizeof axis)
        return std::nullopt;
    return PressureAxis{axis.axMin, axis.axMax};
}

void Tablet::closeContext()
{
    // Forgotten first: a packet dispatched while the driver closes it is
    // no longer ours.
    const HCTX context = context_;
    context_ = nullptr;
    if (context != nullptr && api_.close != nullptr)
        callCatchingFaults(api_.close, context);
}

bool Tablet::readPacket(UINT serial, HCTX context, TabletPacket& packet) const
{
    if (context_ == nullptr || context != context_ || api_.packet == nullptr)
        return false;
    // A packet Wintab no longer has (or never had) leaves the buffer as it
    // was: nothing in it may be taken for a position or a button.
    return api_.packet(context, serial, &packet) != FALSE;
}

} // namespace penwick
