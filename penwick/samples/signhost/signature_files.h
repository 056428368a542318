// Saving a signature the way a host usually keeps it: the ink as a PNG
// cropped to where the user wrote, and the pen's points as CSV.
//
// Both read the canvas through penwick.h only. Call them between strokes
// (after WM_CANVAS_STROKE with PENWICK_STROKE_END, or when no pen is down):
// the canvas's image is a DC that its drawing thread uses while a stroke
// is being drawn.
#pragma once

#include <windows.h>

#include <string>

namespace signhost {

struct SaveResult {
    bool saved = false;
    std::wstring problem;   // why nothing was saved, for the user
};

// Where the user wrote: the canvas's drawn rectangle (which penwick grows
// by the pen width) cut to the canvas window's client area. Empty when
// nothing is drawn since the last clear.
RECT DrawnArea(int canvasId, HWND canvasWindow);

// Writes `area` of the canvas's image to `path` as a PNG (24-bit, opaque).
SaveResult SaveCanvasPng(int canvasId, const RECT& area, const std::wstring& path);

// Writes `area` of any DC (the screen, a window) to `path` as a PNG.
SaveResult SaveDcAreaPng(HDC source, const RECT& area, const std::wstring& path);

// Writes every point penwick recorded since the last DrawPathClear, one
// line each, in canvas client pixels: x,y,pressure,time,flags (time in
// milliseconds of GetTickCount; flags 1 first point of a stroke, 2 last).
// `pointCount` receives the number of points written.
SaveResult SavePathCsv(int canvasId, const std::wstring& path, int& pointCount);

}  // namespace signhost
