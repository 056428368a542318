// Wintab, the pen-tablet interface, loaded by name at run time: the module
// and its 16 entry points, the hidden window that receives the context's
// packets, and the context itself.
#pragma once

#include "../core/tablet_mapping.h"
#include "handles.h"
#include "wintab.h"

#include <windows.h>

namespace penwick {

// The 16 entry points; only the four typed ones are ever called.
struct WintabApi {
    using AnyFn = void(WINAPI*)();

    WTOpenWFn open = nullptr;
    WTInfoWFn info = nullptr;
    AnyFn get = nullptr;
    AnyFn set = nullptr;
    WTPacketFn packet = nullptr;
    WTCloseFn close = nullptr;
    AnyFn enable = nullptr;
    AnyFn overlap = nullptr;
    AnyFn save = nullptr;
    AnyFn config = nullptr;
    AnyFn restore = nullptr;
    AnyFn extSet = nullptr;
    AnyFn extGet = nullptr;
    AnyFn queueSizeSet = nullptr;
    AnyFn dataPeek = nullptr;
    AnyFn packetsGet = nullptr;
};

class Tablet {
public:
    Tablet() = default;
    Tablet(const Tablet&) = delete;
    Tablet& operator=(const Tablet&) = delete;

    // Loads Wintab32.dll and binds all 16 entry points; fails (reporting to
    // the debugger) when the library or any entry point is missing.
    bool loadWintab();
    void unloadWintab();

    // The hidden window that the context posts its packets to; it belongs
    // to the calling thread.
    bool createTabletWindow();
    void destroyTabletWindow();

    // Opens the system-wide context from Wintab's default one, posting its
    // packets to the hidden window; false when Wintab gives none. Reads the
    // virtual screen for the packets' positions and the device's pressure
    // range for their pressures.
    bool openContext();
    // Closes the context; a fault inside the driver's WTClose is caught
    // and ignored, since the library is going away whatever it did.
    void closeContext();

    // Copies packet `serial` of `context` into `packet`: false when the
    // context is not the one this library has open (another program's, or
    // ours already closed) or when Wintab has no such packet.
    bool readPacket(UINT serial, HCTX context, TabletPacket& packet) const;

    const LOGCONTEXTW& logContext() const { return logContext_; }
    const ScreenArea& virtualScreen() const { return virtualScreen_; }
    const PressureScale& pressureScale() const { return pressureScale_; }

private:
    static LRESULT CALLBACK tabletWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool registerWindowClass();
    std::optional<PressureAxis> queryPressureAxis() const;

    UniqueModule module_;
    WintabApi api_;
    HWND window_ = nullptr;
    HINSTANCE classInstance_ = nullptr;   // where "MainWClass" was registered by us
    LOGCONTEXTW logContext_{};
    HCTX context_ = nullptr;
    ScreenArea virtualScreen_;
    PressureScale pressureScale_;
};

} // namespace penwick
