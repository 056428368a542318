#pragma once

#include <QString>
#include <QStringList>

// Finds NAME in a list of "NAME=value" entries, in list order, comparing the
// name case-sensitively (so TQKEY_HOME never matches TQKEY_HOME_X64, and
// tqkey_home is not TQKEY_HOME even on Windows). The first entry wins; the
// value is everything after the first "=" that follows the name. VALUE is
// null when nothing matches.
bool findEnvironmentEntry(const QStringList &environment, const QString &name, QString &value);

// findEnvironmentEntry over this process's environment, in the order the
// platform lists it.
bool lookupEnvironment(const QString &name, QString &value);

// A key home as the installer uses it: backslashes turned into slashes and a
// trailing "/" added unless the text is empty or already ends with one.
QString normaliseKeyHome(QString keyHome);
