#include "draw_thread.h"

#include "ink_renderer.h"
#include "library.h"

namespace penwick {

namespace {

constexpr DWORD kInactiveSleepMs = 10;
constexpr DWORD kIdleSleepMs = 5;
constexpr DWORD kUnclipAfterMs = 500;
constexpr DWORD kTabletQuietMs = 1000;
constexpr DWORD kStopWaitMs = 300;


// drawLock taken by polling, never by waiting queued inside the lock, so
// that a thread ended forcibly cannot be left queued on it; given up as
// soon as `giveUp` says so.
template <typename GiveUp>
class PolledDrawLock {
public:
    explicit PolledDrawLock(GiveUp giveUp) : section_(library().drawLock)
    {
        while (!(held_ = section_.tryEnter())) {
            if (giveUp())
                return;
            Sleep(1);
        }
    }
    ~PolledDrawLock()
    {
        if (held_)
            section_.leave();
    }
    PolledDrawLock(const PolledDrawLock&) = delete;
    PolledDrawLock& operator=(const PolledDrawLock&) = delete;

    bool held() const { return held_; }

private:
    CriticalSection& section_;
    bool held_ = false;
};

// As the drawing thread takes it: until it is asked to stop.
auto drawLockWhileRunning(const Canvas& canvas)
{
    return PolledDrawLock([&canvas] { return canvas.threadState.load() != kThreadRunning; });
}

UINT captureMessage()
{
    // The system gives the same number for the same name every time.
    return RegisterWindowMessageW(L"Penwick.CanvasMouseCapture");
}

class DrawingThread final : public StrokeRenderer {
public:
    explicit DrawingThread(Canvas& canvas) : canvas_(canvas), capture_(canvas.penState) {}

    void run();

    void commit(InkPoint& point) override
    {
        if (isReady())
            processInkPoint(&point, canvas_, notifications_);
    }
    bool canPreview() const override { return canDrawPreview(canvas_); }
    void preview(const PreviewPlan& plan) override { drawPreview(canvas_, plan); }

private:
    bool keepRunning() const;
    void cycle();
    void renderQueued();
    void leaveTabletMode();
    void sample(DWORD now);
    void unclipCursor();
    void sendNotifications();
    void requestCapture(bool capture);

    Canvas& canvas_;
    StrokeCapture capture_;
    PendingNotifications notifications_;
    bool cursorClipped_ = false;
};

bool DrawingThread::keepRunning() const
{
    return canvas_.threadState.load() == kThreadRunning && isReady() && !canvas_.windowGone.load()
        && IsWindow(canvas_.window);
}

// threadState was set to running before the thread was started: setting it
// here could overwrite a stop requested in the meantime.
void DrawingThread::run()
{
    while (keepRunning())
        cycle();
    if (cursorClipped_)
        unclipCursor();
}

void DrawingThread::cycle()
{
    if (library().activeCanvas.load() != &canvas_) {
        // A stroke whose pen has lifted is finished even when the mouse
        // has already moved on to another canvas.
        if (capture_.drainDue())
            renderQueued();
        Sleep(kInactiveSleepMs);
        return;
    }
    const DWORD now = GetTickCount();
    if (cursorClipped_ && now - capture_.lastPointTick() > kUnclipAfterMs && canvas_.penState == kPenStateUp)
        unclipCursor();

    if (canvas_.tabletActive.load()) {
        if (now - canvas_.lastTabletTick.load() < kTabletQuietMs) {
            Sleep(kInactiveSleepMs);
            return;
        }
        leaveTabletMode();
    } else if (capture_.commitDue() || capture_.drainDue()) {
        renderQueued();
    }

    if (!GetInputState())
        Sleep(kIdleSleepMs);
    sample(GetTickCount());
}

void DrawingThread::renderQueued()
{
    {
        const auto lock = drawLockWhileRunning(canvas_);
        if (!lock.held())
            return;
        if (capture_.commitDue())
            capture_.commitOldest(*this);
        if (capture_.drainDue())
            capture_.drain(*this);
        presentChanges(canvas_);
    }
    sendNotifications();
}

void DrawingThread::leaveTabletMode()
{
    canvas_.tabletActive.store(false);
    capture_.discardQueue();
}

void DrawingThread::sample(DWORD now)
{
    POINT cursor{};
    GetCursorPos(&cursor);
    if (WindowFromPoint(cursor) != canvas_.window) {
        Sleep(kInactiveSleepMs);
        return;
    }
    RECT windowRect{};
    GetWindowRect(canvas_.window, &windowRect);
    const bool pressed = (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0;

    SampleAction action = SampleAction::none;
    {
        const auto lock = drawLockWhileRunning(canvas_);   // the pressure history is shared
        if (!lock.held())
            return;
        action = capture_.sample(pressed, cursor.x, cursor.y, now, library().pressure);
    }
    if (action == SampleAction::penDown) {
        ClipCursor(&windowRect);
        cursorClipped_ = true;
        requestCapture(true);
    } else if (action == SampleAction::penUp) {
        requestCapture(false);
    }
}

void DrawingThread::unclipCursor()
{
    // Free the cursor altogether: confining it to the primary screen would
    // lock it away from every other monitor.
    ClipCursor(nullptr);
    cursorClipped_ = false;
}

// Mouse capture belongs to the thread that owns the window; this thread
// asks that one, in order, through its message queue.
void DrawingThread::requestCapture(bool capture)
{
    PostMessageW(canvas_.window, captureMessage(), capture ? 1 : 0, canvas_.id);
}

void DrawingThread::sendNotifications()
{
    for (std::size_t i = 0; i < notifications_.size(); ++i) {
        if (canvas_.threadState.load() != kThreadRunning)
            break;
        const StrokeNotification& notification = notifications_[i];
        canvas_.notifying.store(true);
        SendMessageW(notification.window, WM_CANVAS_STROKE, notification.wParam, notification.lParam);
        canvas_.notifying.store(false);
    }
    notifications_ = PendingNotifications{};
}

DWORD WINAPI drawThreadProc(void* parameter)
{
    Canvas& canvas = *static_cast<Canvas*>(parameter);
    {
        DrawingThread thread(canvas);
        thread.run();
    }
    canvas.threadState.store(kThreadStopped);
    // Holding nothing now, it waits to be let go, so that a library being
    // unloaded can end it here rather than in its exit, which needs the
    // loader lock. Signalling and waiting are one call: there is no moment
    // between them in this library's code.
    SignalObjectAndWait(canvas.threadStopped.get(), canvas.threadMayExit.get(), INFINITE, FALSE);
    return 0;
}

bool waitWhileLettingSentMessagesThrough(HANDLE object, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return WaitForSingleObject(object, 0) == WAIT_OBJECT_0;
        // MWMO_INPUTAVAILABLE: also wake for messages sent before the wait.
        const DWORD result =
            MsgWaitForMultipleObjectsEx(1, &object, timeoutMs - elapsed, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (result == WAIT_OBJECT_0)
            return true;
        if (result != WAIT_OBJECT_0 + 1)
            return WaitForSingleObject(object, 0) == WAIT_OBJECT_0;
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void terminate(Canvas& canvas)
{
    TerminateThread(canvas.drawThread.get(), 1);
    WaitForSingleObject(canvas.drawThread.get(), INFINITE);
    ClipCursor(nullptr);
    canvas.threadState.store(kThreadStopped);
}

// Last resort. Holding drawLock keeps the thread out of every section that
// takes it (rendering, the engine, the shared pressure history), and it
// never waits queued on that lock; outside those sections it holds nothing
// of ours and allocates nothing. At unload the thread holding the lock may
// itself wait for the loader lock, so it is not waited for long.
void endForcibly(Canvas& canvas, Ending ending)
{
    if (ending == Ending::byCall) {
        ScopedLock lock(library().drawLock);
        terminate(canvas);
        return;
    }
    constexpr DWORD kUnloadPatienceMs = 1000;
    const DWORD start = GetTickCount();
    const PolledDrawLock lock([start] { return GetTickCount() - start >= kUnloadPatienceMs; });
    terminate(canvas);
}

} // namespace

bool startDrawThread(Canvas& canvas)
{
    canvas.threadStopped.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    canvas.threadMayExit.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!canvas.threadStopped || !canvas.threadMayExit)
        return false;
    canvas.threadState.store(kThreadRunning);
    canvas.drawThread.reset(CreateThread(nullptr, 0, drawThreadProc, &canvas, 0, nullptr));
    if (!canvas.drawThread) {
        canvas.threadState.store(kThreadIdle);
        return false;
    }
    return true;
}

void stopDrawThread(Canvas& canvas, Ending ending)
{
    if (!canvas.drawThread)
        return;
    std::int32_t running = kThreadRunning;
    canvas.threadState.compare_exchange_strong(running, kThreadStopRequested);

    if (ending == Ending::atUnload) {
        if (WaitForSingleObject(canvas.threadStopped.get(), kStopWaitMs) != WAIT_OBJECT_0) {
            endForcibly(canvas, ending);
            return;
        }
        TerminateThread(canvas.drawThread.get(), 0);   // parked, holding nothing
        WaitForSingleObject(canvas.drawThread.get(), INFINITE);
        return;
    }

    // Destroyed from inside the host's handler of this canvas's stroke
    // notification: the drawing thread waits for that handler to return,
    // which cannot happen before we do. Let it go on now.
    if (library().handlingNotificationOf.get() == &canvas && canvas.notifying.load()
        && (InSendMessageEx(nullptr) & (ISMEX_SEND | ISMEX_REPLIED)) == ISMEX_SEND)
        ReplyMessage(0);

    if (!waitWhileLettingSentMessagesThrough(canvas.threadStopped.get(), kStopWaitMs)) {
        endForcibly(canvas, ending);
        return;
    }
    SetEvent(canvas.threadMayExit.get());
    // It only returns now, but out of this library's code, which may be
    // unloaded as soon as the host's call returns.
    WaitForSingleObject(canvas.drawThread.get(), INFINITE);
}

NotificationScope::NotificationScope(Canvas* canvas, UINT message)
    : previous_(static_cast<Canvas*>(library().handlingNotificationOf.get()))
{
    library().handlingNotificationOf.set(message == WM_CANVAS_STROKE ? canvas : nullptr);
}

NotificationScope::~NotificationScope()
{
    library().handlingNotificationOf.set(previous_);
}

UINT canvasCaptureMessage()
{
    return captureMessage();
}

} // namespace penwick
