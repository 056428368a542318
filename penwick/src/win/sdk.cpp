#include "sdk.h"

#include "canvas.h"
#include "debug_print.h"
#include "library.h"

#include <string>
#include <vector>

namespace penwick {

namespace {

// This library's own file name, however long.
std::wstring moduleFileName(HMODULE module)
{
    std::wstring name(300, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0)
            return {};
        if (length < name.size()) {
            name.resize(length);
            return name;
        }
        name.resize(name.size() * 2);
    }
}

// The engine lives next to this library: its folder (with the backslash),
// or nothing when the name has no folder.
std::wstring inkEnginePath()
{
    std::wstring path = moduleFileName(library().module);
    const std::size_t slash = path.find_last_of(L'\\');
    path.resize(slash == std::wstring::npos ? 0 : slash + 1);
    return path + L"libLPLines.dll";
}

void bindTouch(Library& lib)
{
    lib.user32.reset(LoadLibraryW(L"user32.dll"));
    if (!lib.user32)
        return;
    lookUpEntry(lib.user32.get(), "RegisterTouchWindow", lib.registerTouchWindow);
    lookUpEntry(lib.user32.get(), "UnregisterTouchWindow", lib.unregisterTouchWindow);
}

void unbindTouch(Library& lib)
{
    lib.registerTouchWindow = nullptr;
    lib.unregisterTouchWindow = nullptr;
    lib.user32.reset();
}

void detachEveryCanvas(Library& lib, Ending ending)
{
    std::vector<CanvasPtr> canvases;
    {
        ScopedLock lock(lib.canvasLock);
        for (const CanvasPtr& canvas : lib.canvasRegistry) {
            canvas->destroying.store(true);
            canvases.push_back(canvas);
        }
    }
    // The registry keeps each canvas while it is detached, so that its
    // window procedure still finds it and forwards the host's messages.
    for (const CanvasPtr& canvas : canvases) {
        detachCanvas(*canvas, ending);
        releaseCanvas(*canvas);
    }
}

// Everything the first InitSDK started, in the order it is let go of:
// the tablet first, so that no packet comes while the canvases go; user32
// after the canvases, whose windows it unregisters from touch input; the
// engine last, after every instance of it is destroyed.
void endLibrary(Library& lib, Ending ending)
{
    lib.tablet.closeContext(ending);
    lib.tablet.unloadWintab();
    lib.tablet.destroyTabletWindow(ending);
    detachEveryCanvas(lib, ending);
    unbindTouch(lib);
    lib.inkEngine.unload();
    lib.sdkReady.store(0);
    lib.activeCanvas.store(nullptr);
}

} // namespace

LifecycleLock::LifecycleLock()
{
    CriticalSection& lifecycle = library().lifecycle;
    while (!lifecycle.tryEnter()) {
        MsgWaitForMultipleObjectsEx(0, nullptr, 1, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

LifecycleLock::~LifecycleLock()
{
    library().lifecycle.leave();
}

bool isShuttingDown()
{
    return library().shuttingDown.load();
}

int initSdk()
{
    const LifecycleLock guard;
    Library& lib = library();
    if (isShuttingDown())
        return 1;
    if (lib.initCount > 0) {
        ScopedLock lock(lib.initLock);
        ++lib.initCount;
        return isReady() ? 0 : 1;
    }

    {
        ScopedLock lock(lib.initLock);
        ++lib.initCount;
    }
    const std::wstring enginePath = inkEnginePath();
    bindTouch(lib);
    if (!lib.inkEngine.load(enginePath))
        return 1;

    lib.prevButtons = 0;
    lib.tabletStrokeCanvas = -1;
    lib.activeCanvas.store(nullptr);
    lib.sdkReady.store(1);
    // From here on canvases work with the mouse, whatever the tablet does.

    if (!lib.tablet.loadWintab())
        return 1;
    lib.tablet.createTabletWindow();
    if (!lib.tablet.openContext())
        return 1;
    debugPrint("Init OK");
    return 0;
}

int uninitSdk()
{
    const LifecycleLock guard;
    Library& lib = library();
    if (isShuttingDown() || lib.initCount <= 0)
        return 0;
    {
        ScopedLock lock(lib.initLock);
        --lib.initCount;
        if (lib.initCount > 0)
            return 0;
    }
    lib.shuttingDown.store(true);
    endLibrary(lib, Ending::byCall);
    lib.shuttingDown.store(false);
    return 0;
}

void endAtUnload()
{
    Library& lib = library();
    if (lib.initCount <= 0 || lib.shuttingDown.load())
        return;
    // A host thread still inside a call of ours while the library is
    // unloaded is the host's fault; its lock is not waited for.
    const bool locked = lib.lifecycle.tryEnter();
    lib.shuttingDown.store(true);
    // Drawing threads and tablet packets see at once that it is over.
    lib.sdkReady.store(0);
    endLibrary(lib, Ending::atUnload);
    lib.initCount = 0;
    if (locked)
        lib.lifecycle.leave();
}

} // namespace penwick
