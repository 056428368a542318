// The fake pen tablet (Wintab32.dll of the test's folder) as tests drive
// it, and the library's hidden tablet window.
#pragma once

#include "fake_tablet_api.h"
#include "test_support.h"

#include <windows.h>

#include <optional>

namespace pwtest {

// Why a test wanting the fake cannot run.
constexpr char kNotTheFakeTablet[] = "Wintab32.dll is not the fake: run with WINEDLLOVERRIDES=wintab32=n,b";

class FakeTablet {
public:
    // Loads Wintab32.dll as the library will and keeps it loaded.
    FakeTablet();

    // False when the Wintab32.dll loaded is not the fake (Wine's own, for
    // want of the override wintab32=n,b).
    bool available() const { return library_.loaded(); }

    void reset() const;
    void setInputExtent(LONG x, LONG y) const;
    // The device's normal-pressure range as the driver reports it; nullopt:
    // the driver cannot say.
    void setPressureAxis(std::optional<penwick::AXIS> axis) const;
    void setOpenFails(bool on) const;
    void setCloseFaults(bool on) const;
    void setCloseDispatches(bool on) const;
    faketablet::OpenRecord openRecord() const;
    // Queues a packet and posts WT_PACKET for it: its serial, 0 without an
    // open context.
    UINT post(UINT buttons, LONG x, LONG y, UINT pressure) const;
    int queued() const;

private:
    DoubleLibrary library_;
};

// The virtual screen as penwick.dll sees it while this lives: its calls to
// GetSystemMetrics answer the four virtual-screen metrics with `screen`
// (left, top, right and bottom as a rectangle) and everything else as
// usual. A desktop with monitors left of or above the primary, which Xvfb
// cannot have, for the library alone; the real cursor still moves on the
// real screen, which the layout should hold.
class VirtualScreenSeen {
public:
    explicit VirtualScreenSeen(const RECT& screen);
    ~VirtualScreenSeen();
    VirtualScreenSeen(const VirtualScreenSeen&) = delete;
    VirtualScreenSeen& operator=(const VirtualScreenSeen&) = delete;

    // False when penwick.dll's import of GetSystemMetrics was not found.
    bool active() const { return slot_ != nullptr; }

private:
    void** slot_ = nullptr;
    void* original_ = nullptr;
};

// This process's hidden tablet window, or null.
HWND findTabletWindow();
// Whether the hidden window's class is registered in this process.
bool tabletClassRegistered();

} // namespace pwtest
