// Reference-counted start-up and shut-down of the library, and its end when
// it is unloaded without the final shut-down.
#pragma once

namespace penwick {

// Held by every exported call and every tablet packet: start-up, shut-down
// and the canvas calls never overlap across threads. Recursive, because a
// host's window procedure may call back into the library while a call of
// the same thread waits for a drawing thread and lets its messages through.
// A thread waiting for it lets messages sent to it through as well: the
// thread holding it may be waiting for one of ours (a drawing thread
// sending a notification to a window of this thread, or a shut-down closing
// the hidden tablet window).
class LifecycleLock {
public:
    LifecycleLock();
    ~LifecycleLock();
    LifecycleLock(const LifecycleLock&) = delete;
    LifecycleLock& operator=(const LifecycleLock&) = delete;
};

// True while the final shut-down is freeing everything; calls made from
// inside it (by a host's window procedure) must not start anything new.
bool isShuttingDown();

int initSdk();
int uninitSdk();

// The library is being unloaded (FreeLibrary, the loader lock held) while
// still started: stops the drawing threads and the hidden tablet window
// and frees what the library holds, waiting for nothing that needs the
// loader lock.
void endAtUnload();

} // namespace penwick
