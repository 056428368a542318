#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Runs the unpacker PROGRAM with ARGUMENTS and returns what it wrote to its
// standard output. Its input is closed as soon as it has started, so a
// program that asks for something (7-Zip's password prompt) ends at once
// instead of waiting for an answer that never comes. Its standard error is
// discarded. A program still running after TIMELIMITMS is killed and waited
// for; whatever it printed until then is returned. A program that can't be
// started yields an empty result.
QByteArray runUnpacker(const QString &program, const QStringList &arguments, int timeLimitMs);

// The unpacker's output as the installer reads it: Latin-1, cut at the first
// zero byte.
QString unpackerText(const QByteArray &output);
