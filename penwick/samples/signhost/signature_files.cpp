#include "signature_files.h"

#include <lplines.h>   // the layout of a recorded point (GetDrawPathPoint)
#include <penwick.h>
#include <wincodec.h>

#include <charconv>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>

namespace signhost {

namespace {

SaveResult Failed(std::wstring problem)
{
    return SaveResult{false, std::move(problem)};
}

// Owns one COM interface pointer.
template <typename Interface>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef()
    {
        if (pointer_)
            pointer_->Release();
    }

    Interface* operator->() const { return pointer_; }
    Interface* get() const { return pointer_; }
    Interface** put() { return &pointer_; }

private:
    Interface* pointer_ = nullptr;
};

class MemoryDc {
public:
    MemoryDc() : dc_(CreateCompatibleDC(nullptr)) {}
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    ~MemoryDc()
    {
        if (dc_)
            DeleteDC(dc_);
    }
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

class GdiBitmap {
public:
    explicit GdiBitmap(HBITMAP bitmap) : bitmap_(bitmap) {}
    GdiBitmap(const GdiBitmap&) = delete;
    GdiBitmap& operator=(const GdiBitmap&) = delete;
    ~GdiBitmap()
    {
        if (bitmap_)
            DeleteObject(bitmap_);
    }
    HBITMAP get() const { return bitmap_; }

private:
    HBITMAP bitmap_;
};

class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() { SelectObject(dc_, previous_); }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

class OpenFile {
public:
    explicit OpenFile(const std::wstring& path) : file_(_wfopen(path.c_str(), L"wb")) {}
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile()
    {
        if (file_)
            std::fclose(file_);
    }
    std::FILE* get() const { return file_; }
    // Closes the file; false when anything written could not be stored.
    bool close()
    {
        const bool stored = std::fflush(file_) == 0 && !std::ferror(file_);
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        return stored && closed;
    }

private:
    std::FILE* file_;
};

// A top-down 32-bit copy of `area` of `source`, with its pixels.
struct PixelCopy {
    std::unique_ptr<GdiBitmap> bitmap;
    const BYTE* pixels = nullptr;
    UINT width = 0;
    UINT height = 0;
    UINT stride() const { return width * 4; }
    UINT size() const { return stride() * height; }
};

PixelCopy CopyArea(HDC source, const RECT& area)
{
    PixelCopy copy;
    copy.width = static_cast<UINT>(area.right - area.left);
    copy.height = static_cast<UINT>(area.bottom - area.top);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(copy.width);
    info.bmiHeader.biHeight = -static_cast<LONG>(copy.height);   // top-down, as WIC reads it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    copy.bitmap = std::make_unique<GdiBitmap>(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const MemoryDc target;
    if (!copy.bitmap->get() || !target.get())
        return PixelCopy{};
    const SelectedObject selected(target.get(), copy.bitmap->get());
    if (!BitBlt(target.get(), 0, 0, static_cast<int>(copy.width), static_cast<int>(copy.height), source,
                area.left, area.top, SRCCOPY))
        return PixelCopy{};
    GdiFlush();
    copy.pixels = static_cast<const BYTE*>(bits);
    return copy;
}

HRESULT EncodePng(const PixelCopy& copy, const std::wstring& path)
{
    ComRef<IWICImagingFactory> factory;
    HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(factory.put()));
    if (FAILED(result))
        return result;
    // The pixels as WIC sees them; the fourth byte of a GDI pixel is no alpha.
    ComRef<IWICBitmap> pixels;
    result = factory->CreateBitmapFromMemory(copy.width, copy.height, GUID_WICPixelFormat32bppBGR, copy.stride(),
                                             copy.size(), const_cast<BYTE*>(copy.pixels), pixels.put());
    if (FAILED(result))
        return result;
    ComRef<IWICStream> stream;
    if (FAILED(result = factory->CreateStream(stream.put())) ||
        FAILED(result = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)))
        return result;
    ComRef<IWICBitmapEncoder> encoder;
    if (FAILED(result = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put())) ||
        FAILED(result = encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)))
        return result;
    ComRef<IWICBitmapFrameEncode> frame;
    ComRef<IPropertyBag2> options;
    if (FAILED(result = encoder->CreateNewFrame(frame.put(), options.put())) ||
        FAILED(result = frame->Initialize(options.get())) ||
        FAILED(result = frame->SetSize(copy.width, copy.height)))
        return result;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (FAILED(result = frame->SetPixelFormat(&format)) ||
        FAILED(result = frame->WriteSource(pixels.get(), nullptr)) ||
        FAILED(result = frame->Commit()))
        return result;
    return encoder->Commit();
}

std::wstring HresultText(HRESULT result)
{
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(result));
    return text;
}

// A float as the shortest text that reads back as the same float.
template <typename Number>
void AppendNumber(std::string& line, Number value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    line.append(text, end);
}

}  // namespace

RECT DrawnArea(int canvasId, HWND canvasWindow)
{
    RECT empty{};
    int drawn = 0;
    if (IsCanvasDrawed(canvasId, &drawn) != 0 || !drawn)
        return empty;
    // Note penwick's argument order: left, right, top, bottom.
    int left = 0, right = 0, top = 0, bottom = 0;
    if (GetCanvasDrawedRect(canvasId, &left, &right, &top, &bottom) != 0)
        return empty;
    const RECT drawnRect{left, top, right, bottom};
    // Grown by the pen width, the rectangle may stick out of the canvas.
    RECT client{};
    GetClientRect(canvasWindow, &client);
    RECT area{};
    if (!IntersectRect(&area, &drawnRect, &client))
        return empty;
    return area;
}

SaveResult SaveDcAreaPng(HDC source, const RECT& area, const std::wstring& path)
{
    if (IsRectEmpty(&area))
        return Failed(L"nothing to save");
    const PixelCopy copy = CopyArea(source, area);
    if (!copy.pixels)
        return Failed(L"the image could not be copied");
    const HRESULT result = EncodePng(copy, path);
    if (FAILED(result)) {
        DeleteFileW(path.c_str());   // never leave half a picture behind
        return Failed(L"the PNG could not be written to " + path + L" (" + HresultText(result) + L")");
    }
    return SaveResult{true, {}};
}

SaveResult SaveCanvasPng(int canvasId, const RECT& area, const std::wstring& path)
{
    HDC image = nullptr;
    if (GetCanvasDC(canvasId, &image) != 0 || !image)
        return Failed(L"the canvas has no image");
    return SaveDcAreaPng(image, area, path);
}

SaveResult SavePathCsv(int canvasId, const std::wstring& path, int& pointCount)
{
    pointCount = 0;
    int count = 0;
    if (GetDrawPathCount(canvasId, &count) != 0)
        return Failed(L"the canvas has no path");
    OpenFile file(path);
    if (!file.get())
        return Failed(L"cannot write " + path);
    std::string line = "x,y,pressure,time,flags\r\n";
    bool written = std::fwrite(line.data(), 1, line.size(), file.get()) == line.size();
    for (int index = 0; written && index < count; ++index) {
        LPLinesPoint point{};
        if (GetDrawPathPoint(canvasId, index, &point) != 0)
            break;
        line.clear();
        AppendNumber(line, point.x);
        line += ',';
        AppendNumber(line, point.y);
        line += ',';
        AppendNumber(line, point.pressure);
        line += ',';
        AppendNumber(line, static_cast<unsigned>(point.time));
        line += ',';
        AppendNumber(line, static_cast<unsigned>(point.flags));
        line += "\r\n";
        written = std::fwrite(line.data(), 1, line.size(), file.get()) == line.size();
        ++pointCount;
    }
    if (!file.close() || !written || pointCount != count) {
        DeleteFileW(path.c_str());
        pointCount = 0;
        return Failed(L"the points could not be written to " + path);
    }
    return SaveResult{true, {}};
}

}  // namespace signhost
