#include "Unpacker.h"

#include <QProcess>

QByteArray runUnpacker(const QString &program, const QStringList &arguments, int timeLimitMs)
{
    QProcess unpacker;
    unpacker.setStandardErrorFile(QProcess::nullDevice());
    unpacker.start(program, arguments, QIODevice::ReadWrite);
    if (!unpacker.waitForStarted())
        return QByteArray();
    unpacker.closeWriteChannel();
    if (!unpacker.waitForFinished(timeLimitMs) && unpacker.state() != QProcess::NotRunning) {
        unpacker.kill();
        unpacker.waitForFinished(-1);
    }
    return unpacker.readAllStandardOutput();
}

QString unpackerText(const QByteArray &output)
{
    const int zero = output.indexOf('\0');
    return QString::fromLatin1(zero < 0 ? output : output.left(zero));
}
