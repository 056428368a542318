/* libLPLines: pressure-sensitive, anti-aliased ink for 32-bit Windows.
 *
 * An instance owns a drawing surface (a 32-bit DIB section in a memory
 * DC), a pen (colour, width, ink flow, tip) and a record of every point it
 * was given. A stroke starts with LPLinesClear, goes on with one
 * LPLinesLineTo per point and ends with LPLinesEnd; each call inks the new
 * part of the stroke onto the instance's surface and onto a target DC.
 *
 * Every function returns 0 (LPLINES_OK) on success, or one of the
 * LPLINES_E_* codes. A null, unknown or destroyed handle is refused with
 * LPLINES_E_HANDLE, never dereferenced. The functions may be called from
 * any thread; calls are serialised inside the library.
 *
 * docs/lplines.md describes the rendering and what callers can rely on.
 */
#ifndef LPLINES_H
#define LPLINES_H

#include <windows.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct LPLinesInstance* LPLINES_HANDLE;

#define LPLINES_OK           0
#define LPLINES_E_HANDLE     1  /* null, unknown or destroyed handle */
#define LPLINES_E_ARGUMENT   2  /* null pointer, value out of range, NaN */
#define LPLINES_E_RESOURCES  3  /* memory or GDI objects ran out */
#define LPLINES_E_PATH_FULL  4  /* LPLinesLineTo: drawn, but the path record is full */

/* Quality values (any int is accepted and read back as given):
 * 0 or less: straight segments between the points (draft);
 * 1: smooth curves through the points, within 0.25 px;
 * 2 or more: smooth curves within 0.08 px (the default). */
#define LPLINES_QUALITY_DRAFT   0
#define LPLINES_QUALITY_NORMAL  1
#define LPLINES_QUALITY_HIGH    2

/* LPLinesPoint.flags */
#define LPLINES_POINT_BEGIN  0x1u  /* first point of a stroke */
#define LPLINES_POINT_END    0x2u  /* last point of a stroke */

/* One recorded point: 20 bytes, 4-byte aligned, no padding. */
typedef struct LPLinesPoint {
    float x;          /* client pixels, as given to LPLinesLineTo */
    float y;
    float pressure;   /* as given */
    uint32_t time;    /* GetTickCount() when the point was drawn, ms */
    uint32_t flags;   /* LPLINES_POINT_BEGIN, LPLINES_POINT_END */
} LPLinesPoint;

/* flags must be 0. */
int WINAPI LPLinesCreate(LPLINES_HANDLE* handle, int flags);
int WINAPI LPLinesDestroy(LPLINES_HANDLE handle);

/* 0xAARRGGBB; alpha is the ink's opacity. Default 0xFF000000. */
int WINAPI LPLinesSetColor(LPLINES_HANDLE handle, uint32_t argb);
int WINAPI LPLinesGetColor(LPLINES_HANDLE handle, uint32_t* argb);
/* 1 to 50 (pixels at pressure 1); anything else is refused. Default 6. */
int WINAPI LPLinesSetPenWidth(LPLINES_HANDLE handle, float width);
int WINAPI LPLinesGetPenWidth(LPLINES_HANDLE handle, float* width);
/* How much ink the pen gives, 0 to 1 (larger inks as 1; negative, NaN and
 * infinity are refused). Multiplies the colour's alpha. Default 1. */
int WINAPI LPLinesSetInkFlow(LPLINES_HANDLE handle, float flow);
int WINAPI LPLinesGetInkFlow(LPLINES_HANDLE handle, float* flow);
int WINAPI LPLinesSetQuality(LPLINES_HANDLE handle, int quality);
int WINAPI LPLinesGetQuality(LPLINES_HANDLE handle, int* quality);
/* Nonzero: pressures are doubled before use (for pens that report 0 to
 * 0.5). Default 0. */
int WINAPI LPLinesSetPressureDoubled(LPLINES_HANDLE handle, int doubled);
int WINAPI LPLinesGetPressureDoubled(LPLINES_HANDLE handle, int* doubled);
/* 1: crisp edges (default); 0: soft felt-tip edges. Outside 0..1 refused. */
int WINAPI LPLinesSetTipHardness(LPLINES_HANDLE handle, float hardness);
int WINAPI LPLinesGetTipHardness(LPLINES_HANDLE handle, float* hardness);

/* The surface: 1 to 16384 pixels each way. Resizing keeps what is drawn
 * (cut at the new size, white where the surface grew). Before the first
 * call the surface is empty (0 x 0) and strokes are only recorded. */
int WINAPI LPLinesSetCanvasSize(LPLINES_HANDLE handle, int width, int height);
int WINAPI LPLinesGetCanvasSize(LPLINES_HANDLE handle, int* width, int* height);
/* Paints the whole surface white. */
int WINAPI LPLinesCanvasClear(LPLINES_HANDLE handle);
/* The memory DC holding the surface (a 32-bit top-down DIB section). It
 * belongs to the instance and stays the same DC for its life; callers may
 * draw on it and copy from it, but not select other objects into it. */
int WINAPI LPLinesGetCanvasDC(LPLINES_HANDLE handle, HDC* dc);

/* Starts a new stroke (ending an open one). */
int WINAPI LPLinesClear(LPLINES_HANDLE handle);
/* Continues the stroke to (x, y), in surface pixels (pixel centres at whole
 * numbers), with the given pressure (width = pen width x pressure, up to
 * 4x; a small minimum width keeps light ink visible). Inks the new part
 * onto the surface and onto `target` (may be NULL), reading and writing
 * only the area of the new ink. NaN or infinite x or y and NaN pressure
 * are refused. Without LPLinesClear a stroke starts by itself. */
int WINAPI LPLinesLineTo(LPLINES_HANDLE handle, HDC target, float x, float y, float pressure);
/* Ends the stroke, inking what is left onto the surface and `target`. */
int WINAPI LPLinesEnd(LPLINES_HANDLE handle, HDC target);

/* The record of the points given since the last LPLinesPathClear. */
int WINAPI LPLinesPathClear(LPLINES_HANDLE handle);
int WINAPI LPLinesPathCount(LPLINES_HANDLE handle, int* count);
int WINAPI LPLinesPathPoint(LPLINES_HANDLE handle, int index, LPLinesPoint* point);

#ifdef __cplusplus
}
#endif

#endif /* LPLINES_H */
