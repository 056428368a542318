#include "scripted_pen.h"

#include <cmath>
#include <cstdio>
#include <utility>

namespace signhost {

namespace {

// A polling drawing thread sees a button press or release up to about
// 35 ms late; holding the pen still a little longer keeps the first and
// last points, and a click long enough to be seen. On a busy machine the
// press may take longer to be seen: the pen stays put until the canvas
// has taken the mouse (what it does when a stroke begins), within reason.
constexpr DWORD kHoldAfterPressMs = 60;
constexpr DWORD kLongestWaitForPressMs = 2000;
constexpr DWORD kStepMs = 15;
constexpr DWORD kHoldBeforeReleaseMs = 60;
constexpr DWORD kBetweenStrokesMs = 120;

void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

void MoveTo(POINT screenPoint)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    // Absolute input is in 1/65536 of the screen; aim at the pixel's middle.
    const LONG dx = static_cast<LONG>((screenPoint.x * 65536LL + 32768) / width);
    const LONG dy = static_cast<LONG>((screenPoint.y * 65536LL + 32768) / height);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, dx, dy);
}

POINT Scaled(double x, double y, int width, int height)
{
    return POINT{static_cast<LONG>(std::lround(x * width)), static_cast<LONG>(std::lround(y * height))};
}

class TextFile {
public:
    explicit TextFile(const std::wstring& path) : file_(_wfopen(path.c_str(), L"rb")) {}
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;
    ~TextFile()
    {
        if (file_)
            std::fclose(file_);
    }
    std::FILE* get() const { return file_; }

private:
    std::FILE* file_;
};

bool IsBlank(const std::string& line)
{
    return line.find_first_not_of(" \t\r") == std::string::npos;
}

bool ParsePoint(const std::string& line, POINT& point)
{
    long x = 0;
    long y = 0;
    char rest = 0;
    if (std::sscanf(line.c_str(), " %ld , %ld %c", &x, &y, &rest) != 2)
        return false;
    point = POINT{x, y};
    return true;
}

}  // namespace

Signature SampleSignature(int width, int height)
{
    Signature signature;
    // Handwriting: a prolate cycloid, whose loops read like a run of
    // joined letters "l", growing a little from left to right.
    Stroke writing;
    const double pi = 3.14159265358979;
    const double first = 0.6 * pi;
    const double last = 8.0 * pi;
    for (double t = first; t <= last; t += 0.1) {
        const double along = (t - first) / (last - first);
        const double grow = 0.8 + 0.2 * along;
        const double x = 0.10 + 0.68 * along - 0.045 * std::sin(t);
        const double y = 0.62 - 0.42 * grow * (1.0 + std::cos(t)) / 2.0 + 0.03 * std::sin(t / 2.0);
        writing.push_back(Scaled(x, y, width, height));
    }
    signature.push_back(std::move(writing));

    // The underline: a shallow arc from left to right.
    Stroke underline;
    for (double s = 0.0; s <= 1.0; s += 0.02) {
        const double x = 0.08 + 0.74 * s;
        const double y = 0.78 - 0.06 * std::sin(pi * s) - 0.03 * s;
        underline.push_back(Scaled(x, y, width, height));
    }
    signature.push_back(std::move(underline));

    // A dot: a click.
    signature.push_back(Stroke{Scaled(0.88, 0.30, width, height)});
    return signature;
}

bool ReadSignature(const std::wstring& path, Signature& signature, std::wstring& problem)
{
    signature.clear();
    const TextFile file(path);
    if (!file.get()) {
        problem = L"cannot read " + path;
        return false;
    }
    Stroke stroke;
    std::string line;
    int lineNumber = 0;
    bool atEnd = false;
    while (!atEnd) {
        line.clear();
        int c = 0;
        while ((c = std::fgetc(file.get())) != EOF && c != '\n')
            line += static_cast<char>(c);
        atEnd = c == EOF;
        ++lineNumber;
        if (!line.empty() && line[0] == '#')
            continue;
        if (IsBlank(line)) {
            if (!stroke.empty())
                signature.push_back(std::move(stroke));
            stroke.clear();
            continue;
        }
        POINT point{};
        if (!ParsePoint(line, point)) {
            problem = path + L", line " + std::to_wstring(lineNumber) + L": not a point \"x,y\"";
            signature.clear();
            return false;
        }
        stroke.push_back(point);
    }
    if (!stroke.empty())
        signature.push_back(std::move(stroke));
    return true;
}

ScriptedPen::ScriptedPen(HWND canvasWindow, Signature signature, HWND notifyWindow, UINT doneMessage)
    : canvasWindow_(canvasWindow),
      signature_(std::move(signature)),
      notifyWindow_(notifyWindow),
      doneMessage_(doneMessage),
      thread_([this] { draw(); })
{
}

ScriptedPen::~ScriptedPen()
{
    stopping_.store(true);
    thread_.join();
}

void ScriptedPen::draw()
{
    for (const Stroke& stroke : signature_) {
        if (!drawStroke(stroke) || !pause(kBetweenStrokesMs))
            return;
    }
    PostMessageW(notifyWindow_, doneMessage_, 0, 0);
}

bool ScriptedPen::drawStroke(const Stroke& stroke)
{
    if (stroke.empty())
        return true;
    auto toScreen = [this](POINT point) {
        ClientToScreen(canvasWindow_, &point);
        return point;
    };
    MoveTo(toScreen(stroke.front()));
    if (!pause(kStepMs))
        return false;
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    bool going = pause(kHoldAfterPressMs) && awaitPress();
    for (std::size_t i = 1; going && i < stroke.size(); ++i) {
        MoveTo(toScreen(stroke[i]));
        going = pause(kStepMs);
    }
    going = going && pause(kHoldBeforeReleaseMs);
    SendMouse(MOUSEEVENTF_LEFTUP);   // also when stopping: never leave the button down
    return going;
}

bool ScriptedPen::awaitPress() const
{
    const DWORD canvasThread = GetWindowThreadProcessId(canvasWindow_, nullptr);
    for (DWORD waited = 0; waited < kLongestWaitForPressMs; waited += kStepMs) {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(canvasThread, &info) || info.hwndCapture == canvasWindow_)
            return !stopping_.load();
        if (!pause(kStepMs))
            return false;
    }
    return true;
}

bool ScriptedPen::pause(DWORD ms) const
{
    Sleep(ms);
    return !stopping_.load();
}

}  // namespace signhost
