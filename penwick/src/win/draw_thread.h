// The drawing thread of a canvas: samples the mouse (and touch, which moves
// the cursor) while its canvas is active, and renders the queued points.
#pragma once

#include "canvas.h"

namespace penwick {

// Starts the thread; false when the system refuses one.
bool startDrawThread(Canvas& canvas);

// Asks the thread to stop and waits until it has ended. A call of the
// host waits while letting messages sent to this thread through (the
// thread may be inside SendMessageW to it). At unload nothing is let
// through: a thread that has stopped is parked, holding nothing, and is
// ended there; it must not reach its own exit, which needs the loader
// lock. Either way a thread that does not stop in time is ended forcibly,
// and then only while drawLock is held, so that it cannot die holding it.
void stopDrawThread(Canvas& canvas, Ending ending);

// The registered message by which a drawing thread asks the window's own
// thread to capture (wParam 1) or release (wParam 0) the mouse.
UINT canvasCaptureMessage();

// Called by canvasWndProc around the host's handling of a stroke
// notification, so that destroying the canvas from inside the handler can
// release the waiting drawing thread first.
class NotificationScope {
public:
    NotificationScope(Canvas* canvas, UINT message);
    ~NotificationScope();
    NotificationScope(const NotificationScope&) = delete;
    NotificationScope& operator=(const NotificationScope&) = delete;

private:
    Canvas* previous_;
};

} // namespace penwick
