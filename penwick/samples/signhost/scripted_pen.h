// A pen driven by a script, for demos and tests: it signs on the canvas
// through real input (SendInput), exactly as a user's mouse would, so the
// canvas library cannot tell it from a person.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace signhost {

// Strokes in canvas client pixels; a stroke of one point is a click.
using Stroke = std::vector<POINT>;
using Signature = std::vector<Stroke>;

// A built-in signature: looping handwriting, an underline and a dot,
// fitted into a canvas of the given client size.
Signature SampleSignature(int width, int height);

// Reads a signature from a text file: one point "x,y" per line, a blank
// line between strokes, lines starting with '#' ignored. False (with the
// reason in `problem`) when the file cannot be read or a line is no point.
bool ReadSignature(const std::wstring& path, Signature& signature, std::wstring& problem);

// Draws a signature on another thread while the caller's thread pumps the
// canvas's messages, then posts `doneMessage` to `notifyWindow`. The pen is
// lifted and the thread joined when the object goes away.
class ScriptedPen {
public:
    ScriptedPen(HWND canvasWindow, Signature signature, HWND notifyWindow, UINT doneMessage);
    ScriptedPen(const ScriptedPen&) = delete;
    ScriptedPen& operator=(const ScriptedPen&) = delete;
    ~ScriptedPen();

    std::size_t strokeCount() const { return signature_.size(); }

private:
    void draw();
    bool drawStroke(const Stroke& stroke);
    bool awaitPress() const;
    bool pause(DWORD ms) const;

    HWND canvasWindow_;
    Signature signature_;
    HWND notifyWindow_;
    UINT doneMessage_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace signhost
