// Answers the program's message boxes in place of a desktop and remembers
// them, so that failure paths run without anyone to close a box.
#pragma once

#include "framework/MessageBox.h"

#include <functional>
#include <string>
#include <vector>

namespace sweepon_test {

struct RecordedBox {
    HWND owner = nullptr;
    std::wstring text;
    std::wstring caption;
    UINT type = 0;
};

class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;
    ~MessageBoxRecorder();

    const std::vector<RecordedBox>& Boxes() const { return boxes_; }
    // Called while each box is "shown", before it is answered.
    void OnBox(std::function<void()> observer) { observer_ = std::move(observer); }

private:
    static int WINAPI Record(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

    std::vector<RecordedBox> boxes_;
    std::function<void()> observer_;
    framework::MessageBoxFunction previous_;
};

}  // namespace sweepon_test
