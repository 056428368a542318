// signhost: a small host application of penwick.dll, written to be copied.
//
// A window whose child is the signature canvas; buttons and keys for Clear
// (Del), Save (Ctrl+S), a thinner or thicker pen (- and +) and the ink
// colour (C); a status line that follows the strokes through
// WM_CANVAS_STROKE. Save writes the signature as a PNG cropped to where the
// user wrote and the pen's points as CSV (signature_files.h).
//
// What a host does with penwick, in order:
//   1. InitSDK once (PenwickLibrary below), matched by one UninitSDK;
//   2. a child window of a class with its own DC (CS_OWNDC) becomes the
//      canvas with InitCanvas (CanvasAttachment below);
//   3. pen settings with SetPenWidth / SetPenColor;
//   4. the canvas window receives WM_CANVAS_STROKE; this one passes it on
//      to the main window, which updates the status line;
//   5. between strokes: GetCanvasDC, GetCanvasDrawedRect and the path;
//   6. DestroyCanvas before the window goes, UninitSDK at the end.
//
// penwick.dll and libLPLines.dll must lie beside signhost.exe. Run it with
// --help, or see options.cpp, for the command line (a scripted signature
// for demos and tests among it).
#include "options.h"
#include "scripted_pen.h"
#include "signature_files.h"

#include <penwick.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <windowsx.h>

#include <memory>
#include <string>
#include <utility>

namespace signhost {

namespace {

constexpr wchar_t kMainClass[] = L"SignHostWindow";
constexpr wchar_t kCanvasClass[] = L"SignHostCanvas";

enum CommandId : int {
    kClear = 101,
    kSave,
    kThinner,
    kThicker,
    kColour,
};

constexpr UINT WM_START_SCRIPT = WM_APP + 1;
constexpr UINT WM_SCRIPT_DONE = WM_APP + 2;
constexpr UINT_PTR kScriptTimer = 1;
constexpr UINT_PTR kCloseTimer = 2;
// How long a scripted run waits for the last stroke's end notice.
constexpr DWORD kStrokeEndWaitMs = 3000;

constexpr int kClientWidth = 640;
constexpr int kClientHeight = 380;
constexpr int kMargin = 8;
constexpr int kButtonWidth = 84;
constexpr int kButtonHeight = 28;

constexpr float kPenWidths[] = {1, 2, 3, 4, 6, 8, 12, 16, 24};

struct NamedColour {
    const wchar_t* name;
    COLORREF color;
};
constexpr NamedColour kPalette[] = {
    {L"black", RGB(0, 0, 0)},
    {L"blue", RGB(31, 58, 147)},
    {L"red", RGB(178, 34, 34)},
    {L"green", RGB(20, 110, 60)},
};

// --- output for scripts and tests -------------------------------------------

// False when the process has no such handle (started from Explorer).
bool WriteToHandle(DWORD which, const std::wstring& text)
{
    const HANDLE handle = GetStdHandle(which);
    if (!handle || handle == INVALID_HANDLE_VALUE)
        return false;
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    DWORD written = 0;
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return true;
}

// A line on standard output, when there is one (a script or a console).
void Report(const std::wstring& line)
{
    WriteToHandle(STD_OUTPUT_HANDLE, line + L"\n");
}

std::wstring FullPath(const std::wstring& path)
{
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return path;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    full.resize(length < size ? length : 0);
    return full.empty() ? path : full;
}

std::wstring FileName(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring Number(long value)
{
    return std::to_wstring(value);
}

// --- penwick, held by RAII --------------------------------------------------

// InitSDK and its matching UninitSDK, whatever InitSDK returned.
class PenwickLibrary {
public:
    PenwickLibrary() : hasTablet_(InitSDK() == 0) {}
    PenwickLibrary(const PenwickLibrary&) = delete;
    PenwickLibrary& operator=(const PenwickLibrary&) = delete;
    ~PenwickLibrary() { UninitSDK(); }
    // InitSDK returns 1 both without a tablet and without the ink engine;
    // only InitCanvas tells the two apart.
    bool hasTablet() const { return hasTablet_; }

private:
    bool hasTablet_;
};

// A canvas on a window of a CS_OWNDC class: its own DC stays valid for the
// canvas's life, as the library's painting needs.
class CanvasAttachment {
public:
    explicit CanvasAttachment(HWND window)
    {
        if (InitCanvas(GetDC(window), window, &id_) != 0)
            id_ = -1;
    }
    CanvasAttachment(const CanvasAttachment&) = delete;
    CanvasAttachment& operator=(const CanvasAttachment&) = delete;
    ~CanvasAttachment()
    {
        if (id_ != -1)
            DestroyCanvas(id_);
    }
    bool attached() const { return id_ != -1; }
    int id() const { return id_; }

private:
    int id_ = -1;
};

class Accelerators {
public:
    Accelerators()
    {
        ACCEL keys[] = {
            {FVIRTKEY, VK_DELETE, kClear},
            {FVIRTKEY | FCONTROL, 'S', kSave},
            {FVIRTKEY, VK_OEM_MINUS, kThinner},
            {FVIRTKEY, VK_SUBTRACT, kThinner},
            {FVIRTKEY, VK_OEM_PLUS, kThicker},
            {FVIRTKEY, VK_ADD, kThicker},
            {FVIRTKEY, 'C', kColour},
        };
        table_ = CreateAcceleratorTableW(keys, static_cast<int>(sizeof keys / sizeof keys[0]));
    }
    Accelerators(const Accelerators&) = delete;
    Accelerators& operator=(const Accelerators&) = delete;
    ~Accelerators()
    {
        if (table_)
            DestroyAcceleratorTable(table_);
    }
    HACCEL get() const { return table_; }

private:
    HACCEL table_ = nullptr;
};

class ComApartment {
public:
    ComApartment() : initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment()
    {
        if (initialized_)
            CoUninitialize();
    }

private:
    bool initialized_;
};

// --- the application window -----------------------------------------------

class SignHost {
public:
    explicit SignHost(Options options) : options_(std::move(options)) {}
    SignHost(const SignHost&) = delete;
    SignHost& operator=(const SignHost&) = delete;
    ~SignHost();

    // Creates the windows and the canvas; false (with `problem`) on failure.
    bool create(HINSTANCE instance, bool hasTablet, std::wstring& problem);
    int run();

private:
    static LRESULT CALLBACK mainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK canvasProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void createChildren();
    HWND addButton(const wchar_t* text, int id, int index);
    void onCommand(int id);
    void onStroke(WPARAM edge, LPARAM screenPosition);
    void onTimer(UINT_PTR timer);
    void onDestroy();

    void clear();
    bool save();
    void changeWidth(int direction);
    void nextColour();
    void showPen();
    void setStatus(const std::wstring& text);
    void reportProblem(const std::wstring& problem) const;

    void startScript();
    void finishScript();
    bool saveScreenshot();

    Options options_;
    HWND main_ = nullptr;
    HWND canvasWindow_ = nullptr;
    HWND status_ = nullptr;
    std::unique_ptr<CanvasAttachment> canvas_;
    std::unique_ptr<ScriptedPen> pen_;
    int strokesBegun_ = 0;
    int strokesEnded_ = 0;
    int strokesEndedBeforeScript_ = 0;
    DWORD scriptDoneTick_ = 0;
    std::size_t colourIndex_ = 0;
    int exitCode_ = 0;
};

bool SignHost::create(HINSTANCE instance, bool hasTablet, std::wstring& problem)
{
    WNDCLASSEXW mainClass{};
    mainClass.cbSize = sizeof mainClass;
    mainClass.lpfnWndProc = mainProc;
    mainClass.hInstance = instance;
    mainClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));  // signhost.rc
    mainClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    mainClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    mainClass.lpszClassName = kMainClass;
    RegisterClassExW(&mainClass);

    // The canvas: its own DC (CS_OWNDC) for the library to keep; no
    // background brush, the library paints every pixel.
    WNDCLASSEXW canvasClass{};
    canvasClass.cbSize = sizeof canvasClass;
    canvasClass.style = CS_OWNDC;
    canvasClass.lpfnWndProc = canvasProc;
    canvasClass.hInstance = instance;
    canvasClass.hCursor = LoadCursorW(nullptr, IDC_CROSS);
    canvasClass.lpszClassName = kCanvasClass;
    RegisterClassExW(&canvasClass);

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    // A scripted signature aims at screen positions: keep the window where
    // nothing else is expected.
    const bool scripted = !options_.draw.empty();
    const int x = scripted ? 40 : CW_USEDEFAULT;
    const int y = scripted ? 40 : CW_USEDEFAULT;
    main_ = CreateWindowExW(0, kMainClass, L"Sign here - penwick sample host", style, x, y,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, this);
    if (!main_) {
        problem = L"the window could not be created";
        return false;
    }
    canvas_ = std::make_unique<CanvasAttachment>(canvasWindow_);
    if (!canvas_->attached()) {
        problem = L"penwick could not make the canvas: is libLPLines.dll beside penwick.dll?";
        return false;
    }
    SetPenWidth(canvas_->id(), options_.penWidth);
    SetPenColor(canvas_->id(), options_.penColor);
    for (std::size_t i = 0; i < sizeof kPalette / sizeof kPalette[0]; ++i) {
        if (kPalette[i].color == options_.penColor)
            colourIndex_ = i;
    }
    showPen();
    const std::wstring invitation = hasTablet ? L"Sign with the pen or the mouse." : L"Sign with the mouse.";
    setStatus(scripted ? L"Signing by script..." : invitation + L" Del clear, Ctrl+S save, -/+ width, C colour");
    ShowWindow(main_, SW_SHOW);
    UpdateWindow(main_);
    if (scripted)
        PostMessageW(main_, WM_START_SCRIPT, 0, 0);
    return true;
}

SignHost::~SignHost()
{
    if (main_ && IsWindow(main_))
        DestroyWindow(main_);
}

int SignHost::run()
{
    const Accelerators keys;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorW(main_, keys.get(), &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return exitCode_;
}

LRESULT CALLBACK SignHost::mainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<SignHost*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->main_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<SignHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY)
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return self->onMessage(message, wParam, lParam);
}

LRESULT CALLBACK SignHost::canvasProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CANVAS_STROKE:
        // The library tells the canvas window; the main window keeps the
        // status line.
        SendMessageW(GetParent(window), WM_CANVAS_STROKE, wParam, lParam);
        return 0;
    case WM_ERASEBKGND:
        return 1;   // the library paints every pixel
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT SignHost::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        createChildren();
        return 0;
    case WM_COMMAND:
        onCommand(LOWORD(wParam));
        return 0;
    case WM_CANVAS_STROKE:
        onStroke(wParam, lParam);
        return 0;
    case WM_START_SCRIPT:
        startScript();
        return 0;
    case WM_SCRIPT_DONE:
        scriptDoneTick_ = GetTickCount();
        SetTimer(main_, kScriptTimer, 50, nullptr);
        return 0;
    case WM_TIMER:
        onTimer(wParam);
        return 0;
    case WM_DESTROY:
        onDestroy();
        return 0;
    default:
        return DefWindowProcW(main_, message, wParam, lParam);
    }
}

HWND SignHost::addButton(const wchar_t* text, int id, int index)
{
    const HWND button = CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                        kMargin + index * (kButtonWidth + 6), kMargin, kButtonWidth, kButtonHeight,
                                        main_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                        GetModuleHandleW(nullptr), nullptr);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return button;
}

void SignHost::createChildren()
{
    addButton(L"Clear", kClear, 0);
    addButton(L"Save", kSave, 1);
    addButton(L"Thinner", kThinner, 2);
    addButton(L"Thicker", kThicker, 3);
    addButton(L"Colour", kColour, 4);

    status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, main_, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    RECT statusRect{};
    GetWindowRect(status_, &statusRect);
    int parts[] = {kClientWidth - 170, -1};
    SendMessageW(status_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));

    const int top = 2 * kMargin + kButtonHeight;
    const int bottom = kClientHeight - (statusRect.bottom - statusRect.top) - kMargin;
    canvasWindow_ = CreateWindowExW(WS_EX_CLIENTEDGE, kCanvasClass, L"", WS_CHILD | WS_VISIBLE, kMargin, top,
                                    kClientWidth - 2 * kMargin, bottom - top, main_, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
}

void SignHost::onCommand(int id)
{
    switch (id) {
    case kClear:
        clear();
        break;
    case kSave:
        if (save() && options_.exitAfterSave)
            SetTimer(main_, kCloseTimer, 1000, nullptr);   // long enough to read the status line
        break;
    case kThinner:
        changeWidth(-1);
        break;
    case kThicker:
        changeWidth(+1);
        break;
    case kColour:
        nextColour();
        break;
    default:
        break;
    }
    // Keys keep working after a button was clicked.
    SetFocus(main_);
}

void SignHost::onStroke(WPARAM edge, LPARAM screenPosition)
{
    if (!canvas_)
        return;
    POINT where{GET_X_LPARAM(screenPosition), GET_Y_LPARAM(screenPosition)};
    ScreenToClient(canvasWindow_, &where);
    const std::wstring at = L" at (" + Number(where.x) + L", " + Number(where.y) + L")";
    if (edge == PENWICK_STROKE_BEGIN) {
        ++strokesBegun_;
        setStatus(L"Stroke " + Number(strokesBegun_) + L" began" + at);
        return;
    }
    ++strokesEnded_;
    int points = 0;
    GetDrawPathCount(canvas_->id(), &points);
    setStatus(L"Stroke " + Number(strokesBegun_) + L" ended" + at + L"; " + Number(points) + L" points recorded");
}

void SignHost::onTimer(UINT_PTR timer)
{
    if (timer == kCloseTimer) {
        KillTimer(main_, kCloseTimer);
        DestroyWindow(main_);
        return;
    }
    if (timer != kScriptTimer || !pen_)
        return;
    const bool allEnded = static_cast<std::size_t>(strokesEnded_ - strokesEndedBeforeScript_) >= pen_->strokeCount();
    if (!allEnded && GetTickCount() - scriptDoneTick_ < kStrokeEndWaitMs)
        return;
    KillTimer(main_, kScriptTimer);
    finishScript();
}

void SignHost::onDestroy()
{
    KillTimer(main_, kScriptTimer);
    KillTimer(main_, kCloseTimer);
    pen_.reset();      // lifts the scripted pen
    canvas_.reset();   // DestroyCanvas while its window still exists
    PostQuitMessage(0);
}

void SignHost::clear()
{
    CanvasClear(canvas_->id());     // the ink
    DrawPathClear(canvas_->id());   // the recorded points
    strokesBegun_ = 0;
    strokesEnded_ = 0;
    setStatus(L"Cleared: sign again.");
}

bool SignHost::save()
{
    const RECT area = DrawnArea(canvas_->id(), canvasWindow_);
    if (IsRectEmpty(&area)) {
        setStatus(L"Nothing to save yet: sign first.");
        reportProblem(L"nothing to save: nothing is drawn");
        return false;
    }
    const SaveResult image = SaveCanvasPng(canvas_->id(), area, options_.pngPath);
    int points = 0;
    const SaveResult path = image.saved ? SavePathCsv(canvas_->id(), options_.csvPath, points) : SaveResult{};
    if (!image.saved || !path.saved) {
        if (image.saved)
            DeleteFileW(options_.pngPath.c_str());   // both files or neither
        const std::wstring problem = image.saved ? path.problem : image.problem;
        setStatus(L"Not saved: " + problem);
        reportProblem(L"not saved: " + problem);
        return false;
    }
    const long width = area.right - area.left;
    const long height = area.bottom - area.top;
    setStatus(L"Saved " + FileName(options_.pngPath) + L" (" + Number(width) + L" x " + Number(height) +
              L") and " + FileName(options_.csvPath) + L" (" + Number(points) + L" points)");
    Report(L"saved image " + Number(width) + L"x" + Number(height) + L"+" + Number(area.left) + L"+" +
           Number(area.top) + L" " + FullPath(options_.pngPath));
    Report(L"saved points " + Number(points) + L" " + FullPath(options_.csvPath));
    return true;
}

void SignHost::changeWidth(int direction)
{
    float width = 0;
    GetPenWidth(canvas_->id(), &width);
    float next = width;
    for (const float candidate : kPenWidths) {
        if (direction > 0 && candidate > width) {
            next = candidate;
            break;
        }
        if (direction < 0 && candidate < width)
            next = candidate;
    }
    SetPenWidth(canvas_->id(), next);
    showPen();
}

void SignHost::nextColour()
{
    colourIndex_ = (colourIndex_ + 1) % (sizeof kPalette / sizeof kPalette[0]);
    SetPenColor(canvas_->id(), kPalette[colourIndex_].color);
    showPen();
}

void SignHost::showPen()
{
    float width = 0;
    COLORREF color = 0;
    GetPenWidth(canvas_->id(), &width);
    GetPenColor(canvas_->id(), &color);
    std::wstring name;
    for (const NamedColour& entry : kPalette) {
        if (entry.color == color)
            name = entry.name;
    }
    if (name.empty()) {
        wchar_t hex[8];
        swprintf(hex, 8, L"#%02X%02X%02X", GetRValue(color), GetGValue(color), GetBValue(color));
        name = hex;
    }
    const std::wstring text = L"Pen " + Number(static_cast<long>(width)) + L" px, " + name;
    SendMessageW(status_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(text.c_str()));
}

void SignHost::setStatus(const std::wstring& text)
{
    SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void SignHost::reportProblem(const std::wstring& problem) const
{
    WriteToHandle(STD_ERROR_HANDLE, L"signhost: " + problem + L"\n");
}

void SignHost::startScript()
{
    Signature signature;
    if (options_.draw == L"sample") {
        RECT client{};
        GetClientRect(canvasWindow_, &client);
        signature = SampleSignature(client.right, client.bottom);
    } else {
        std::wstring problem;
        if (!ReadSignature(options_.draw, signature, problem)) {
            reportProblem(problem);
            exitCode_ = 2;
            DestroyWindow(main_);
            return;
        }
    }
    exitCode_ = 1;   // until the signature is saved
    SetForegroundWindow(main_);
    strokesEndedBeforeScript_ = strokesEnded_;
    pen_ = std::make_unique<ScriptedPen>(canvasWindow_, std::move(signature), main_, WM_SCRIPT_DONE);
}

void SignHost::finishScript()
{
    const bool saved = save() && (options_.screenshotPath.empty() || saveScreenshot());
    exitCode_ = saved ? 0 : 1;
    DestroyWindow(main_);
}

bool SignHost::saveScreenshot()
{
    RedrawWindow(main_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
    // The client area: without a window manager (Xvfb) nobody draws the
    // frame, and with one it is the manager's, not ours.
    RECT client{};
    GetClientRect(main_, &client);
    MapWindowPoints(main_, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const HDC screen = GetDC(nullptr);
    const SaveResult shot = SaveDcAreaPng(screen, client, options_.screenshotPath);
    ReleaseDC(nullptr, screen);
    if (!shot.saved) {
        reportProblem(L"no screenshot: " + shot.problem);
        return false;
    }
    Report(L"saved screenshot " + Number(client.right - client.left) + L"x" + Number(client.bottom - client.top) +
           L" " + FullPath(options_.screenshotPath));
    return true;
}

// Usage and start-up problems: on standard error when there is one, else
// in a message box (a person started the program).
void Tell(const std::wstring& text, bool isProblem)
{
    if (WriteToHandle(isProblem ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE, text + L"\n"))
        return;
    MessageBoxW(nullptr, text.c_str(), L"signhost", MB_OK | (isProblem ? MB_ICONWARNING : MB_ICONINFORMATION));
}

}  // namespace
}  // namespace signhost

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    using namespace signhost;
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    Options options;
    std::wstring problem;
    const bool parsed = argv && ParseOptions(argc, argv, options, problem);
    LocalFree(argv);
    if (!parsed) {
        Tell(L"signhost: " + problem + L"\n\n" + kUsage, true);
        return 2;
    }
    if (options.help) {
        Tell(kUsage, false);
        return 0;
    }

    const ComApartment com;   // the PNG encoder is a COM object
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    const PenwickLibrary penwick;
    SignHost host(std::move(options));
    if (!host.create(instance, penwick.hasTablet(), problem)) {
        Tell(L"signhost: " + problem, true);
        return 1;
    }
    return host.run();
}
