#pragma once

#include <QString>

// The installer's progress and result lines go to Qt's debug channel in the
// form its log readers have always parsed: one space after every item, text
// items wrapped in double quotes with nothing escaped, an explicit end of
// line, and the whole message handed to Qt's message handler unchanged
// (trailing space included).
//
//   DebugMessage() << "Temp path is" << tempFolder << endLine;
//
// The message is emitted when the temporary object dies, at the end of the
// statement.
struct EndLine {};
inline constexpr EndLine endLine{};

class DebugMessage {
public:
    DebugMessage() = default;
    ~DebugMessage();
    DebugMessage(const DebugMessage &) = delete;
    DebugMessage &operator=(const DebugMessage &) = delete;

    // A literal, written as it stands.
    DebugMessage &operator<<(const char *literal);
    // A text value (a path, captured output), written in double quotes.
    DebugMessage &operator<<(const QString &text);
    DebugMessage &operator<<(int number);
    DebugMessage &operator<<(EndLine);

    const QString &text() const { return message; }

private:
    QString message;
};
