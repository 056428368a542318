// Wintab, the pen-tablet interface, loaded by name at run time: the module
// and its 16 entry points, the hidden window that receives the context's
// packets, and the context itself.
#pragma once

#include "handles.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace penwick {

using HCTX = HANDLE;

// The published layout of the Wintab logical context (wide version).
struct LOGCONTEXTW {
    WCHAR lcName[40];
    UINT lcOptions;
    UINT lcStatus;
    UINT lcLocks;
    UINT lcMsgBase;
    UINT lcDevice;
    UINT lcPktRate;
    DWORD lcPktData;
    DWORD lcPktMode;
    DWORD lcMoveMask;
    DWORD lcBtnDnMask;
    DWORD lcBtnUpMask;
    LONG lcInOrgX;
    LONG lcInOrgY;
    LONG lcInOrgZ;
    LONG lcInExtX;
    LONG lcInExtY;
    LONG lcInExtZ;
    LONG lcOutOrgX;
    LONG lcOutOrgY;
    LONG lcOutOrgZ;
    LONG lcOutExtX;
    LONG lcOutExtY;
    LONG lcOutExtZ;
    DWORD lcSensX;
    DWORD lcSensY;
    DWORD lcSensZ;
    BOOL lcSysMode;
    int lcSysOrgX;
    int lcSysOrgY;
    int lcSysExtX;
    int lcSysExtY;
    DWORD lcSysSensX;
    DWORD lcSysSensY;
};

constexpr UINT kWtiDefContext = 3;
constexpr UINT kCxoMessages = 0x4;
constexpr UINT kWtPacket = 0x7FF0;
// PK_CONTEXT, PK_STATUS, PK_CURSOR, PK_BUTTONS, PK_X, PK_Y,
// PK_NORMAL_PRESSURE, PK_TANGENT_PRESSURE, PK_ORIENTATION, PK_ROTATION.
constexpr DWORD kPacketData = 0x3DE3;

// One packet of the context above (lcPktMode 0: every field absolute).
struct TabletPacket {
    std::uint32_t pkContext;
    std::uint32_t pkStatus;
    std::uint32_t pkCursor;
    std::uint32_t pkButtons;
    std::int32_t pkX;
    std::int32_t pkY;
    std::uint32_t pkNormalPressure;
    std::int32_t pkTangentPressure;
    std::int32_t pkOrientation[3];
    std::int32_t pkRotation[3];
};

static_assert(sizeof(LOGCONTEXTW) == 212, "LOGCONTEXTW layout");
static_assert(offsetof(LOGCONTEXTW, lcOptions) == 80, "lcOptions");
static_assert(offsetof(LOGCONTEXTW, lcPktData) == 104, "lcPktData");
static_assert(offsetof(LOGCONTEXTW, lcPktMode) == 108, "lcPktMode");
static_assert(offsetof(LOGCONTEXTW, lcInExtX) == 136, "lcInExtX");
static_assert(offsetof(LOGCONTEXTW, lcInExtY) == 140, "lcInExtY");
static_assert(sizeof(TabletPacket) == 56, "packet layout");
static_assert(offsetof(TabletPacket, pkNormalPressure) == 24, "pkNormalPressure");

struct WintabApi {
    using OpenFn = HCTX(WINAPI*)(HWND window, LOGCONTEXTW* context, BOOL enable);
    using InfoFn = UINT(WINAPI*)(UINT category, UINT index, void* output);
    using PacketFn = BOOL(WINAPI*)(HCTX context, UINT serial, void* packet);
    using CloseFn = BOOL(WINAPI*)(HCTX context);
    using AnyFn = void(WINAPI*)();

    OpenFn open = nullptr;
    InfoFn info = nullptr;
    AnyFn get = nullptr;
    AnyFn set = nullptr;
    PacketFn packet = nullptr;
    CloseFn close = nullptr;
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

    // Opens the system-wide context from Wintab's default one; false when
    // Wintab gives none.
    bool openContext();
    void closeContext();

    bool isLoaded() const { return static_cast<bool>(module_); }
    HWND window() const { return window_; }
    HCTX context() const { return context_; }
    const LOGCONTEXTW& logContext() const { return logContext_; }
    const WintabApi& api() const { return api_; }
    float maxPressure() const { return maxPressure_; }
    int virtualScreenWidth() const { return virtualScreenWidth_; }
    int virtualScreenHeight() const { return virtualScreenHeight_; }

private:
    static LRESULT CALLBACK tabletWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool registerWindowClass();

    UniqueModule module_;
    WintabApi api_;
    HWND window_ = nullptr;
    HINSTANCE classInstance_ = nullptr;   // where "MainWClass" was registered by us
    LOGCONTEXTW logContext_{};
    HCTX context_ = nullptr;
    float maxPressure_ = 0.0f;
    int virtualScreenWidth_ = 0;
    int virtualScreenHeight_ = 0;
};

} // namespace penwick
