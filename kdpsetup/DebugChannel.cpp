#include "DebugChannel.h"

#include <QDebug>

#include <cstdio>

DebugMessage::~DebugMessage()
{
    // Error lines go to standard output through the C library's buffer; flush
    // it first so that both channels read in the order things happened when
    // they end up in the same file.
    std::fflush(stdout);
    // noquote + nospace make QDebug pass the text through untouched: it
    // neither escapes it nor drops the final space of the message.
    qDebug().noquote().nospace() << message;
}

DebugMessage &DebugMessage::operator<<(const char *literal)
{
    message += QString::fromLatin1(literal);
    message += QLatin1Char(' ');
    return *this;
}

DebugMessage &DebugMessage::operator<<(const QString &text)
{
    message += QLatin1Char('"');
    message += text;
    message += QLatin1String("\" ");
    return *this;
}

DebugMessage &DebugMessage::operator<<(int number)
{
    message += QString::number(number);
    message += QLatin1Char(' ');
    return *this;
}

DebugMessage &DebugMessage::operator<<(EndLine)
{
    message += QLatin1Char('\n');
    return *this;
}
