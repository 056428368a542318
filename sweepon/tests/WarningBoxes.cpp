#include "WarningBoxes.h"

namespace sweepon_test {

namespace {

constexpr int kMessageTextId = 0xFFFF;  // the static control that holds a box's text

struct BoxSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK MatchBox(HWND window, LPARAM search)
{
    auto& box = *reinterpret_cast<BoxSearch*>(search);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == box.process && ClassName(window) == L"#32770" && IsWindowVisible(window)) {
        box.found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::wstring WindowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring ClassName(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring BoxText(HWND box)
{
    const HWND text = GetDlgItem(box, kMessageTextId);
    return text ? WindowText(text) : std::wstring();
}

HWND FindShownBox(DWORD process)
{
    BoxSearch search{process, nullptr};
    EnumWindows(&MatchBox, reinterpret_cast<LPARAM>(&search));
    return search.found && !BoxText(search.found).empty() ? search.found : nullptr;
}

HWND WaitForBox(DWORD process, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
        if (const HWND box = FindShownBox(process)) {
            return box;
        }
        Sleep(20);
    }
    return nullptr;
}

void PressOk(HWND box)
{
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
}

bool WaitUntilClosed(HWND box, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
        if (!IsWindow(box) || !IsWindowVisible(box)) {
            return true;
        }
        Sleep(20);
    }
    return false;
}

}  // namespace sweepon_test
