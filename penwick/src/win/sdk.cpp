#include "sdk.h"

#include "canvas.h"
#include "debug_print.h"
#include "library.h"

#include <string>
#include <vector>

namespace penwick {

namespace {

std::recursive_mutex lifecycleMutex;
bool shuttingDown = false;

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

void detachEveryCanvas(Library& lib)
{
    std::vector<CanvasPtr> canvases;
    {
        ScopedLock lock(*lib.canvasLock);
        for (const CanvasPtr& canvas : lib.canvasRegistry) {
            canvas->destroying.store(true);
            canvases.push_back(canvas);
        }
    }
    // The registry keeps each canvas while it is detached, so that its
    // window procedure still finds it and forwards the host's messages.
    for (const CanvasPtr& canvas : canvases) {
        detachCanvas(*canvas);
        releaseCanvas(*canvas);
    }
}

} // namespace

std::unique_lock<std::recursive_mutex> lockLifecycle()
{
    return std::unique_lock<std::recursive_mutex>(lifecycleMutex);
}

std::unique_lock<std::recursive_mutex> tryLockLifecycle()
{
    return std::unique_lock<std::recursive_mutex>(lifecycleMutex, std::try_to_lock);
}

bool isShuttingDown()
{
    return shuttingDown;
}

int initSdk()
{
    const auto guard = lockLifecycle();
    Library& lib = library();
    if (shuttingDown)
        return 1;
    if (lib.initCount > 0) {
        ScopedLock lock(*lib.initLock);
        ++lib.initCount;
        return isReady() ? 0 : 1;
    }

    lib.initLock = std::make_unique<CriticalSection>();
    lib.canvasLock = std::make_unique<CriticalSection>();
    lib.drawLock = std::make_unique<CriticalSection>();
    {
        ScopedLock lock(*lib.initLock);
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
    const auto guard = lockLifecycle();
    Library& lib = library();
    if (shuttingDown || lib.initCount <= 0)
        return 0;
    {
        ScopedLock lock(*lib.initLock);
        --lib.initCount;
        if (lib.initCount > 0)
            return 0;
    }
    shuttingDown = true;

    lib.tablet.closeContext();
    lib.tablet.unloadWintab();
    lib.tablet.destroyTabletWindow();
    detachEveryCanvas(lib);
    // Touch registration stays bound until every window is unregistered.
    unbindTouch(lib);
    lib.inkEngine.unload();

    lib.sdkReady.store(0);
    lib.drawLock.reset();
    lib.canvasLock.reset();
    lib.initLock.reset();
    lib.activeCanvas.store(nullptr);
    shuttingDown = false;
    return 0;
}

} // namespace penwick
