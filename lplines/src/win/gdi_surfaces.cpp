#include "gdi_surfaces.h"

#include <algorithm>
#include <utility>

namespace lplines {

DibSection::DibSection(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;   // top-down: row 0 first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap_ || !bits) {
        bitmap_ = nullptr;
        return;
    }
    pixels_ = {static_cast<std::uint32_t*>(bits), width, height, width};
}

DibSection::~DibSection()
{
    if (bitmap_)
        DeleteObject(bitmap_);
}

void DibSection::swap(DibSection& other) noexcept
{
    std::swap(bitmap_, other.bitmap_);
    std::swap(pixels_, other.pixels_);
}

OwnSurface::OwnSurface() : dib_(1, 1)
{
    if (!valid())
        return;
    fillPixels(dib_.pixels(), dib_.pixels().bounds(), kWhite);
    original_ = SelectObject(dc_.get(), dib_.get());
}

OwnSurface::~OwnSurface()
{
    if (original_)
        SelectObject(dc_.get(), original_);
}

bool OwnSurface::resize(int width, int height)
{
    if (width == width_ && height == height_)
        return true;
    DibSection next(width, height);
    if (!next.valid())
        return false;
    GdiFlush();
    fillPixels(next.pixels(), next.pixels().bounds(), kWhite);
    if (width_ > 0)
        copyOverlap(dib_.pixels(), next.pixels());
    SelectObject(dc_.get(), next.get());
    dib_ = std::move(next);   // the old bitmap, no longer selected, is freed
    width_ = width;
    height_ = height;
    return true;
}

namespace {

// One scratch DIB for every target; calls into the library are serialised.
struct Scratch {
    MemoryDc dc;
    DibSection dib;
    HGDIOBJ original = nullptr;

    ~Scratch()
    {
        if (original)
            SelectObject(dc.get(), original);
    }

    bool fit(int width, int height)
    {
        if (dib.valid() && dib.pixels().width >= width && dib.pixels().height >= height)
            return true;
        const int w = std::max({width, dib.valid() ? dib.pixels().width : 0, 64});
        const int h = std::max({height, dib.valid() ? dib.pixels().height : 0, 64});
        DibSection bigger(w, h);
        if (!bigger.valid() || !dc.get())
            return false;
        const HGDIOBJ previous = SelectObject(dc.get(), bigger.get());
        if (!original)
            original = previous;
        dib = std::move(bigger);
        return true;
    }
};

Scratch& scratch()
{
    static Scratch instance;
    return instance;
}

} // namespace

PixelView DcTarget::lock(const IntRect& area)
{
    Scratch& s = scratch();
    if (area.empty() || !s.fit(area.width(), area.height()))
        return {};
    if (!BitBlt(s.dc.get(), 0, 0, area.width(), area.height(), dc_, area.left, area.top, SRCCOPY))
        return {};
    GdiFlush();
    const PixelView& all = s.dib.pixels();
    return {all.pixels, area.width(), area.height(), all.stride};
}

void DcTarget::unlock(const IntRect& area)
{
    Scratch& s = scratch();
    BitBlt(dc_, area.left, area.top, area.width(), area.height(), s.dc.get(), 0, 0, SRCCOPY);
}

} // namespace lplines
