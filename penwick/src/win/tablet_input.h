// Tablet packets: each one moves the cursor and becomes a point, with the
// pen's own pressure, on the canvas the pen is writing on.
#pragma once

#include <windows.h>

namespace penwick {

// WT_PACKET on the hidden tablet window (wParam the packet's serial,
// lParam its context), on the thread that created that window. 1 when no
// canvas is active (the packet only moved the cursor), otherwise 0.
LRESULT onTabletPacket(WPARAM serial, LPARAM context);

} // namespace penwick
