#include "test_support.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>

namespace pwtest {

// --- messages -------------------------------------------------------------

void pumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void pumpFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    for (;;) {
        pumpMessages();
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return done();
        pumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
    }
    return true;
}

// --- host windows ---------------------------------------------------------

namespace {

constexpr wchar_t kHostClass[] = L"PenwickTestHost";
constexpr wchar_t kDeskClass[] = L"PenwickTestDesk";

void registerClasses()
{
    static std::once_flag once;
    std::call_once(once, [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_OWNDC;
        windowClass.lpfnWndProc = HostWindow::procedure();
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kHostClass;
        RegisterClassExW(&windowClass);

        WNDCLASSEXW deskClass{};
        deskClass.cbSize = sizeof deskClass;
        deskClass.lpfnWndProc = DefWindowProcW;
        deskClass.hInstance = GetModuleHandleW(nullptr);
        deskClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        deskClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        deskClass.lpszClassName = kDeskClass;
        RegisterClassExW(&deskClass);
    });
}

// Host windows are children of a screen-sized top-level window that lives
// as long as the test: without a window manager, Wine waits two seconds
// for every mapped top-level window that is hidden or destroyed. Windows of
// tests that send no input live under a desk that is never shown, so they
// can never be under another test's cursor.
HWND desk(bool visible)
{
    static HWND shown = nullptr;
    static HWND hidden = nullptr;
    HWND& window = visible ? shown : hidden;
    if (window == nullptr) {
        registerClasses();
        window = CreateWindowExW(0, kDeskClass, L"desk", WS_POPUP | WS_CLIPCHILDREN | (visible ? WS_VISIBLE : 0), 0,
                                 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        UpdateWindow(window);
        pumpMessages();
    }
    return window;
}

} // namespace

WNDPROC HostWindow::procedure()
{
    return windowProc;
}

HostWindow::HostWindow(int x, int y, int width, int height, bool visible, DWORD extraStyle)
{
    const HWND parent = desk(visible);
    window_ = CreateWindowExW(0, kHostClass, L"canvas", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | extraStyle, x, y,
                              width, height, parent, nullptr, GetModuleHandleW(nullptr), this);
    dc_ = GetDC(window_);
    UpdateWindow(window_);
    pumpMessages();
}

HostWindow::~HostWindow()
{
    if (IsWindow(window_))
        DestroyWindow(window_);
    pumpMessages();
}

POINT HostWindow::toScreen(int x, int y) const
{
    POINT point{x, y};
    ClientToScreen(window_, &point);
    return point;
}

bool HostWindow::hasItsOwnProcedure() const
{
    return GetWindowLongPtrW(window_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(windowProc);
}

void HostWindow::resizeClient(int width, int height)
{
    SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    pumpMessages();
}

LRESULT CALLBACK HostWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_CANVAS_STROKE:
        self->notices.push_back({wParam, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        if (self->onStroke)
            self->onStroke(wParam);
        return 0;
    case WM_PAINT: {
        ++self->paintMessages;
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        if (self->paintsBackground) {
            HBRUSH brush = CreateSolidBrush(self->background);
            FillRect(dc, &paint.rcPaint, brush);
            DeleteObject(brush);
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_APP + 7:
        ++self->privateMessages;
        return 77;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// --- input ------------------------------------------------------------------

namespace {

void sendMouse(DWORD flags, LONG dx = 0, LONG dy = 0)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

} // namespace

void moveCursor(int x, int y)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    // The middle of the pixel, so that rounding lands on it.
    const LONG dx = static_cast<LONG>((x * 65536LL + 32768) / width);
    const LONG dy = static_cast<LONG>((y * 65536LL + 32768) / height);
    sendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, dx, dy);
}

void pressLeft()
{
    sendMouse(MOUSEEVENTF_LEFTDOWN);
}

void releaseLeft()
{
    sendMouse(MOUSEEVENTF_LEFTUP);
}

void pressAndMove(const std::vector<POINT>& screenPoints, DWORD stepMs)
{
    if (screenPoints.empty())
        return;
    moveCursor(screenPoints.front().x, screenPoints.front().y);
    pumpFor(30);
    pressLeft();
    // Another thread sees the button up to ~35 ms late under Wine.
    pumpFor(70);
    for (std::size_t i = 1; i < screenPoints.size(); ++i) {
        moveCursor(screenPoints[i].x, screenPoints[i].y);
        pumpFor(stepMs);
    }
}

void drawStroke(const std::vector<POINT>& screenPoints, DWORD stepMs)
{
    if (screenPoints.empty())
        return;
    pressAndMove(screenPoints, stepMs);
    pumpFor(20);
    releaseLeft();
    pumpFor(120);
}

void click(POINT screenPoint)
{
    drawStroke({screenPoint});
}

// --- pixels -----------------------------------------------------------------

int Image::countNot(std::uint32_t color) const
{
    return static_cast<int>(std::count_if(pixels.begin(), pixels.end(), [&](std::uint32_t p) { return p != color; }));
}

HBITMAP createDib32(int width, int height, void** bits)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

Image capture(HDC dc, int width, int height)
{
    Image image;
    if (width <= 0 || height <= 0)
        return image;
    void* bits = nullptr;
    HBITMAP bitmap = createDib32(width, height, &bits);
    HDC memory = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    GdiFlush();
    image.width = width;
    image.height = height;
    const auto* source = static_cast<const std::uint32_t*>(bits);
    image.pixels.assign(source, source + static_cast<std::size_t>(width) * height);
    for (std::uint32_t& pixel : image.pixels)
        pixel &= 0x00FFFFFFu;
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return image;
}

Image captureClient(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    Image image = capture(dc, client.right, client.bottom);
    ReleaseDC(window, dc);
    return image;
}

int maxChannelDifference(const Image& a, const Image& b)
{
    if (a.width != b.width || a.height != b.height)
        return 256;
    int worst = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) {
        for (int shift = 0; shift < 24; shift += 8) {
            const int ca = static_cast<int>((a.pixels[i] >> shift) & 0xFF);
            const int cb = static_cast<int>((b.pixels[i] >> shift) & 0xFF);
            worst = std::max(worst, std::abs(ca - cb));
        }
    }
    return worst;
}

// --- test doubles ------------------------------------------------------------

std::wstring exeFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

DoubleLibrary::DoubleLibrary(const std::wstring& path, const char* marker) : module_(LoadLibraryW(path.c_str()))
{
    if (module_ != nullptr && GetProcAddress(module_, marker) == nullptr) {
        FreeLibrary(module_);
        module_ = nullptr;
    }
}

DoubleLibrary::~DoubleLibrary()
{
    if (module_ != nullptr)
        FreeLibrary(module_);
}

// --- the recording engine ----------------------------------------------------

Recorder::Recorder() : library_(exeFolder() + L"libLPLines.dll", "RecorderCallCount") {}

std::vector<recorder::RecordedCall> Recorder::calls() const
{
    std::vector<recorder::RecordedCall> result;
    const auto count = library_.entry<recorder::CallCountFn>("RecorderCallCount");
    const auto get = library_.entry<recorder::GetCallFn>("RecorderGetCall");
    if (count == nullptr || get == nullptr)
        return result;
    const int n = count();
    result.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        get(i, &result[static_cast<std::size_t>(i)]);
    return result;
}

void Recorder::reset() const
{
    if (const auto fn = library_.entry<recorder::ResetFn>("RecorderReset"))
        fn();
}

void Recorder::setLogging(bool on) const
{
    if (const auto fn = library_.entry<recorder::SetIntFn>("RecorderSetLogging"))
        fn(on ? 1 : 0);
}

void Recorder::failCreates(int count) const
{
    if (const auto fn = library_.entry<recorder::SetIntFn>("RecorderFailCreates"))
        fn(count);
}

void Recorder::setFailedCreateMakes(bool on) const
{
    if (const auto fn = library_.entry<recorder::SetIntFn>("RecorderSetFailedCreateMakes"))
        fn(on ? 1 : 0);
}

void Recorder::setPathClearResult(int result) const
{
    if (const auto fn = library_.entry<recorder::SetIntFn>("RecorderSetPathClearResult"))
        fn(result);
}

void Recorder::setReportedAlpha(int alpha) const
{
    if (const auto fn = library_.entry<recorder::SetIntFn>("RecorderSetReportedAlpha"))
        fn(alpha);
}

int Recorder::liveInstances() const
{
    const auto fn = library_.entry<recorder::GetIntFn>("RecorderLiveInstances");
    return fn != nullptr ? fn() : -1;
}

std::vector<recorder::RecordedCall> callsOf(const std::vector<recorder::RecordedCall>& calls,
                                            recorder::Call kind, int instance)
{
    std::vector<recorder::RecordedCall> result;
    for (const auto& call : calls) {
        if (call.call == kind && (instance < 0 || call.instance == instance))
            result.push_back(call);
    }
    return result;
}

// --- penwick.dll loaded at run time --------------------------------------------

namespace {

template <typename Fn>
bool bindExport(HMODULE module, const char* name, Fn& entry)
{
    entry = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return entry != nullptr;
}

} // namespace

bool PenwickExports::bind(HMODULE module)
{
    const bool complete = module != nullptr && bindExport(module, "InitSDK", initSdk)
        && bindExport(module, "UninitSDK", uninitSdk) && bindExport(module, "InitCanvas", initCanvas)
        && bindExport(module, "DestroyCanvas", destroyCanvas) && bindExport(module, "SetPenWidth", setPenWidth)
        && bindExport(module, "GetPenWidth", getPenWidth) && bindExport(module, "SetPenColor", setPenColor)
        && bindExport(module, "GetPenColor", getPenColor) && bindExport(module, "CanvasClear", canvasClear)
        && bindExport(module, "GetCanvasDrawedRect", getCanvasDrawedRect)
        && bindExport(module, "UpdateCanvas", updateCanvas) && bindExport(module, "GetCanvasDC", getCanvasDC)
        && bindExport(module, "SetCanvasInkFlow", setCanvasInkFlow)
        && bindExport(module, "GetCanvasInkFlow", getCanvasInkFlow)
        && bindExport(module, "SetDrawQuality", setDrawQuality) && bindExport(module, "GetDrawQuality", getDrawQuality)
        && bindExport(module, "GetDrawPathCount", getDrawPathCount)
        && bindExport(module, "GetDrawPathPoint", getDrawPathPoint)
        && bindExport(module, "DrawPathClear", drawPathClear)
        && bindExport(module, "SetCanvasAutoPaint", setCanvasAutoPaint)
        && bindExport(module, "IsCanvasDrawed", isCanvasDrawed);
    if (!complete)
        *this = PenwickExports{};
    return complete;
}

LoadedPenwick::LoadedPenwick(const std::wstring& fileName)
    : path_(exeFolder() + fileName), isCopy_(fileName != L"penwick.dll")
{
}

LoadedPenwick::~LoadedPenwick()
{
    unload();
    if (isCopy_)
        DeleteFileW(path_.c_str());
}

bool LoadedPenwick::load()
{
    if (module_ != nullptr)
        return true;
    if (isCopy_ && !CopyFileW((exeFolder() + L"penwick.dll").c_str(), path_.c_str(), FALSE))
        return false;
    module_ = LoadLibraryW(path_.c_str());
    if (module_ != nullptr && !api_.bind(module_))
        unload();
    return module_ != nullptr;
}

void LoadedPenwick::unload()
{
    if (module_ != nullptr)
        FreeLibrary(module_);
    module_ = nullptr;
    api_ = PenwickExports{};
}

bool isInModule(const void* address, HMODULE module)
{
    HMODULE owner = nullptr;
    return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              static_cast<LPCWSTR>(address), &owner)
        && owner == module;
}

// --- debugger output ---------------------------------------------------------

namespace {

std::mutex debugMutex;
std::vector<std::string> debugTexts;

LONG CALLBACK catchDebugString(EXCEPTION_POINTERS* exception)
{
    const EXCEPTION_RECORD* record = exception->ExceptionRecord;
    if (record->ExceptionCode != DBG_PRINTEXCEPTION_C || record->NumberParameters < 2)
        return EXCEPTION_CONTINUE_SEARCH;
    const auto length = static_cast<std::size_t>(record->ExceptionInformation[0]);
    const auto* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
    std::string value(text, length);
    if (!value.empty() && value.back() == '\0')
        value.pop_back();
    std::lock_guard<std::mutex> lock(debugMutex);
    debugTexts.push_back(value);
    return EXCEPTION_CONTINUE_EXECUTION;
}

} // namespace

DebugOutputCapture::DebugOutputCapture()
{
    {
        std::lock_guard<std::mutex> lock(debugMutex);
        debugTexts.clear();
    }
    handler_ = AddVectoredExceptionHandler(1, catchDebugString);
}

DebugOutputCapture::~DebugOutputCapture()
{
    RemoveVectoredExceptionHandler(handler_);
}

std::vector<std::string> DebugOutputCapture::texts() const
{
    std::lock_guard<std::mutex> lock(debugMutex);
    return debugTexts;
}

// --- resources -----------------------------------------------------------------

int threadCount()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ++count;
    }
    CloseHandle(snapshot);
    return count;
}

int handleCount()
{
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count != 0)
        return static_cast<int>(count);
    // Where the system keeps no count, every handle value is asked about.
    int probed = 0;
    for (std::uintptr_t value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++probed;
    }
    return probed;
}

int gdiObjectCount()
{
    const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted != 0)
        return static_cast<int>(counted);
    int objects = 0;
    for (std::uintptr_t index = 1; index < 0x10000; ++index) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0)
            ++objects;
    }
    return objects;
}

int freeGdiCapacity()
{
    std::vector<HBRUSH> brushes;
    brushes.reserve(70000);
    for (;;) {
        HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
        if (brush == nullptr)
            break;
        brushes.push_back(brush);
        if (brushes.size() >= 200000)
            break;
    }
    for (HBRUSH brush : brushes)
        DeleteObject(brush);
    return static_cast<int>(brushes.size());
}

std::size_t heapBytesInUse()
{
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    std::size_t total = 0;
    for (HANDLE heap : heaps) {
        if (!HeapLock(heap))
            continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heap, &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                total += entry.cbData;
        }
        HeapUnlock(heap);
    }
    return total;
}

} // namespace pwtest
