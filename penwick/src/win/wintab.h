// The parts of the published Wintab interface that the library uses: the
// logical context, a device's axis, the packet of the context it opens, and
// the constants.
// No wintab.h ships with the toolchain; the layouts are pinned below to the
// 32-bit ABI every Wintab32.dll was built for.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace penwick {

using HCTX = HANDLE;

// The logical context, wide version.
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

// The range of one of a device's axes.
struct AXIS {
    LONG axMin;
    LONG axMax;
    UINT axUnits;
    DWORD axResolution;   // FIX32
};

constexpr UINT kWtiDefContext = 3;   // WTI_DEFCONTEXT
constexpr UINT kWtiDevices = 100;    // WTI_DEVICES: the first device's category, then one per device
constexpr UINT kDvcNPressure = 15;   // DVC_NPRESSURE: the normal-pressure AXIS
constexpr UINT kCxoMessages = 0x4;   // CXO_MESSAGES
constexpr UINT kWtPacket = 0x7FF0;   // WT_PACKET: wParam serial, lParam context

constexpr DWORD kPkContext = 0x0001;
constexpr DWORD kPkStatus = 0x0002;
constexpr DWORD kPkCursor = 0x0020;
constexpr DWORD kPkButtons = 0x0040;
constexpr DWORD kPkX = 0x0080;
constexpr DWORD kPkY = 0x0100;
constexpr DWORD kPkNormalPressure = 0x0400;
constexpr DWORD kPkTangentPressure = 0x0800;
constexpr DWORD kPkOrientation = 0x1000;
constexpr DWORD kPkRotation = 0x2000;

// What the library's context asks for in each packet.
constexpr DWORD kPacketData = kPkContext | kPkStatus | kPkCursor | kPkButtons | kPkX | kPkY
    | kPkNormalPressure | kPkTangentPressure | kPkOrientation | kPkRotation;
static_assert(kPacketData == 0x3DE3, "packet data of the library's context");

// One packet of that context with lcPktMode 0 (every field absolute), its
// fields in Wintab's order.
struct TabletPacket {
    std::uint32_t pkContext;
    std::uint32_t pkStatus;
    std::uint32_t pkCursor;
    std::uint32_t pkButtons;
    std::int32_t pkX;
    std::int32_t pkY;
    std::uint32_t pkNormalPressure;
    std::int32_t pkTangentPressure;
    std::int32_t pkOrientation[3];   // azimuth, altitude, twist
    std::int32_t pkRotation[3];      // pitch, roll, yaw
};

static_assert(sizeof(WCHAR) == 2 && sizeof(LONG) == 4 && sizeof(UINT) == 4, "Wintab's 32-bit types");
static_assert(sizeof(LOGCONTEXTW) == 212, "LOGCONTEXTW size");
static_assert(offsetof(LOGCONTEXTW, lcOptions) == 80, "lcOptions");
static_assert(offsetof(LOGCONTEXTW, lcPktData) == 104, "lcPktData");
static_assert(offsetof(LOGCONTEXTW, lcPktMode) == 108, "lcPktMode");
static_assert(offsetof(LOGCONTEXTW, lcInExtX) == 136, "lcInExtX");
static_assert(offsetof(LOGCONTEXTW, lcInExtY) == 140, "lcInExtY");
static_assert(sizeof(AXIS) == 16, "AXIS size");
static_assert(offsetof(AXIS, axMax) == 4, "axMax");
static_assert(offsetof(LOGCONTEXTW, lcDevice) == 96, "lcDevice");
static_assert(sizeof(TabletPacket) == 56, "packet size");
static_assert(offsetof(TabletPacket, pkContext) == 0, "pkContext");
static_assert(offsetof(TabletPacket, pkStatus) == 4, "pkStatus");
static_assert(offsetof(TabletPacket, pkCursor) == 8, "pkCursor");
static_assert(offsetof(TabletPacket, pkButtons) == 12, "pkButtons");
static_assert(offsetof(TabletPacket, pkX) == 16, "pkX");
static_assert(offsetof(TabletPacket, pkY) == 20, "pkY");
static_assert(offsetof(TabletPacket, pkNormalPressure) == 24, "pkNormalPressure");
static_assert(offsetof(TabletPacket, pkTangentPressure) == 28, "pkTangentPressure");
static_assert(offsetof(TabletPacket, pkOrientation) == 32, "pkOrientation");
static_assert(offsetof(TabletPacket, pkRotation) == 44, "pkRotation");

// The entry points' signatures, stdcall as Wintab32.dll exports them.
using WTOpenWFn = HCTX(WINAPI*)(HWND window, LOGCONTEXTW* context, BOOL enable);
using WTInfoWFn = UINT(WINAPI*)(UINT category, UINT index, void* output);
using WTPacketFn = BOOL(WINAPI*)(HCTX context, UINT serial, void* packet);
using WTCloseFn = BOOL(WINAPI*)(HCTX context);

} // namespace penwick
