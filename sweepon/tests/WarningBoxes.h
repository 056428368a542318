// The real warning boxes of a running sweepon.exe, as tests find and close
// them on the test display (under Wine a box blocks until it is answered).
#pragma once

#include <windows.h>

#include <string>

namespace sweepon_test {

std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
// The message a box shows.
std::wstring BoxText(HWND box);

// A visible dialog box of `process` whose text is in place; null when there
// is none now.
HWND FindShownBox(DWORD process);
// FindShownBox, waiting up to `timeoutMs` for one.
HWND WaitForBox(DWORD process, DWORD timeoutMs);
// Presses the box's OK button.
void PressOk(HWND box);
// Wine hides a closed box at once but may destroy it only later: true once
// it is hidden or gone.
bool WaitUntilClosed(HWND box, DWORD timeoutMs);

}  // namespace sweepon_test
