#include "MessageBoxRecorder.h"

namespace sweepon_test {

namespace {

MessageBoxRecorder* activeRecorder = nullptr;

}  // namespace

MessageBoxRecorder::MessageBoxRecorder() : previous_(framework::RouteMessageBoxes(&Record))
{
    activeRecorder = this;
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    framework::RouteMessageBoxes(previous_);
    activeRecorder = nullptr;
}

int WINAPI MessageBoxRecorder::Record(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    MessageBoxRecorder& recorder = *activeRecorder;
    recorder.boxes_.push_back({owner, text ? text : L"", caption ? caption : L"", type});
    if (recorder.observer_) {
        recorder.observer_();
    }
    return IDOK;
}

}  // namespace sweepon_test
