#pragma once

// The program the end-to-end scenarios run. They run twice: against the
// Linux kdpsetup (LinuxProgram.cpp) and against kdpsetup.exe under Wine
// (WineProgram.cpp), read as a debugger reads it; each test binary links
// one of the two.

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// What a stand-in for 7z.exe does, in this order: waits; ends kdpsetup by
// force (and does nothing else); writes its arguments to 7z.exe.args, each
// followed by "|"; unpacks with the real 7-Zip, its output dropped; prints.
struct UnpackerDouble {
    UnpackerDouble &waiting(int ms) { waitMs = ms; return *this; }
    UnpackerDouble &killingItsCaller() { killCaller = true; return *this; }
    UnpackerDouble &recordingArguments() { recordArguments = true; return *this; }
    UnpackerDouble &printing(const QByteArray &text) { print = text; return *this; }

    int waitMs = 0;
    bool killCaller = false;
    bool recordArguments = false;
    QByteArray print;
};

namespace underTest {

// Whether the program is kdpsetup.exe under Wine.
extern const bool wine;

// Puts the program and its 7z.exe into the folder APP; returns what is
// there then, as treeOf() lists it.
QStringList install(const QString &app);

// PATH (a path of this machine) as the program names it, and as an
// environment variable would name it to the program.
QString pathSeen(const QString &path);
QString environmentPath(const QString &path);

// Adds what the program needs from every run's environment.
void prepare(QProcessEnvironment &environment);

// The command, program first, that runs the program in APP with ARGUMENTS.
QStringList command(const QString &app, const QStringList &arguments);

// The exit code of a finished run; -1000 when it was ended by force.
int exitCode(const QProcess &process);

// Text the program wrote through the C library or a file in text mode, with
// the Linux program's line ends. Windows ends every line with CR LF; text
// with a line that doesn't is returned as it is.
QByteArray linuxLineEnds(const QByteArray &text);

// Makes APP's 7z.exe a stand-in doing what UNPACKER says, for the runs
// whose ENVIRONMENT this is.
void useUnpacker(const QString &app, const UnpackerDouble &unpacker, QProcessEnvironment &environment);
// ... a shell script, which finds 7-Zip in $SEVENZIP (Linux only).
void useUnpackerScript(const QString &app, const QByteArray &script);

} // namespace underTest
