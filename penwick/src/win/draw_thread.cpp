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

// The canvas whose stroke notification this thread is handling, innermost.
thread_local Canvas* handlingNotificationOf = nullptr;

// drawLock as the drawing thread takes it: by polling, never by waiting
// inside the lock, so that a thread ended forcibly cannot be left queued on
// it. Gives up when the thread is asked to stop.
class DrawLockAttempt {
public:
    explicit DrawLockAttempt(const Canvas& canvas) : section_(*library().drawLock)
    {
        while (!(held_ = section_.tryEnter())) {
            if (canvas.threadState.load() != kThreadRunning)
                return;
            Sleep(1);
        }
    }
    ~DrawLockAttempt()
    {
        if (held_)
            section_.leave();
    }
    DrawLockAttempt(const DrawLockAttempt&) = delete;
    DrawLockAttempt& operator=(const DrawLockAttempt&) = delete;

    bool held() const { return held_; }

private:
    CriticalSection& section_;
    bool held_ = false;
};

UINT captureMessage()
{
    static const UINT message = RegisterWindowMessageW(L"Penwick.CanvasMouseCapture");
    return message;
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
    canvas_.threadState.store(kThreadStopped);
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
        DrawLockAttempt lock(canvas_);
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
        DrawLockAttempt lock(canvas_);   // the pressure history is shared
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
    PostMessageW(canvas_.window, captureMessage(), capture ? 1 : 0, 0);
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
    DrawingThread thread(*static_cast<Canvas*>(parameter));
    thread.run();
    return 0;
}

bool waitWhileLettingSentMessagesThrough(HANDLE thread, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
        // MWMO_INPUTAVAILABLE: also wake for messages sent before the wait.
        const DWORD result =
            MsgWaitForMultipleObjectsEx(1, &thread, timeoutMs - elapsed, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (result == WAIT_OBJECT_0)
            return true;
        if (result != WAIT_OBJECT_0 + 1)
            return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

} // namespace

bool startDrawThread(Canvas& canvas)
{
    captureMessage();   // registered here, not first on the drawing thread
    canvas.threadState.store(kThreadRunning);
    canvas.drawThread.reset(CreateThread(nullptr, 0, drawThreadProc, &canvas, 0, nullptr));
    if (!canvas.drawThread) {
        canvas.threadState.store(kThreadIdle);
        return false;
    }
    return true;
}

void stopDrawThread(Canvas& canvas)
{
    if (!canvas.drawThread)
        return;
    canvas.threadState.store(kThreadStopRequested);
    // Destroyed from inside the host's handler of this canvas's stroke
    // notification: the drawing thread waits for that handler to return,
    // which cannot happen before we do. Let it go on now.
    if (handlingNotificationOf == &canvas && canvas.notifying.load()
        && (InSendMessageEx(nullptr) & (ISMEX_SEND | ISMEX_REPLIED)) == ISMEX_SEND)
        ReplyMessage(0);

    if (!waitWhileLettingSentMessagesThrough(canvas.drawThread.get(), kStopWaitMs)) {
        // Last resort. Holding drawLock keeps the thread out of every
        // section that takes it (rendering, the engine, the shared
        // pressure history), and it never waits queued on that lock;
        // outside those sections it holds nothing of ours and allocates
        // nothing.
        ScopedLock lock(*library().drawLock);
        TerminateThread(canvas.drawThread.get(), 1);
        WaitForSingleObject(canvas.drawThread.get(), INFINITE);
        ClipCursor(nullptr);
        canvas.threadState.store(kThreadStopped);
    }
    canvas.drawThread.reset();
}

NotificationScope::NotificationScope(Canvas* canvas, UINT message) : previous_(handlingNotificationOf)
{
    handlingNotificationOf = message == WM_CANVAS_STROKE ? canvas : nullptr;
}

NotificationScope::~NotificationScope()
{
    handlingNotificationOf = previous_;
}

UINT canvasCaptureMessage()
{
    return captureMessage();
}

} // namespace penwick
