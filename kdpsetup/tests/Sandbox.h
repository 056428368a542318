#pragma once

#include "TestSupport.h"

#include <QMap>

using Fields = QList<QPair<QString, QString>>;
Fields driverFields(const char *drivername, const char *modelid, const char *cpubits);

// A folder holding a private copy of the built kdpsetup with 7-Zip beside it
// as 7z.exe, and the two key homes that every run's environment names.
class Sandbox {
public:
    struct Run {
        int exitCode = -1; // -1000 when killed
        QByteArray out;
        QByteArray err; // the unpacker's output replaced by <7z>
        QByteArray unpacker;
    };

    Sandbox();

    QString path(const QString &relative = QString()) const { return scratch.path(relative); }
    QString app(const QString &relative = QString()) const { return path("app/"_q + relative); }
    QString keyDrivers32() const { return path("home32/keydrivers/"_q); }
    QString keyDrivers64() const { return path("home64/keydrivers/"_q); }

    // Replaces 7z.exe by a shell script, which finds 7-Zip in $SEVENZIP.
    void useUnpacker(const QByteArray &script) const;
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
};
