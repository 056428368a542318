// The end-to-end scenarios run the Linux kdpsetup, with a link to Debian's
// 7zz as its 7z.exe.

#include "ProgramUnderTest.h"
#include "TestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

namespace underTest {

const bool wine = false;

QStringList install(const QString &app)
{
    EXPECT_TRUE(QFile::copy(QStringLiteral(KDPSETUP_BINARY), app + "/kdpsetup"_q));
    makeLink(QStringLiteral(SEVENZIP_PROGRAM), app + "/7z.exe"_q);
    return {"7z.exe -> " SEVENZIP_PROGRAM ""_q, "kdpsetup"_q};
}

QString pathSeen(const QString &path)
{
    return path;
}

QString environmentPath(const QString &path)
{
    return path;
}

void prepare(QProcessEnvironment &environment)
{
    environment.insert("LC_ALL"_q, "C.UTF-8"_q);
}

QStringList command(const QString &app, const QStringList &arguments)
{
    return QStringList{app + "/kdpsetup"_q} + arguments;
}

int exitCode(const QProcess &process)
{
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1000;
}

QByteArray linuxLineEnds(const QByteArray &text)
{
    return text;
}

void useUnpackerScript(const QString &app, const QByteArray &script)
{
    const QString unpacker = app + "/7z.exe"_q;
    QFile::remove(unpacker);
    writeFile(unpacker, "#!/bin/sh\nSEVENZIP=" SEVENZIP_PROGRAM "\n" + script);
    QFile::setPermissions(unpacker, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void useUnpacker(const QString &app, const UnpackerDouble &unpacker, QProcessEnvironment &)
{
    QByteArray script;
    if (unpacker.waitMs > 0)
        script += "sleep " + QByteArray::number(unpacker.waitMs / 1000.0) + "\n";
    if (unpacker.killCaller) {
        useUnpackerScript(app, script + "kill -9 $PPID\n");
        return;
    }
    if (unpacker.recordArguments)
        script += "printf '%s|' \"$@\" > \"$0.args\"\n";
    script += "\"$SEVENZIP\" \"$@\" > /dev/null\n";
    script += "printf '%s' '" + QByteArray(unpacker.print).replace("'", "'\\''") + "'\n";
    useUnpackerScript(app, script);
}

} // namespace underTest
