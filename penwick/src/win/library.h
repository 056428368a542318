// The process-wide state of the library: start-up count and ready flag, the
// three locks, the canvas registry, the bound outside libraries and the
// active canvas.
#pragma once

#include "../core/pressure.h"
#include "handles.h"
#include "ink_engine.h"
#include "tablet.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <list>
#include <memory>

namespace penwick {

struct Canvas;

using CanvasPtr = std::shared_ptr<Canvas>;
using RegisterTouchWindowFn = BOOL(WINAPI*)(HWND window, ULONG flags);
using UnregisterTouchWindowFn = BOOL(WINAPI*)(HWND window);

struct Library {
    HINSTANCE module = nullptr;   // this DLL

    // Held by every exported call (LifecycleLock, sdk.h). A critical
    // section, not a C++ mutex, for the reason given at ThreadSlot.
    CriticalSection lifecycle;
    // The canvas whose stroke notification the calling thread is handling,
    // innermost (draw_thread.cpp).
    ThreadSlot handlingNotificationOf;
    // True while the final shut-down, or the unloading, frees everything.
    std::atomic<bool> shuttingDown{false};

    // Lock order where two are held: initLock, then drawLock. canvasLock is
    // never held together with drawLock, and no thread holding drawLock
    // ever waits for another thread (notifications are sent after it is
    // released), so a thread that takes it only ever waits for rendering.
    // The locks live as long as the library is loaded: a thread of the
    // host may still be inside a canvas's window procedure, or an outer
    // DestroyCanvas may still be waiting, when another call shuts the
    // library down.
    std::int32_t initCount = 0;                  // guarded by initLock
    std::atomic<std::int32_t> sdkReady{0};
    CriticalSection initLock;
    CriticalSection canvasLock;
    CriticalSection drawLock;

    // Oldest first. The registry shares each record with whoever is using
    // it at the moment, so a look-up never hands out a freed record.
    std::list<CanvasPtr> canvasRegistry;         // guarded by canvasLock
    std::int32_t nextCanvasId = 0;               // last id handed out

    InkEngine inkEngine;
    UniqueModule user32;
    RegisterTouchWindowFn registerTouchWindow = nullptr;
    UnregisterTouchWindowFn unregisterTouchWindow = nullptr;
    Tablet tablet;

    // Compared, never dereferenced, by the drawing threads.
    std::atomic<Canvas*> activeCanvas{nullptr};

    // The tablet's pen, guarded by initLock: the buttons of the last packet
    // delivered to a canvas, and the id of the canvas its stroke began on
    // (-1: none), which keeps the stroke until the pen lifts.
    std::uint32_t prevButtons = 0;
    std::int32_t tabletStrokeCanvas = -1;

    // Speed-based pressure of mouse strokes, shared by all canvases; used
    // under drawLock.
    PressureSimulator pressure;
};

// The one Library of the process, made when the library is loaded. The C++
// runtime never destroys it: when the process ends, the other threads are
// already gone, perhaps inside a lock of this library, of the engine, of
// GDI or of the heap, and nothing may wait for them then. Unloading the
// library destroys it explicitly.
void makeLibraryState();
void destroyLibraryState();
Library& library();
HINSTANCE libraryInstance();
bool isReady();

// Creates a canvas record with the next id and appends it to the registry.
CanvasPtr createAndRegisterCanvas();
// The first canvas with this id that is not being destroyed; none while
// the library is not ready.
CanvasPtr findCanvasById(std::int32_t id);
// The first canvas attached to this window, also while it is being
// destroyed (its window procedure still runs then); none while not ready.
CanvasPtr findCanvasByWindow(HWND window);
// The canvas record at this address while it is registered and not being
// destroyed; none while the library is not ready.
CanvasPtr findLiveCanvas(const Canvas* canvas);
// Whether a live canvas other than `except` is attached to this window.
bool windowHasCanvas(HWND window, const Canvas* except);
// Empties the record's window fields and unlinks it from the registry.
void releaseCanvas(Canvas& canvas);
// Marks the canvas with this id as being destroyed and returns it, unless
// it is already being destroyed or does not exist.
CanvasPtr claimCanvasForDestruction(std::int32_t id);

} // namespace penwick
