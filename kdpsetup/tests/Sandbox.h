#pragma once

#include "TestSupport.h"

#include <QMap>
#include <QProcessEnvironment>

// A folder holding a private copy of the built kdpsetup with 7-Zip beside it
// as 7z.exe, and the two key homes (home32, home64) that the environment of
// every run points at.
class Sandbox {
public:
    struct Run {
        int exitCode = -1;
        QByteArray out;
        QByteArray err; // the unpacker's output replaced by <7z>
        QByteArray unpacker;
    };

    Sandbox();

    QString path(const QString &relative = QString()) const { return scratch.path(relative); }
    QString app(const QString &relative = QString()) const;
    QString keyDrivers32() const { return path(QStringLiteral("home32/keydrivers/")); }
    QString keyDrivers64() const { return path(QStringLiteral("home64/keydrivers/")); }

    // Replaces 7z.exe by a shell script.
    void useUnpacker(const QByteArray &script);
    // Makes the package NAME (its type from its extension) with 7-Zip from FILES.
    QString package(const QString &name, const QMap<QString, QByteArray> &files) const;
    QString package(const QString &name, const QByteArray &description) const;

    Run run(const QStringList &arguments, const QStringList &unset = {},
            const QStringList &wrapper = {}, const QString &workingFolder = {}) const;

    // The debug channel's output for a run that unpacks and reads FIELDS.
    QByteArray progressLog(const QList<QPair<QString, QString>> &fields,
                           const QString &keyDrivers) const;

private:
    Scratch scratch;
};

using Fields = QList<QPair<QString, QString>>;
Fields driverFields(const char *drivername, const char *modelid, const char *cpubits);
