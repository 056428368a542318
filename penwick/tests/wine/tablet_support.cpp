#include "tablet_support.h"

namespace pwtest {

FakeTablet::FakeTablet() : library_(L"Wintab32.dll", "FakeTabletReset") {}

void FakeTablet::reset() const
{
    if (const auto fn = library_.entry<faketablet::ResetFn>("FakeTabletReset"))
        fn();
}

void FakeTablet::setInputExtent(LONG x, LONG y) const
{
    if (const auto fn = library_.entry<faketablet::SetExtentFn>("FakeTabletSetInputExtent"))
        fn(x, y);
}

void FakeTablet::setOpenFails(bool on) const
{
    if (const auto fn = library_.entry<faketablet::SetIntFn>("FakeTabletSetOpenFails"))
        fn(on ? 1 : 0);
}

void FakeTablet::setCloseFaults(bool on) const
{
    if (const auto fn = library_.entry<faketablet::SetIntFn>("FakeTabletSetCloseFaults"))
        fn(on ? 1 : 0);
}

void FakeTablet::setCloseDispatches(bool on) const
{
    if (const auto fn = library_.entry<faketablet::SetIntFn>("FakeTabletSetCloseDispatches"))
        fn(on ? 1 : 0);
}

faketablet::OpenRecord FakeTablet::openRecord() const
{
    faketablet::OpenRecord record{};
    if (const auto fn = library_.entry<faketablet::GetOpenRecordFn>("FakeTabletGetOpenRecord"))
        fn(&record);
    return record;
}

UINT FakeTablet::post(UINT buttons, LONG x, LONG y, UINT pressure) const
{
    const auto fn = library_.entry<faketablet::PostFn>("FakeTabletPost");
    return fn != nullptr ? fn(buttons, x, y, pressure) : 0;
}

int FakeTablet::queued() const
{
    const auto fn = library_.entry<faketablet::GetIntFn>("FakeTabletQueued");
    return fn != nullptr ? fn() : -1;
}

namespace {

constexpr wchar_t kTabletClass[] = L"MainWClass";

} // namespace

HWND findTabletWindow()
{
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, kTabletClass, L"Sample")) != nullptr) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId())
            return window;
    }
    return nullptr;
}

bool tabletClassRegistered()
{
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    return GetClassInfoExW(GetModuleHandleW(nullptr), kTabletClass, &info) != FALSE;
}

} // namespace pwtest
