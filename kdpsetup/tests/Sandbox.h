#pragma once

#include "ProgramUnderTest.h"
#include "TestSupport.h"

#include <QMap>

using Fields = QList<QPair<QString, QString>>;
Fields driverFields(const char *drivername, const char *modelid, const char *cpubits);

// A folder holding a private copy of the program under test with 7-Zip
// beside it as 7z.exe, and the two key homes that every run's environment
// names. Paths are this machine's; seen() gives the program's name for one.
class Sandbox {
public:
    struct Run {
        int exitCode = -1; // -1000 when killed
        QByteArray out;    // with Linux line ends
        QByteArray err;    // the debug channel; the unpacker's output replaced by <7z>
        QByteArray unpacker; // with Linux line ends
    };

    Sandbox();

    QString path(const QString &relative = QString()) const { return scratch.path(relative); }
    QString app(const QString &relative = QString()) const { return path("app/"_q + relative); }
    QString keyDrivers32() const { return path("home32/keydrivers/"_q); }
    QString keyDrivers64() const { return path("home64/keydrivers/"_q); }
    // What the sandbox put into app/, as treeOf() lists it.
    const QStringList &programFiles() const { return installed; }
    // PATH as the program names it (in its debug lines, its 7-Zip arguments).
    static QByteArray seen(const QString &path) { return underTest::pathSeen(path).toUtf8(); }

    // Replaces 7z.exe by a stand-in.
    void useUnpacker(const UnpackerDouble &unpacker);
    // ... by a shell script, which finds 7-Zip in $SEVENZIP (Linux only).
    void useUnpacker(const QByteArray &script) const;
    // Runs set this environment variable (a key home, a locale).
    void setEnvironment(const QString &name, const QString &value) { environment.insert(name, value); }
    // Makes the package NAME (typed by its extension) with 7-Zip from FILES.
    QString package(const QString &name, const QMap<QString, QByteArray> &files) const;
    // ... from a description and a driver.dll.
    QString package(const QString &name, const QByteArray &description) const;

    // Runs kdpsetup with ARGUMENTS in the sandbox, without the environment
    // variables UNSET, behind WRAPPER (a command and its arguments).
    Run run(const QStringList &arguments, const QStringList &unset = {},
            const QStringList &wrapper = {}) const;

    // The debug channel's output of a run that unpacks and reads FIELDS.
    QByteArray progressLog(const Fields &fields, const QString &keyDrivers) const;

private:
    Scratch scratch;
    QStringList installed;
    QProcessEnvironment environment;
};

// A key home registry as the program wrote it, with Linux line ends.
QByteArray readRegistry(const QString &path);
