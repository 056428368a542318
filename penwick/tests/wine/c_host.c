/* A host written in C: penwick.h must compile as C, and the import library
 * must resolve the decorated stdcall names a C compiler asks for. */
#include <penwick.h>

int c_host_round_trip(HDC dc, HWND window)
{
    int canvas = -1;
    float width = 0.0f;
    int left = 0, right = 0, top = 0, bottom = 0;
    InitSDK();
    if (InitCanvas(dc, window, &canvas) != 0) {
        UninitSDK();
        return -1;
    }
    SetPenWidth(canvas, 3.5f);
    GetPenWidth(canvas, &width);
    GetCanvasDrawedRect(canvas, &left, &right, &top, &bottom);
    DestroyCanvas(canvas);
    UninitSDK();
    /* 3 from the width, 10 * 3 from right = +3.5 truncated */
    return (int)width + 10 * right;
}
