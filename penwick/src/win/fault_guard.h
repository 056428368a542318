// Calls into outside code that may fault (a tablet driver's WTClose at
// shut-down) without letting the fault end the process.
#pragma once

#include <windows.h>

namespace penwick {

using HandleCall = BOOL(WINAPI*)(HANDLE handle);

// Calls `call(handle)` under an exception frame of its own. True when the
// call returned; false when it raised an exception (an access violation, a
// breakpoint, a foreign language exception, ...), which is then ignored:
// execution resumes here with this thread's registers and exception chain
// as they were before the call. Whatever the call left half done stays so.
bool callCatchingFaults(HandleCall call, HANDLE handle);

} // namespace penwick
