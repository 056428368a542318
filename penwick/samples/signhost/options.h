// signhost's command line.
#pragma once

#include <windows.h>

#include <string>

namespace signhost {

struct Options {
    std::wstring pngPath = L"signature.png";
    std::wstring csvPath = L"signature.csv";
    float penWidth = 4.0f;
    COLORREF penColor = RGB(0, 0, 0);
    bool exitAfterSave = false;      // a person signs, presses Save, the window closes
    std::wstring draw;               // "sample" or a signature file: sign by script
    std::wstring screenshotPath;     // with draw: the window as a PNG, after saving
    bool help = false;
};

extern const wchar_t kUsage[];

// False (with the reason in `problem`) for an unknown option, a missing or
// bad value.
bool ParseOptions(int argc, const wchar_t* const* argv, Options& options, std::wstring& problem);

}  // namespace signhost
