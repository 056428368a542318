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
    // The shell writes up to MAX_PATH bytes, and nothing is read from the
    // buffer unless it said it wrote a path.
    std::array<char, MAX_PATH> path{};
    if (!SHGetPathFromIDListA(items, path.data())) {
        return std::nullopt;
    }
    path.back() = '\0';
    return WideFromAnsi(path.data());
}

CString WideFromAnsi(const char* text)
{
    if (!text) {
        return {};
    }
    const int length = MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, nullptr, 0);
    if (length <= 0) {
        return {};
    }
    CString wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length) - 1);  // the terminator is the string's own
    return wide;
}
