// A Wintab32.dll with a pen tablet that tests drive (see fake_tablet_api.h).
#include "fake_tablet_api.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <vector>

using faketablet::OpenRecord;
using penwick::HCTX;
using penwick::LOGCONTEXTW;
using penwick::TabletPacket;

namespace {

struct QueuedPacket {
    UINT serial;
    TabletPacket packet;
};

struct State {
    std::mutex lock;
    LOGCONTEXTW defaultContext{};
    OpenRecord record{};
    HCTX openContext = nullptr;
    std::uint32_t handleCounter = 0;
    std::vector<QueuedPacket> queue;
    UINT nextSerial = 0;
    bool openFails = false;
    bool closeFaults = false;
    bool closeDispatches = false;
    bool pressureAxisKnown = true;
    penwick::AXIS pressureAxis{};
};

State& state()
{
    static State instance;
    return instance;
}

// A tablet's own defaults: a system context that moves the cursor, with
// relative positions, which the library must replace.
LOGCONTEXTW makeDefaultContext()
{
    LOGCONTEXTW context{};
    std::wcsncpy(context.lcName, L"Fake Tablet Default", 39);
    context.lcOptions = 0x0001 | 0x0010;   // CXO_SYSTEM | CXO_CSRMESSAGES
    context.lcStatus = 0x0001;
    context.lcLocks = 0;
    context.lcMsgBase = 0x7FF0;
    context.lcDevice = 0;
    context.lcPktRate = 133;
    context.lcPktData = 0x0180;            // PK_X | PK_Y
    context.lcPktMode = 0x0180;            // both relative
    context.lcMoveMask = 0x0180;
    context.lcBtnDnMask = 0xFFFFFFFFu;
    context.lcBtnUpMask = 0xFFFFFFFFu;
    context.lcInExtX = 15200;
    context.lcInExtY = 9500;
    context.lcInExtZ = 1023;
    context.lcOutExtX = 15200;
    context.lcOutExtY = 9500;
    context.lcOutExtZ = 1023;
    context.lcSensX = context.lcSensY = context.lcSensZ = 0x10000;
    context.lcSysMode = FALSE;
    context.lcSysExtX = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    context.lcSysExtY = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    context.lcSysSensX = context.lcSysSensY = 0x10000;
    return context;
}

void resetState(State& s)
{
    s.defaultContext = makeDefaultContext();
    s.record = OpenRecord{};
    s.openContext = nullptr;
    s.queue.clear();
    s.openFails = false;
    s.closeFaults = false;
    s.closeDispatches = false;
    // A pen of 1024 levels, as most drivers describe theirs.
    s.pressureAxisKnown = true;
    s.pressureAxis = penwick::AXIS{0, 1023, 0, 0};
}

void dispatchMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

volatile std::uintptr_t nowhere = 0;

} // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        std::lock_guard<std::mutex> guard(state().lock);
        resetState(state());
    }
    return TRUE;
}

extern "C" {

// --- the Wintab entry points --------------------------------------------------

namespace {

// The one device, the default context's: its normal-pressure axis, when
// the test lets the driver know it.
UINT deviceInfo(State& s, UINT category, UINT index, void* output)
{
    if (category != penwick::kWtiDevices + s.defaultContext.lcDevice || index != penwick::kDvcNPressure
        || !s.pressureAxisKnown)
        return 0;
    if (output != nullptr)
        std::memcpy(output, &s.pressureAxis, sizeof(penwick::AXIS));
    return sizeof(penwick::AXIS);
}

} // namespace

UINT WINAPI WTInfoW(UINT category, UINT index, void* output)
{
    State& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (category != penwick::kWtiDefContext)
        return deviceInfo(s, category, index, output);
    if (output != nullptr)
        std::memcpy(output, &s.defaultContext, sizeof(LOGCONTEXTW));
    return sizeof(LOGCONTEXTW);
}

HCTX WINAPI WTOpenW(HWND window, LOGCONTEXTW* context, BOOL enable)
{
    State& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    ++s.record.opens;
    s.record.window = window;
    s.record.enable = enable;
    s.record.logContext = context != nullptr ? *context : LOGCONTEXTW{};
    s.record.context = nullptr;
    if (s.openFails || context == nullptr || !IsWindow(window))
        return nullptr;
    s.openContext = reinterpret_cast<HCTX>(static_cast<std::uintptr_t>(0x7AB10000u + ++s.handleCounter));
    s.record.context = s.openContext;
    s.queue.clear();
    return s.openContext;
}

BOOL WINAPI WTClose(HCTX context)
{
    State& s = state();
    bool faults = false;
    bool dispatches = false;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        ++s.record.closes;
        faults = s.closeFaults;
        dispatches = s.closeDispatches;
        if (context == s.openContext) {
            s.openContext = nullptr;
            s.queue.clear();
        }
    }
    if (dispatches)
        dispatchMessages();
    if (faults)
        *reinterpret_cast<volatile int*>(nowhere) = 1;   // an access violation, as a broken driver would
    return TRUE;
}

// Wintab's rule: reading a packet also discards every older one.
BOOL WINAPI WTPacket(HCTX context, UINT serial, void* packet)
{
    State& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    ++s.record.packetReads;
    if (context == nullptr || context != s.openContext)
        return FALSE;
    const auto found = std::find_if(s.queue.begin(), s.queue.end(),
                                    [&](const QueuedPacket& item) { return item.serial == serial; });
    if (found == s.queue.end())
        return FALSE;
    if (packet != nullptr)
        std::memcpy(packet, &found->packet, sizeof(TabletPacket));
    s.queue.erase(s.queue.begin(), found + 1);
    return TRUE;
}

// Present because every Wintab has them; the library never calls them.
BOOL WINAPI WTGetW(HCTX, LOGCONTEXTW*) { return FALSE; }
BOOL WINAPI WTSetW(HCTX, LOGCONTEXTW*) { return FALSE; }
BOOL WINAPI WTEnable(HCTX, BOOL) { return FALSE; }
BOOL WINAPI WTOverlap(HCTX, BOOL) { return FALSE; }
BOOL WINAPI WTSave(HCTX, void*) { return FALSE; }
BOOL WINAPI WTConfig(HCTX, HWND) { return FALSE; }
HCTX WINAPI WTRestore(HWND, void*, BOOL) { return nullptr; }
BOOL WINAPI WTExtSet(HCTX, UINT, void*) { return FALSE; }
BOOL WINAPI WTExtGet(HCTX, UINT, void*) { return FALSE; }
BOOL WINAPI WTQueueSizeSet(HCTX, int) { return FALSE; }
int WINAPI WTDataPeek(HCTX, UINT, UINT, int, void*, int*) { return 0; }
int WINAPI WTPacketsGet(HCTX, int, void*) { return 0; }

// --- the test's controls ----------------------------------------------------

void WINAPI FakeTabletReset()
{
    std::lock_guard<std::mutex> guard(state().lock);
    resetState(state());
}

void WINAPI FakeTabletSetInputExtent(LONG x, LONG y)
{
    std::lock_guard<std::mutex> guard(state().lock);
    state().defaultContext.lcInExtX = x;
    state().defaultContext.lcInExtY = y;
}

void WINAPI FakeTabletSetPressureAxis(int known, LONG min, LONG max)
{
    std::lock_guard<std::mutex> guard(state().lock);
    state().pressureAxisKnown = known != 0;
    state().pressureAxis.axMin = min;
    state().pressureAxis.axMax = max;
}

void WINAPI FakeTabletSetOpenFails(int on)
{
    std::lock_guard<std::mutex> guard(state().lock);
    state().openFails = on != 0;
}

void WINAPI FakeTabletSetCloseFaults(int on)
{
    std::lock_guard<std::mutex> guard(state().lock);
    state().closeFaults = on != 0;
}

void WINAPI FakeTabletSetCloseDispatches(int on)
{
    std::lock_guard<std::mutex> guard(state().lock);
    state().closeDispatches = on != 0;
}

void WINAPI FakeTabletGetOpenRecord(OpenRecord* record)
{
    if (record == nullptr)
        return;
    std::lock_guard<std::mutex> guard(state().lock);
    *record = state().record;
}

UINT WINAPI FakeTabletPost(UINT buttons, LONG x, LONG y, UINT pressure)
{
    State& s = state();
    HWND window = nullptr;
    HCTX context = nullptr;
    QueuedPacket item{};
    {
        std::lock_guard<std::mutex> guard(s.lock);
        if (s.openContext == nullptr)
            return 0;
        if (++s.nextSerial == 0)
            ++s.nextSerial;
        item.serial = s.nextSerial;
        item.packet.pkContext = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(s.openContext));
        item.packet.pkCursor = 1;   // the pen's tip
        item.packet.pkButtons = buttons;
        item.packet.pkX = x;
        item.packet.pkY = y;
        item.packet.pkNormalPressure = pressure;
        item.packet.pkOrientation[1] = 900;
        s.queue.push_back(item);
        window = s.record.window;
        context = s.openContext;
    }
    PostMessageW(window, penwick::kWtPacket, item.serial, reinterpret_cast<LPARAM>(context));
    return item.serial;
}

int WINAPI FakeTabletQueued()
{
    std::lock_guard<std::mutex> guard(state().lock);
    return static_cast<int>(state().queue.size());
}

} // extern "C"
