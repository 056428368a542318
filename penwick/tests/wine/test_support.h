// Helpers for penwick's Wine tests: host windows, real input, message
// pumping, the recording engine's log, debugger output and resource counts.
#pragma once

#include "recorder_api.h"

#include <penwick.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pwtest {

// --- messages -------------------------------------------------------------

void pumpMessages();
// Pumps for `ms` milliseconds.
void pumpFor(DWORD ms);
// Pumps until `done` holds or `timeoutMs` passed; returns `done()`.
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

// --- host windows ---------------------------------------------------------

struct StrokeNotice {
    WPARAM edge;   // 0 begins, 1 ends
    int x;         // screen position from lParam
    int y;
};

// A host window (x, y in screen pixels) of a class with its own DC
// (CS_OWNDC), so the DC that auto-paint mode keeps stays valid; it paints
// itself white unless told otherwise. Records WM_CANVAS_STROKE.
// `extraStyle` adds window styles (WS_CLIPCHILDREN) to those of a child.
class HostWindow {
public:
    HostWindow(int x, int y, int width, int height, bool visible = true, DWORD extraStyle = 0);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND hwnd() const { return window_; }
    HDC dc() const { return dc_; }
    // Screen position of a client point.
    POINT toScreen(int x, int y) const;
    // False while something else (a canvas) has subclassed the window.
    bool hasItsOwnProcedure() const;
    void resizeClient(int width, int height);

    static WNDPROC procedure();

    std::vector<StrokeNotice> notices;
    std::function<void(WPARAM edge)> onStroke;   // runs inside the handler
    COLORREF background = RGB(255, 255, 255);    // painted on WM_PAINT by the host
    bool paintsBackground = true;
    int paintMessages = 0;
    int privateMessages = 0;                     // WM_APP + 7 received

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
};

// --- input ------------------------------------------------------------------

void moveCursor(int x, int y);   // screen coordinates, through SendInput
void pressLeft();
void releaseLeft();

// Moves to the first point, presses, holds still long enough for a polling
// thread to see the button and moves through the rest `stepMs` apart,
// pumping messages throughout; the button stays down.
void pressAndMove(const std::vector<POINT>& screenPoints, DWORD stepMs = 15);
// pressAndMove, then releases.
void drawStroke(const std::vector<POINT>& screenPoints, DWORD stepMs = 15);
void click(POINT screenPoint);

// --- pixels -----------------------------------------------------------------

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;   // 0x00RRGGBB, top-down

    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    int countNot(std::uint32_t color) const;
};

// A 32-bit top-down DIB section; bits receives its pixels.
HBITMAP createDib32(int width, int height, void** bits);
Image capture(HDC dc, int width, int height);
Image captureClient(HWND window);
// Largest difference of any channel between two images of equal size.
int maxChannelDifference(const Image& a, const Image& b);

// --- test doubles ------------------------------------------------------------

// A DLL of test doubles, kept loaded while this lives, so that what a test
// sets in it holds for the library's own load of the same DLL. Only a DLL
// exporting `marker` is kept: a DLL of the same name without it is the real
// one, not the double.
class DoubleLibrary {
public:
    DoubleLibrary(const std::wstring& path, const char* marker);
    ~DoubleLibrary();
    DoubleLibrary(const DoubleLibrary&) = delete;
    DoubleLibrary& operator=(const DoubleLibrary&) = delete;

    bool loaded() const { return module_ != nullptr; }
    // The export `name` as a function of type Fn; null when there is none.
    template <typename Fn>
    Fn entry(const char* name) const
    {
        if (module_ == nullptr)
            return nullptr;
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

private:
    HMODULE module_ = nullptr;
};

// --- the recording engine ----------------------------------------------------

class Recorder {
public:
    Recorder();   // loads libLPLines.dll from the test's folder and keeps it

    bool available() const { return library_.loaded(); }
    std::vector<recorder::RecordedCall> calls() const;
    void reset() const;
    void setLogging(bool on) const;
    void failCreates(int count) const;
    // A failing create still makes an instance and hands it out.
    void setFailedCreateMakes(bool on) const;
    void setPathClearResult(int result) const;
    void setReportedAlpha(int alpha) const;
    int liveInstances() const;

private:
    DoubleLibrary library_;
};

std::vector<recorder::RecordedCall> callsOf(const std::vector<recorder::RecordedCall>& calls,
                                            recorder::Call kind, int instance = -1);

// --- penwick.dll loaded at run time --------------------------------------------

// The 21 exports, bound by name.
struct PenwickExports {
    decltype(&InitSDK) initSdk = nullptr;
    decltype(&UninitSDK) uninitSdk = nullptr;
    decltype(&InitCanvas) initCanvas = nullptr;
    decltype(&DestroyCanvas) destroyCanvas = nullptr;
    decltype(&SetPenWidth) setPenWidth = nullptr;
    decltype(&GetPenWidth) getPenWidth = nullptr;
    decltype(&SetPenColor) setPenColor = nullptr;
    decltype(&GetPenColor) getPenColor = nullptr;
    decltype(&CanvasClear) canvasClear = nullptr;
    decltype(&GetCanvasDrawedRect) getCanvasDrawedRect = nullptr;
    decltype(&UpdateCanvas) updateCanvas = nullptr;
    decltype(&GetCanvasDC) getCanvasDC = nullptr;
    decltype(&SetCanvasInkFlow) setCanvasInkFlow = nullptr;
    decltype(&GetCanvasInkFlow) getCanvasInkFlow = nullptr;
    decltype(&SetDrawQuality) setDrawQuality = nullptr;
    decltype(&GetDrawQuality) getDrawQuality = nullptr;
    decltype(&GetDrawPathCount) getDrawPathCount = nullptr;
    decltype(&GetDrawPathPoint) getDrawPathPoint = nullptr;
    decltype(&DrawPathClear) drawPathClear = nullptr;
    decltype(&SetCanvasAutoPaint) setCanvasAutoPaint = nullptr;
    decltype(&IsCanvasDrawed) isCanvasDrawed = nullptr;

    // False (and every entry null) unless all 21 are there.
    bool bind(HMODULE module);
};

// penwick.dll loaded and unloaded at run time from the test's folder. A
// `fileName` other than penwick.dll names a copy made there, which loads
// as a module of its own beside the penwick.dll a test links with, and
// finds the same libLPLines.dll beside it.
class LoadedPenwick {
public:
    explicit LoadedPenwick(const std::wstring& fileName = L"penwick.dll");
    ~LoadedPenwick();
    LoadedPenwick(const LoadedPenwick&) = delete;
    LoadedPenwick& operator=(const LoadedPenwick&) = delete;

    bool load();
    // FreeLibrary, whatever state the library is in.
    void unload();
    bool loaded() const { return module_ != nullptr; }
    HMODULE module() const { return module_; }
    const PenwickExports& api() const { return api_; }

private:
    std::wstring path_;
    bool isCopy_ = false;
    HMODULE module_ = nullptr;
    PenwickExports api_;
};

// Whether `address` lies in the image of `module`.
bool isInModule(const void* address, HMODULE module);

// --- debugger output ---------------------------------------------------------

// Collects the texts sent with OutputDebugStringA while it lives.
class DebugOutputCapture {
public:
    DebugOutputCapture();
    ~DebugOutputCapture();
    DebugOutputCapture(const DebugOutputCapture&) = delete;
    DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;

    std::vector<std::string> texts() const;

private:
    void* handler_ = nullptr;
};

// --- resources -----------------------------------------------------------------

int threadCount();
// Open handles of the process.
int handleCount();
// How many more GDI objects the process could make (Wine keeps no count).
int freeGdiCapacity();
// The process's GDI objects. Where the system keeps no count (Wine's
// GetGuiResources says 0), every handle index is looked up: Wine finds an
// object by its index alone.
int gdiObjectCount();
// Bytes allocated on all heaps of the process.
std::size_t heapBytesInUse();

std::wstring exeFolder();

} // namespace pwtest
