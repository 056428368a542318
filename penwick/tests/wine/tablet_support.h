// The fake pen tablet (Wintab32.dll of the test's folder) as tests drive
// it, and the library's hidden tablet window.
#pragma once

#include "fake_tablet_api.h"
#include "test_support.h"

#include <windows.h>

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

// This process's hidden tablet window, or null.
HWND findTabletWindow();
// Whether the hidden window's class is registered in this process.
bool tabletClassRegistered();

} // namespace pwtest
