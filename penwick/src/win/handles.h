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

// A DC of a window from the system's cache, released on destruction. It
// clips as the window's styles ask (WS_CLIPCHILDREN, WS_CLIPSIBLINGS), as
// the window's own DC does: a plain cache DC would draw over the host's
// child windows and the siblings above the window.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window)
    {
        if (window == nullptr)
            return;
        const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
        DWORD flags = DCX_CACHE;
        if ((style & WS_CLIPCHILDREN) != 0)
            flags |= DCX_CLIPCHILDREN;
        if ((style & WS_CLIPSIBLINGS) != 0)
            flags |= DCX_CLIPSIBLINGS;
        dc_ = GetDCEx(window, nullptr, flags);
    }
    ~WindowDC()
    {
        if (dc_ != nullptr)
            ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC get() const { return dc_; }

private:
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
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

// A pointer per thread. The system's TLS, not C++ thread_local: the C++
// runtime keeps a record for each thread that touches one, which the
// library cannot free when it is unloaded.
class ThreadSlot {
public:
    ThreadSlot() : index_(TlsAlloc()) {}
    ~ThreadSlot()
    {
        if (index_ != TLS_OUT_OF_INDEXES)
            TlsFree(index_);
    }
    ThreadSlot(const ThreadSlot&) = delete;
    ThreadSlot& operator=(const ThreadSlot&) = delete;

    void* get() const { return index_ != TLS_OUT_OF_INDEXES ? TlsGetValue(index_) : nullptr; }
    void set(void* value) const
    {
        if (index_ != TLS_OUT_OF_INDEXES)
            TlsSetValue(index_, value);
    }

private:
    DWORD index_;
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
