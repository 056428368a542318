// The fake Wintab32.dll: a pen tablet for tests. It reports a default
// context, records the context it is opened with and the window given,
// and posts WT_PACKET messages for the packets a test queues. Tests reach
// it through the extra FakeTablet* exports of the same DLL (load it by
// name: with the override wintab32=n,b it is the module the library uses).
#pragma once

#include "win/wintab.h"

#include <windows.h>

namespace faketablet {

// What the last WTOpenW was given and answered.
struct OpenRecord {
    std::int32_t opens;        // WTOpenW calls since the last reset
    std::int32_t closes;       // WTClose calls since the last reset
    std::int32_t packetReads;  // WTPacket calls since the last reset
    HWND window;
    BOOL enable;
    penwick::HCTX context;     // the handle returned; null when it failed
    penwick::LOGCONTEXTW logContext;
};

using ResetFn = void(WINAPI*)();
using SetIntFn = void(WINAPI*)(int value);
using SetExtentFn = void(WINAPI*)(LONG x, LONG y);
using SetPressureAxisFn = void(WINAPI*)(int known, LONG min, LONG max);
using GetOpenRecordFn = void(WINAPI*)(OpenRecord* record);
using PostFn = UINT(WINAPI*)(UINT buttons, LONG x, LONG y, UINT pressure);
using GetIntFn = int(WINAPI*)();

// Exported by the fake (besides the 16 Wintab entry points):
//   void FakeTabletReset()                   defaults, no context, nothing queued
//   void FakeTabletSetInputExtent(x, y)      lcInExtX / lcInExtY of the default context
//   void FakeTabletSetPressureAxis(known, min, max)
//                                            the device's normal-pressure axis (WTI_DEVICES,
//                                            DVC_NPRESSURE); known 0: the driver cannot say.
//                                            After a reset: 0 to 1023
//   void FakeTabletSetOpenFails(on)          WTOpenW returns NULL
//   void FakeTabletSetCloseFaults(on)        WTClose writes through a null pointer
//   void FakeTabletSetCloseDispatches(on)    WTClose dispatches the calling thread's messages
//   void FakeTabletGetOpenRecord(record)
//   UINT FakeTabletPost(buttons, x, y, pressure)
//                                            queues a packet of the open context and posts
//                                            WT_PACKET (serial, context) to its window;
//                                            returns the serial, 0 without an open context
//   int  FakeTabletQueued()                  packets queued and not yet read

} // namespace faketablet
