// The engine's surfaces in GDI terms: the instance's own DIB section in a
// memory DC, and a caller's DC reached through a small scratch DIB.
#pragma once

#include "ink_engine.h"
#include "pixels.h"

#include <windows.h>

namespace lplines {

class MemoryDc {
public:
    MemoryDc() : dc_(CreateCompatibleDC(nullptr)) {}
    ~MemoryDc()
    {
        if (dc_)
            DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// A 32-bit top-down DIB section: its pixels are a PixelView.
class DibSection {
public:
    DibSection() = default;
    DibSection(int width, int height);
    ~DibSection();
    DibSection(const DibSection&) = delete;
    DibSection& operator=(const DibSection&) = delete;
    DibSection(DibSection&& other) noexcept { swap(other); }
    DibSection& operator=(DibSection&& other) noexcept
    {
        swap(other);
        return *this;
    }

    bool valid() const { return bitmap_ != nullptr; }
    HBITMAP get() const { return bitmap_; }
    const PixelView& pixels() const { return pixels_; }

private:
    void swap(DibSection& other) noexcept;
    HBITMAP bitmap_ = nullptr;
    PixelView pixels_;
};

// The instance's own surface: a DIB section selected into a memory DC that
// stays the same DC for the instance's life.
class OwnSurface {
public:
    OwnSurface();
    ~OwnSurface();
    OwnSurface(const OwnSurface&) = delete;
    OwnSurface& operator=(const OwnSurface&) = delete;

    bool valid() const { return dc_.get() && dib_.valid(); }
    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    // The pixels the engine draws on; empty before the first resize.
    PixelView pixels() const { return width_ > 0 ? dib_.pixels() : PixelView{}; }
    // False when the new bitmap cannot be made; the old one stays then.
    bool resize(int width, int height);

private:
    MemoryDc dc_;
    DibSection dib_;
    HGDIOBJ original_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// A caller's DC as a target: each locked area is copied into a scratch DIB
// and back with BitBlt, so only that area is ever read or written.
class DcTarget : public TargetSurface {
public:
    explicit DcTarget(HDC dc) : dc_(dc) {}
    std::uintptr_t identity() const override { return reinterpret_cast<std::uintptr_t>(dc_); }
    PixelView lock(const IntRect& area) override;
    void unlock(const IntRect& area) override;

private:
    HDC dc_;
};

} // namespace lplines
