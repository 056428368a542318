// Small owners for the Win32 and GDI handles of the library: each frees
// what it holds exactly once and cannot be copied.
#pragma once

#include <windows.h>

#include <utility>

namespace penwick {

class UniqueModule {
public:
    UniqueModule() = default;
    explicit UniqueModule(HMODULE module) : module_(module) {}
    ~UniqueModule() { reset(); }
    UniqueModule(const UniqueModule&) = delete;
    UniqueModule& operator=(const UniqueModule&) = delete;

    HMODULE get() const { return module_; }
    explicit operator bool() const { return module_ != nullptr; }
    void reset(HMODULE module = nullptr)
    {
        if (module_ != nullptr)
            FreeLibrary(module_);
        module_ = module;
    }

private:
    HMODULE module_ = nullptr;
};

class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void reset(HANDLE handle = nullptr)
    {
        if (handle_ != nullptr)
            CloseHandle(handle_);
        handle_ = handle;
    }

private:
    HANDLE handle_ = nullptr;
};

template <typename T>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(T object) : object_(object) {}
    ~GdiObject() { reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    T get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    void reset(T object = nullptr)
    {
        if (object_ != nullptr)
            DeleteObject(object_);
        object_ = object;
    }

private:
    T object_ = nullptr;
};

// A window's DC from GetDC, released on destruction.
class ScopedWindowDC {
public:
    explicit ScopedWindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~ScopedWindowDC()
    {
        if (dc_ != nullptr)
            ReleaseDC(window_, dc_);
    }
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;

    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// A DC of the window from the system's cache, even for windows of a class
// with its own DC (CS_OWNDC): that one is the host's, which the host's
// thread may be using at the very moment, and GDI refuses a DC that
// another thread is using.
class PrivateWindowDC {
public:
    explicit PrivateWindowDC(HWND window) : window_(window), dc_(GetDCEx(window, nullptr, DCX_CACHE)) {}
    ~PrivateWindowDC()
    {
        if (dc_ != nullptr)
            ReleaseDC(window_, dc_);
    }
    PrivateWindowDC(const PrivateWindowDC&) = delete;
    PrivateWindowDC& operator=(const PrivateWindowDC&) = delete;

    HDC get() const { return dc_; }

private:
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
