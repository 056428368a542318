// Where the current user's Start Menu lies.
#pragma once

#include "framework/FrameworkString.h"

#include <windows.h>
#include <shlobj.h>

#include <optional>

// The file-system path of the user's Start Menu (CSIDL_STARTMENU), without
// a trailing backslash; nothing when the shell cannot give one.
std::optional<CString> QueryUserStartMenu();

// The file-system path of a shell item, in wide text whatever the ANSI
// code page; nothing for an item that has no such path (a virtual folder).
std::optional<CString> PathOfItemList(LPCITEMIDLIST items);
