#include "StartMenuFolder.h"

#include <array>

namespace {

class ShellAllocator {
public:
    ShellAllocator() = default;
    ShellAllocator(const ShellAllocator&) = delete;
    ShellAllocator& operator=(const ShellAllocator&) = delete;
    ~ShellAllocator()
    {
        if (allocator_) {
            allocator_->Release();
        }
    }
    bool Get() { return SUCCEEDED(SHGetMalloc(&allocator_)); }
    IMalloc* operator->() const { return allocator_; }

private:
    IMalloc* allocator_ = nullptr;
};

// An item list the shell handed out, given back to its allocator.
class OwnedItemList {
public:
    explicit OwnedItemList(ShellAllocator& allocator) : allocator_(allocator) {}
    OwnedItemList(const OwnedItemList&) = delete;
    OwnedItemList& operator=(const OwnedItemList&) = delete;
    ~OwnedItemList()
    {
        if (items_) {
            allocator_->Free(items_);
        }
    }
    bool GetSpecialFolder(int folder)
    {
        return SUCCEEDED(SHGetSpecialFolderLocation(nullptr, folder, &items_));
    }
    LPCITEMIDLIST Get() const { return items_; }

private:
    ShellAllocator& allocator_;
    LPITEMIDLIST items_ = nullptr;
};

}  // namespace

std::optional<CString> QueryUserStartMenu()
{
    ShellAllocator allocator;
    if (!allocator.Get()) {
        return std::nullopt;
    }
    OwnedItemList startMenu(allocator);
    if (!startMenu.GetSpecialFolder(CSIDL_STARTMENU)) {
        return std::nullopt;
    }
    return PathOfItemList(startMenu.Get());
}

std::optional<CString> PathOfItemList(LPCITEMIDLIST items)
{
    // Wide: the ANSI path has "?" for every letter the code page lacks (a
    // user named in another script) and names no folder at all. The shell
    // writes up to MAX_PATH characters, and nothing is read from the buffer
    // unless it said it wrote a path.
    std::array<wchar_t, MAX_PATH> path{};
    if (!SHGetPathFromIDListW(items, path.data())) {
        return std::nullopt;
    }
    path.back() = L'\0';
    return CString(path.data());
}
