/*
 * penwick.h - the handwriting (signature) canvas library penwick.dll.
 *
 * Penwick turns a window of your application into a signature canvas. The
 * user writes with the mouse, a touch screen (which moves the cursor) or a
 * Wintab pen tablet; the ink is rendered by the ink engine libLPLines.dll,
 * which must lie in the same folder as penwick.dll.
 *
 * Typical use, on the thread that owns the canvas window and pumps its
 * messages:
 *
 *     InitSDK();                         // once per user of the library
 *     int canvas;
 *     if (InitCanvas(GetDC(window), window, &canvas) == 0) {
 *         SetPenWidth(canvas, 3.0f);
 *         SetPenColor(canvas, RGB(0, 0, 128));
 *         ...                            // the user signs; WM_CANVAS_STROKE arrives
 *         HDC image;
 *         GetCanvasDC(canvas, &image);   // the signature, to copy or save
 *         DestroyCanvas(canvas);
 *     }
 *     UninitSDK();                       // once per InitSDK
 *
 * Results: every function returns 0 for success and 1 for failure. The
 * canvas functions fail with 1 when the library is not started (or the ink
 * engine could not be loaded), when no canvas has the id (-1, never made,
 * or already destroyed), and when an output pointer is null. Values
 * outside a setter's range are ignored without failing. When the ink
 * engine could not make its instances for a canvas, the engine-dependent
 * functions do nothing and return 0.
 *
 * Colours are COLORREF values (0x00BBGGRR, as made by RGB()).
 *
 * Threads: call InitSDK, UninitSDK, InitCanvas and DestroyCanvas on the
 * thread that owns the canvas windows and pumps their messages. The first
 * InitSDK creates a hidden window on its thread; tablet input arrives only
 * while that thread pumps messages. The other functions may be called from
 * any thread; all calls are serialised with one another and with the
 * rendering of points. Each canvas has its own drawing thread, which
 * samples the mouse about every 5 ms while the cursor is over the canvas.
 *
 * It is safe to destroy the canvas, or to shut the library down, from
 * inside the handler of WM_CANVAS_STROKE, or while a stroke is being drawn.
 *
 * Pen tablets: the first InitSDK loads Wintab32.dll (through the usual DLL
 * search) and opens one system-wide tablet context whose packets are posted
 * to a hidden window ("MainWClass", never shown) of the calling thread, so
 * the pen writes only while that thread pumps messages. Each packet moves
 * the cursor to the pen and draws on the active canvas (the one whose
 * window last received a mouse move) with the pen's own pressure, scaled
 * to the pen's range as the driver reports it: a pen pressed fully gives
 * 1.0 whether it has 1024 or 8192 levels (a driver that cannot say counts
 * as 1024: raw / 1023). The tablet covers the whole virtual screen, every
 * monitor included. A stroke stays with the canvas it began
 * on until the pen lifts, even when the pen crosses another canvas; a pen
 * that touches down before any canvas has seen the mouse draws nothing.
 * While packets arrive, the canvas ignores the mouse (a tablet driver may
 * move and click it along with the pen), until a second passes without a
 * packet. Packets skip the smoothing queue, so tablet ink has no preview
 * and no taper: each point is drawn as the pen reports it.
 *
 * Diagnostics go to the debugger output (OutputDebugString) only: "Init OK"
 * when the first InitSDK opened a tablet; "LoadLibrary error: N" (N the
 * system error, 126 for a missing file) and "ShowError()" when Wintab32.dll
 * cannot be loaded; "UnloadWintab()" when it lacks an entry point and at
 * the final UninitSDK.
 */
#ifndef PENWICK_H
#define PENWICK_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifndef PENWICK_API
#define PENWICK_API __declspec(dllimport)
#endif

/*
 * WM_CANVAS_STROKE is sent (SendMessage) to the canvas window when a stroke
 * begins (wParam PENWICK_STROKE_BEGIN) and when it ends (wParam
 * PENWICK_STROKE_END). lParam holds the pen's position in screen
 * coordinates: x in the low word, y in the high word (each cut to 16 bits;
 * use GET_X_LPARAM / GET_Y_LPARAM from <windowsx.h>). It reaches the
 * window's procedure on the window's own thread, a few milliseconds after
 * the pen went down or up (for a tablet's pen, while the thread that
 * started the library dispatches the packet); the return value is ignored. A stroke too short
 * to reach the canvas (it began outside the client area) sends nothing; a
 * new stroke that begins while the previous one never ended sends a second
 * begin without an end.
 */
#define WM_CANVAS_STROKE (WM_USER + 1000)
#define PENWICK_STROKE_BEGIN 0
#define PENWICK_STROKE_END 1

/* Ordinal 1. Starts the library; reference-counted: every call must be
 * matched by one UninitSDK, whatever it returned. The first call loads
 * libLPLines.dll from penwick.dll's folder and then the Wintab pen tablet.
 * 0: ready, with a tablet. 1: either ready for mouse and touch only (no
 * Wintab32.dll, one without all 16 Wintab functions, or no tablet context:
 * InitCanvas works), or unusable (libLPLines.dll missing: InitCanvas
 * fails). Later calls load nothing and return 0 when the
 * library is usable (with or without a tablet), 1 when it is not. */
PENWICK_API int WINAPI InitSDK(void);

/* Ordinal 2. Matches one InitSDK; the last one closes the tablet context
 * (a fault inside the tablet driver's WTClose is ignored), destroys every
 * canvas left, gives their windows their procedures back and unloads the
 * ink engine and the tablet. Extra calls do nothing. Always 0. */
PENWICK_API int WINAPI UninitSDK(void);

/* Ordinal 3. Makes a canvas of the window that owns `dc` (or of
 * `fallbackWindow` when `dc` belongs to no window, e.g. a memory DC) and
 * writes its id (1, 2, 3, ...; never reused) to *canvasId. The window's
 * procedure is subclassed; the surface follows the client size.
 * In auto-paint mode (the default) the library paints the window and keeps
 * `dc` for the canvas's life, so pass a DC that stays valid (a class or
 * private DC, or one never released); with a null `dc` it takes one itself.
 * 1 (and *canvasId -1): library not ready, no such window, the window
 * already has a canvas, or canvasId null. */
PENWICK_API int WINAPI InitCanvas(HDC dc, HWND fallbackWindow, int* canvasId);

/* Ordinal 4. Stops the canvas's drawing thread, frees everything the
 * canvas made and restores the window's own procedure. The id is dead
 * afterwards. */
PENWICK_API int WINAPI DestroyCanvas(int canvasId);

/* Ordinal 5. Pen width in pixels, 1 to 50 inclusive (default 6); other
 * values are ignored (still 0). */
PENWICK_API int WINAPI SetPenWidth(int canvasId, float width);

/* Ordinal 6. The pen width, cut to a whole number (2.5 reads as 2.0). */
PENWICK_API int WINAPI GetPenWidth(int canvasId, float* width);

/* Ordinal 7. Ink colour (default black). The ink's opacity is kept. */
PENWICK_API int WINAPI SetPenColor(int canvasId, COLORREF color);

/* Ordinal 8. The ink colour, without its opacity. */
PENWICK_API int WINAPI GetPenColor(int canvasId, COLORREF* color);

/* Ordinal 9. Erases the canvas to white and forgets the drawn rectangle
 * (IsCanvasDrawed reads 0). The recorded path stays (DrawPathClear). In
 * host-paint mode the window keeps what the host painted until the next
 * stroke. */
PENWICK_API int WINAPI CanvasClear(int canvasId);

/* Ordinal 10. The rectangle drawn on since the last clear, in client
 * coordinates, grown by the pen width on every side (not clamped). Note
 * the argument order: left, right, top, bottom. Before anything is drawn
 * it reads (-w, w, -w, w) for pen width w. */
PENWICK_API int WINAPI GetCanvasDrawedRect(int canvasId, int* left, int* right, int* top, int* bottom);

/* Ordinal 11. Copies what the window currently shows into the canvas's
 * surface (e.g. after the host painted a background in host-paint mode).
 * It does not paint the window. */
PENWICK_API int WINAPI UpdateCanvas(int canvasId);

/* Ordinal 12. The ink engine's drawing surface: the signature image. The
 * DC belongs to the canvas; use it (BitBlt from it) until the canvas is
 * destroyed, never release or select into it. Read it between strokes
 * (after WM_CANVAS_STROKE with PENWICK_STROKE_END): GDI refuses a DC that
 * another thread, here the canvas's drawing thread, is using. */
PENWICK_API int WINAPI GetCanvasDC(int canvasId, HDC* dc);

/* Ordinal 13. Ink flow (opacity of the ink, default 1.0), passed to the
 * engine unchecked. */
PENWICK_API int WINAPI SetCanvasInkFlow(int canvasId, float inkFlow);

/* Ordinal 14. The ink flow. */
PENWICK_API int WINAPI GetCanvasInkFlow(int canvasId, float* inkFlow);

/* Ordinal 15. Drawing quality, passed to the engine unchecked (see the
 * engine's documentation for its values). */
PENWICK_API int WINAPI SetDrawQuality(int canvasId, int quality);

/* Ordinal 16. The drawing quality. */
PENWICK_API int WINAPI GetDrawQuality(int canvasId, int* quality);

/* Ordinal 17. Number of recorded path points (every point drawn since the
 * last DrawPathClear). */
PENWICK_API int WINAPI GetDrawPathCount(int canvasId, int* count);

/* Ordinal 18. Path point `index` (0 to count - 1), written to `point`; the
 * record's layout is the ink engine's (see its header, lplines.h); what an
 * index out of range gives is the engine's too. */
PENWICK_API int WINAPI GetDrawPathPoint(int canvasId, int index, void* point);

/* Ordinal 19. Forgets the recorded path; when the engine succeeds, also
 * the drawn rectangle (IsCanvasDrawed reads 0). The ink stays. */
PENWICK_API int WINAPI DrawPathClear(int canvasId);

/* Ordinal 20. 1 (default): the library paints the window (WM_PAINT and
 * every stroke). 0: the host paints; at every pen-down the library first
 * takes what the window shows as the background of the stroke. Switching
 * to 1 later makes the library take a DC of the window with GetDC. Any
 * non-zero value means 1. */
PENWICK_API int WINAPI SetCanvasAutoPaint(int canvasId, int autoPaint);

/* Ordinal 21. 1 once a stroke has begun since the last clear, resize
 * (WM_SIZE) or DrawPathClear, else 0. */
PENWICK_API int WINAPI IsCanvasDrawed(int canvasId, int* drawn);

#ifdef __cplusplus
}
#endif

#endif /* PENWICK_H */
