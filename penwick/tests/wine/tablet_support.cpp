#include "tablet_support.h"

namespace pwtest {

FakeTablet::FakeTablet()
{
    module_ = LoadLibraryW(L"Wintab32.dll");
    if (module_ != nullptr && GetProcAddress(module_, "FakeTabletReset") == nullptr) {
        FreeLibrary(module_);
        module_ = nullptr;
    }
}

FakeTablet::~FakeTablet()
{
    if (module_ != nullptr)
        FreeLibrary(module_);
}

template <typename Fn>
Fn FakeTablet::entry(const char* name) const
{
    if (module_ == nullptr)
        return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
}

void FakeTablet::reset() const
{
    if (const auto fn = entry<faketablet::ResetFn>("FakeTabletReset"))
        fn();
}

void FakeTablet::setInputExtent(LONG x, LONG y) const
{
    if (const auto fn = entry<faketablet::SetExtentFn>("FakeTabletSetInputExtent"))
        fn(x, y);
}

void FakeTablet::setOpenFails(bool on) const
{
    if (const auto fn = entry<faketablet::SetIntFn>("FakeTabletSetOpenFails"))
        fn(on ? 1 : 0);
}

void FakeTablet::setCloseFaults(bool on) const
{
    if (const auto fn = entry<faketablet::SetIntFn>("FakeTabletSetCloseFaults"))
        fn(on ? 1 : 0);
}

void FakeTablet::setCloseDispatches(bool on) const
{
    if (const auto fn = entry<faketablet::SetIntFn>("FakeTabletSetCloseDispatches"))
        fn(on ? 1 : 0);
}

faketablet::OpenRecord FakeTablet::openRecord() const
{
    faketablet::OpenRecord record{};
    if (const auto fn = entry<faketablet::GetOpenRecordFn>("FakeTabletGetOpenRecord"))
        fn(&record);
    return record;
}

UINT FakeTablet::post(UINT buttons, LONG x, LONG y, UINT pressure) const
{
    const auto fn = entry<faketablet::PostFn>("FakeTabletPost");
    return fn != nullptr ? fn(buttons, x, y, pressure) : 0;
}

bool FakeTablet::postMessage(UINT serial, penwick::HCTX context) const
{
    const auto fn = entry<faketablet::PostMessageFn>("FakeTabletPostMessage");
    return fn != nullptr && fn(serial, context) != FALSE;
}

int FakeTablet::queued() const
{
    const auto fn = entry<faketablet::GetIntFn>("FakeTabletQueued");
    return fn != nullptr ? fn() : -1;
}

HWND findTabletWindow()
{
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, L"MainWClass", L"Sample")) != nullptr) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId())
            return window;
    }
    return nullptr;
}

} // namespace pwtest
