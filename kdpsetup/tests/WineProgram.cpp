// The end-to-end scenarios run kdpsetup.exe, built in the Windows tree,
// with the Windows 7z.exe beside it, under Wine in that tree's prefix. It
// runs under tools/wintest's debugrun, which hands its debug output (where
// its qDebug lines go) over on standard error, as a debugger reads it.
// Drive Z: is this machine's root.

#include "ProgramUnderTest.h"
#include "TestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

namespace underTest {

const bool wine = true;

namespace {

// The exit code the unpacker double ends its caller with.
constexpr int killedByTheDouble = 9;

void copyProgram(const QString &from, const QString &to)
{
    QFile::remove(to);
    EXPECT_TRUE(QFile::copy(from, to)) << to.toStdString();
}

} // namespace

QStringList install(const QString &app)
{
    copyProgram(QStringLiteral(KDPSETUP_EXE), app + "/kdpsetup.exe"_q);
    copyProgram(QStringLiteral(WINDOWS_SEVENZIP), app + "/7z.exe"_q);
    return {"7z.exe"_q, "kdpsetup.exe"_q};
}

QString pathSeen(const QString &path)
{
    return "Z:"_q + path;
}

QString environmentPath(const QString &path)
{
    return pathSeen(path).replace(QLatin1Char('/'), QLatin1Char('\\'));
}

void prepare(QProcessEnvironment &environment)
{
    // Wine takes the ANSI code page from the locale (C: Western, 1252) and
    // needs the locale itself to read UTF-8 names and arguments.
    environment.insert("LC_ALL"_q, "C.UTF-8"_q);
    environment.insert("LOCPATH"_q, QStringLiteral(TEST_LOCALES));
}

QStringList command(const QString &app, const QStringList &arguments)
{
    return QStringList{QStringLiteral(WINE_RUN), QStringLiteral(WINDOWS_BUILD_DIR), QStringLiteral(DEBUGRUN_EXE),
                       environmentPath(app + "/kdpsetup.exe"_q)}
           + arguments;
}

int exitCode(const QProcess &process)
{
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() == killedByTheDouble)
        return -1000;
    return process.exitCode(); // Wine hands on the low byte: -1 is 255, as on Linux
}

QByteArray linuxLineEnds(const QByteArray &text)
{
    if (text.count('\n') != text.count("\r\n"))
        return text; // as it is, CRs and all, so that the comparison fails
    return QByteArray(text).replace("\r\n", "\n");
}

void useUnpackerScript(const QString &, const QByteArray &)
{
    ADD_FAILURE() << "a shell script can't stand in for 7z.exe under Wine";
}

void useUnpacker(const QString &app, const UnpackerDouble &unpacker, QProcessEnvironment &environment)
{
    copyProgram(QStringLiteral(UNPACKER_DOUBLE_EXE), app + "/7z.exe"_q);
    const QString prefix = "KDPSETUP_UNPACKER_"_q;
    for (const QString &name : environment.keys()) {
        if (name.startsWith(prefix))
            environment.remove(name);
    }
    const auto setting = [&](const char *name, const QString &value) {
        if (!value.isEmpty())
            environment.insert(prefix + QLatin1String(name), value);
    };
    setting("WAIT_MS", unpacker.waitMs > 0 ? QString::number(unpacker.waitMs) : QString());
    setting("KILL_CALLER", unpacker.killCaller ? "1"_q : QString());
    setting("RECORD", unpacker.recordArguments ? "1"_q : QString());
    setting("SEVENZIP", environmentPath(QStringLiteral(WINDOWS_SEVENZIP)));
    setting("PRINT", QString::fromLatin1(unpacker.print.toHex()));
}

} // namespace underTest
