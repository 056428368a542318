// Small owners for the Win32 and GDI handles of the library: each frees
// what it holds exactly once and cannot be copied.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>
#include <utility>

namespace penwick {

struct ModuleFreer {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};

using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFreer>;
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;
template <typename T>
using GdiObject = std::unique_ptr<std::remove_pointer_t<T>, GdiObjectDeleter>;

// Binds `entry` to the export `name` of `module`; false (and null) when the
// module lacks it.
template <typename Fn>
bool lookUpEntry(HMODULE module, const char* name, Fn& entry)
{
    entry = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return entry != nullptr;
}

// A DC of a window, released on destruction.
class WindowDC {
public:
    // GetDC's: for a window of a class with its own DC (CS_OWNDC), that one.
    static WindowDC common(HWND window) { return WindowDC(window, GetDC(window)); }
    // One from the system's cache, even for windows of a class with its own
    // DC: that one is the host's, which the host's thread may be using at
    // the very moment, and GDI refuses a DC that another thread is using.
    static WindowDC fromCache(HWND window) { return WindowDC(window, GetDCEx(window, nullptr, DCX_CACHE)); }

    ~WindowDC()
    {
        if (dc_ != nullptr)
            ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC get() const { return dc_; }

private:
    WindowDC(HWND window, HDC dc) : window_(window), dc_(dc) {}

    HWND window_;
    HDC dc_;
};

// A memory DC with a bitmap of its own selected into it.
class MemorySurface {
public:
    MemorySurface() = default;
    MemorySurface(HDC compatibleWith, int width, int height)
    {
        dc_ = CreateCompatibleDC(compatibleWith);
        if (dc_ == nullptr)
            return;
        bitmap_ = CreateCompatibleBitmap(compatibleWith, width, height);
        if (bitmap_ == nullptr) {
            release();
            return;
        }
        oldBitmap_ = SelectObject(dc_, bitmap_);
        width_ = width;
        height_ = height;
    }
    ~MemorySurface() { release(); }
    MemorySurface(const MemorySurface&) = delete;
    MemorySurface& operator=(const MemorySurface&) = delete;
    MemorySurface(MemorySurface&& other) noexcept { *this = std::move(other); }
    MemorySurface& operator=(MemorySurface&& other) noexcept
    {
        if (this != &other) {
            release();
            std::swap(dc_, other.dc_);
            std::swap(bitmap_, other.bitmap_);
            std::swap(oldBitmap_, other.oldBitmap_);
            std::swap(width_, other.width_);
            std::swap(height_, other.height_);
        }
        return *this;
    }

    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    int width() const { return width_; }
    int height() const { return height_; }
    explicit operator bool() const { return bitmap_ != nullptr; }

    void release()
    {
        if (dc_ != nullptr && oldBitmap_ != nullptr)
            SelectObject(dc_, oldBitmap_);
        if (bitmap_ != nullptr)
            DeleteObject(bitmap_);
        if (dc_ != nullptr)
            DeleteDC(dc_);
        dc_ = nullptr;
        bitmap_ = nullptr;
        oldBitmap_ = nullptr;
        width_ = height_ = 0;
    }

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&section_); }
    ~CriticalSection() { DeleteCriticalSection(&section_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void enter() { EnterCriticalSection(&section_); }
    bool tryEnter() { return TryEnterCriticalSection(&section_) != FALSE; }
    void leave() { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

class ScopedLock {
public:
    explicit ScopedLock(CriticalSection& section) : section_(section) { section_.enter(); }
    ~ScopedLock() { section_.leave(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    CriticalSection& section_;
};

} // namespace penwick
