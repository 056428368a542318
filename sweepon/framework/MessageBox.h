// The one way the program shows a message box. Tests route boxes to a
// recorder of their own, so that a failure path runs without a desktop and
// can never wait on a box nobody will close.
#pragma once

#include <windows.h>

namespace framework {

using MessageBoxFunction = int(WINAPI*)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

// Shows the box (MessageBoxW unless routed elsewhere) and returns the
// button that closed it.
int ShowMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

// Routes later boxes to `replacement` (nullptr: MessageBoxW again) and
// returns the previous routing.
MessageBoxFunction RouteMessageBoxes(MessageBoxFunction replacement);

}  // namespace framework
