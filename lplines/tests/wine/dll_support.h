// libLPLines.dll bound by name at run time, as a host binds it (the import
// library of a --kill-at DLL has lost the decorated names), and a 32-bit
// DIB in a memory DC to draw on. Shared by the DLL's tests and benchmark.
#pragma once

#include "lplines.h"

#include <cstdint>

#define LPLINES_ENTRY_POINTS(X) \
    X(LPLinesCreate)            \
    X(LPLinesDestroy)           \
    X(LPLinesSetColor)          \
    X(LPLinesGetColor)          \
    X(LPLinesSetPenWidth)       \
    X(LPLinesGetPenWidth)       \
    X(LPLinesSetInkFlow)        \
    X(LPLinesGetInkFlow)        \
    X(LPLinesSetQuality)        \
    X(LPLinesGetQuality)        \
    X(LPLinesSetCanvasSize)     \
    X(LPLinesCanvasClear)       \
    X(LPLinesGetCanvasDC)       \
    X(LPLinesClear)             \
    X(LPLinesLineTo)            \
    X(LPLinesEnd)               \
    X(LPLinesPathClear)         \
    X(LPLinesPathCount)         \
    X(LPLinesPathPoint)         \
    X(LPLinesSetPressureDoubled) \
    X(LPLinesGetPressureDoubled) \
    X(LPLinesSetTipHardness)    \
    X(LPLinesGetTipHardness)    \
    X(LPLinesGetCanvasSize)

struct LPLinesApi {
#define LPLINES_COUNT(name) +1
    static constexpr int kEntryPoints = 0 LPLINES_ENTRY_POINTS(LPLINES_COUNT);
#undef LPLINES_COUNT

    HMODULE module = nullptr;
#define LPLINES_ENTRY(name) decltype(&::name) name = nullptr;
    LPLINES_ENTRY_POINTS(LPLINES_ENTRY)
#undef LPLINES_ENTRY
    int bound = 0;   // entry points found

    bool complete() const { return bound == kEntryPoints; }

    LPLinesApi()
    {
        module = LoadLibraryW(L"libLPLines.dll");
        if (!module)
            return;
#define LPLINES_BIND(name)                                                                       \
    name = reinterpret_cast<decltype(name)>(reinterpret_cast<void*>(GetProcAddress(module, #name))); \
    bound += name != nullptr;
        LPLINES_ENTRY_POINTS(LPLINES_BIND)
#undef LPLINES_BIND
    }
};

inline const LPLinesApi& api()
{
    static const LPLinesApi instance;
    return instance;
}

// A top-down 32-bit DIB section selected into its own memory DC.
class DibDc {
public:
    DibDc(int width, int height) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr))
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels_ = static_cast<std::uint32_t*>(bits);
        original_ = SelectObject(dc_, bitmap_);
    }
    ~DibDc()
    {
        SelectObject(dc_, original_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    DibDc(const DibDc&) = delete;
    DibDc& operator=(const DibDc&) = delete;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // The pixel as GDI left it (pending drawing finished first).
    std::uint32_t at(int x, int y) const
    {
        GdiFlush();
        return pixels_[y * width_ + x];
    }
    void set(int x, int y, std::uint32_t value) { pixels_[y * width_ + x] = value; }

private:
    int width_;
    int height_;
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ original_ = nullptr;
    std::uint32_t* pixels_ = nullptr;
};
