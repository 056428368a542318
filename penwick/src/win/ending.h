// How the library lets go of what it holds.
#pragma once

namespace penwick {

// By a call of the host (DestroyCanvas, the final UninitSDK), which may
// wait for a drawing thread while letting messages through and ask the
// thread of another window for what only that thread can do; or while the
// library is unloaded without the final UninitSDK, inside the loader lock,
// where nothing may be waited for that needs the loader lock or another
// thread's message loop.
enum class Ending { byCall, atUnload };

} // namespace penwick
