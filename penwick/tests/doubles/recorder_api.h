// The recording ink engine: a libLPLines.dll for tests that logs every call
// with its arguments and draws plain, opaque GDI ink (round lines of pen
// width x pressure) so that the window shows something. Tests reach the log
// through the extra Recorder* exports of the same DLL.
#pragma once

#include <windows.h>

#include <cstdint>

namespace recorder {

enum class Call : std::int32_t {
    create = 1,
    destroy,
    setColor,
    getColor,
    setPenWidth,
    getPenWidth,
    setInkFlow,
    getInkFlow,
    setQuality,
    getQuality,
    setCanvasSize,
    canvasClear,
    getCanvasDC,
    clear,
    lineTo,
    end,
    pathClear,
    pathCount,
    pathPoint,
};

struct RecordedCall {
    Call call;
    std::int32_t instance;     // 1, 2, 3, ... in order of creation; 0 for a bad handle
    std::int32_t intArg[2];    // size, quality, index
    float floatArg[3];         // x, y, pressure; width; ink flow
    std::uint32_t color;
    HDC dc;                    // target of lineTo and end
    DWORD thread;
};

// The point record of this engine's path.
struct PathPoint {
    float x;
    float y;
    float pressure;
};

using CallCountFn = int(WINAPI*)();
using GetCallFn = int(WINAPI*)(int index, RecordedCall* call);
using ResetFn = void(WINAPI*)();
using SetIntFn = void(WINAPI*)(int value);
using GetIntFn = int(WINAPI*)();

// Exported by the recording engine:
//   int  RecorderCallCount()                 calls logged so far
//   int  RecorderGetCall(index, call)        0 when index is valid
//   void RecorderReset()                     forgets the log
//   void RecorderSetLogging(on)              0 stops logging (long loops)
//   void RecorderFailCreates(count)          the next `count` creates fail
//   void RecorderSetFailedCreateMakes(on)    a failing create still makes an
//                                            instance and hands it out
//   void RecorderSetPathClearResult(result)  what LPLinesPathClear returns
//   void RecorderSetReportedAlpha(alpha)     alpha byte GetColor reports (-1: as set)
//   int  RecorderLiveInstances()             created and not yet destroyed

} // namespace recorder
