// The fake pen tablet (Wintab32.dll of the test's folder) as tests drive
// it, and the library's hidden tablet window.
#pragma once

#include "fake_tablet_api.h"

#include <windows.h>

namespace pwtest {

class FakeTablet {
public:
    // Loads Wintab32.dll as the library will and keeps it loaded, so that
    // what is set here holds for the library's own load.
    FakeTablet();
    ~FakeTablet();
    FakeTablet(const FakeTablet&) = delete;
    FakeTablet& operator=(const FakeTablet&) = delete;

    // False when the Wintab32.dll loaded is not the fake (Wine's own, for
    // want of the override wintab32=n,b).
    bool available() const { return module_ != nullptr; }

    void reset() const;
    void setInputExtent(LONG x, LONG y) const;
    void setOpenFails(bool on) const;
    void setCloseFaults(bool on) const;
    void setCloseDispatches(bool on) const;
    faketablet::OpenRecord openRecord() const;
    // Queues a packet and posts WT_PACKET for it: its serial, 0 without an
    // open context.
    UINT post(UINT buttons, LONG x, LONG y, UINT pressure) const;
    bool postMessage(UINT serial, penwick::HCTX context) const;
    int queued() const;

private:
    template <typename Fn>
    Fn entry(const char* name) const;
    HMODULE module_ = nullptr;
};

// This process's hidden tablet window, or null.
HWND findTabletWindow();

} // namespace pwtest
