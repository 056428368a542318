// Reference-counted start-up and shut-down of the library.
#pragma once

#include <mutex>

namespace penwick {

// Held by every exported function: start-up, shut-down and the canvas
// calls never overlap across threads. Recursive, because a host's window
// procedure may call back into the library while a call of the same thread
// waits for a drawing thread and lets its messages through.
std::unique_lock<std::recursive_mutex> lockLifecycle();
// The same lock if it is free (or already this thread's); not owned otherwise.
std::unique_lock<std::recursive_mutex> tryLockLifecycle();

// True while the final shut-down is freeing everything; calls made from
// inside it (by a host's window procedure) must not start anything new.
bool isShuttingDown();

int initSdk();
int uninitSdk();

} // namespace penwick
