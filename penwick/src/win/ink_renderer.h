// Rendering of points onto a canvas: committed ink on the main engine, the
// preview on the second one, and the stroke notifications that follow.
#pragma once

#include "../core/stroke_capture.h"
#include "canvas.h"

#include <windows.h>

#include <array>
#include <cstddef>

namespace penwick {

struct StrokeNotification {
    HWND window = nullptr;
    WPARAM wParam = 0;   // 0 stroke begins, 1 stroke ends
    LPARAM lParam = 0;   // screen position, x low word, y high word
};

// Notifications collected while drawLock is held and sent once it is
// released: the host's handler may call back into the library, destroy the
// canvas or shut the library down.
class PendingNotifications {
public:
    void add(const StrokeNotification& notification)
    {
        if (count_ < items_.size())
            items_[count_++] = notification;
    }
    std::size_t size() const { return count_; }
    const StrokeNotification& operator[](std::size_t index) const { return items_[index]; }

private:
    std::array<StrokeNotification, 2 * PointQueue::kCapacity> items_{};
    std::size_t count_ = 0;
};

// Renders one point (screen coordinates, converted to client coordinates in
// place). 1 when handled or ignored for its kind, 0 when there is no point,
// no main engine, or the point lies outside the client area. The caller
// holds drawLock and has checked that the library is ready.
int processInkPoint(InkPoint* point, Canvas& canvas, PendingNotifications& notifications);

// Draws the preview of the queued points onto the surface with the second
// engine instance (caller holds drawLock). The engine composes it with the
// open stroke as one ink and repaints it away when the stroke ends.
bool canDrawPreview(const Canvas& canvas);
void drawPreview(Canvas& canvas, const PreviewPlan& plan);

} // namespace penwick
