#include "options.h"

#include <cwchar>

namespace signhost {

const wchar_t kUsage[] =
    L"signhost [--png FILE] [--csv FILE] [--pen-width N] [--pen-color RRGGBB]\n"
    L"         [--exit-after-save] [--draw sample|FILE [--screenshot FILE]]\n"
    L"\n"
    L"  --png, --csv       where Save writes the signature (signature.png, signature.csv)\n"
    L"  --pen-width N      pen width in pixels, 1 to 50 (4)\n"
    L"  --pen-color RRGGBB ink colour as in HTML, e.g. 1F3A93 (000000)\n"
    L"  --exit-after-save  close the window once the signature is saved\n"
    L"  --draw             sign by script through real mouse input: the built-in\n"
    L"                     sample, or a file of \"x,y\" lines (blank line between\n"
    L"                     strokes); then save and exit (0 saved, 1 not saved)\n"
    L"  --screenshot FILE  with --draw: also save the window as a PNG\n";

namespace {

bool ParseWidth(const std::wstring& text, float& width)
{
    wchar_t* end = nullptr;
    const double value = std::wcstod(text.c_str(), &end);
    if (text.empty() || *end != L'\0' || !(value >= 1.0 && value <= 50.0))
        return false;
    width = static_cast<float>(value);
    return true;
}

bool ParseColor(const std::wstring& text, COLORREF& color)
{
    if (text.size() != 6)
        return false;
    wchar_t* end = nullptr;
    const unsigned long rgb = std::wcstoul(text.c_str(), &end, 16);
    if (*end != L'\0')
        return false;
    color = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    return true;
}

}  // namespace

bool ParseOptions(int argc, const wchar_t* const* argv, Options& options, std::wstring& problem)
{
    for (int i = 1; i < argc; ++i) {
        const std::wstring name = argv[i];
        if (name == L"--help" || name == L"-h" || name == L"/?") {
            options.help = true;
            continue;
        }
        if (name == L"--exit-after-save") {
            options.exitAfterSave = true;
            continue;
        }
        if (i + 1 >= argc) {
            problem = L"unknown option or missing value: " + name;
            return false;
        }
        const std::wstring value = argv[++i];
        if (name == L"--png") {
            options.pngPath = value;
        } else if (name == L"--csv") {
            options.csvPath = value;
        } else if (name == L"--draw") {
            options.draw = value;
        } else if (name == L"--screenshot") {
            options.screenshotPath = value;
        } else if (name == L"--pen-width") {
            if (!ParseWidth(value, options.penWidth)) {
                problem = L"--pen-width takes a number from 1 to 50, not " + value;
                return false;
            }
        } else if (name == L"--pen-color") {
            if (!ParseColor(value, options.penColor)) {
                problem = L"--pen-color takes six hexadecimal digits RRGGBB, not " + value;
                return false;
            }
        } else {
            problem = L"unknown option: " + name;
            return false;
        }
    }
    if (!options.screenshotPath.empty() && options.draw.empty()) {
        problem = L"--screenshot needs --draw";
        return false;
    }
    return true;
}

}  // namespace signhost
