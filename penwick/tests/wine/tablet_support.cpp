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

void FakeTablet::setPressureAxis(std::optional<penwick::AXIS> axis) const
{
    if (const auto fn = library_.entry<faketablet::SetPressureAxisFn>("FakeTabletSetPressureAxis"))
        fn(axis.has_value() ? 1 : 0, axis ? axis->axMin : 0, axis ? axis->axMax : 0);
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

RECT seenScreen{};

int WINAPI seenSystemMetrics(int index)
{
    switch (index) {
    case SM_XVIRTUALSCREEN:
        return seenScreen.left;
    case SM_YVIRTUALSCREEN:
        return seenScreen.top;
    case SM_CXVIRTUALSCREEN:
        return seenScreen.right - seenScreen.left;
    case SM_CYVIRTUALSCREEN:
        return seenScreen.bottom - seenScreen.top;
    default:
        return GetSystemMetrics(index);
    }
}

// The import address table slot through which `module` calls `dll`!`function`.
void** importSlot(HMODULE module, const char* dll, const char* function)
{
    auto* const base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return nullptr;
    for (auto* library = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         library->Name != 0; ++library) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + library->Name), dll) != 0 || !library->OriginalFirstThunk)
            continue;
        const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA32*>(base + library->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA32*>(base + library->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL32(names->u1.Ordinal))
                continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

void writeSlot(void** slot, void* value)
{
    DWORD previous = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &previous);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, previous, &previous);
}

} // namespace

VirtualScreenSeen::VirtualScreenSeen(const RECT& screen)
{
    const HMODULE penwick = GetModuleHandleW(L"penwick.dll");
    slot_ = penwick != nullptr ? importSlot(penwick, "user32.dll", "GetSystemMetrics") : nullptr;
    if (slot_ == nullptr)
        return;
    seenScreen = screen;
    original_ = *slot_;
    writeSlot(slot_, reinterpret_cast<void*>(&seenSystemMetrics));
}

VirtualScreenSeen::~VirtualScreenSeen()
{
    if (slot_ != nullptr)
        writeSlot(slot_, original_);
}

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
