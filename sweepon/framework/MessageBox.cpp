#include "MessageBox.h"

namespace framework {

namespace {

MessageBoxFunction routedMessageBox = nullptr;

}  // namespace

int ShowMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    if (routedMessageBox) {
        return routedMessageBox(owner, text, caption, type);
    }
    return MessageBoxW(owner, text, caption, type);
}

MessageBoxFunction RouteMessageBoxes(MessageBoxFunction replacement)
{
    const MessageBoxFunction previous = routedMessageBox;
    routedMessageBox = replacement;
    return previous;
}

}  // namespace framework
