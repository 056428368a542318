// The running Windows version, from the platform's reports.
#pragma once

#include "framework/FrameworkString.h"

#include <windows.h>

// True when the kernel (RtlGetVersion, which no compatibility manifest
// bends) reports at least major.minor; false when it cannot be asked.
bool IsWindowsVersionAtLeast(WORD major, WORD minor);

// "Windows 10", "Windows 7", "Windows XP", ... or the empty text for a
// version without a name.
CString GetWindowsVersionName();
