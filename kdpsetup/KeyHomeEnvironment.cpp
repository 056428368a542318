#include "KeyHomeEnvironment.h"

#include <QProcess>

bool findEnvironmentEntry(const QStringList &environment, const QString &name, QString &value)
{
    value = QString();
    const QString prefix = name + QLatin1Char('=');
    for (const QString &entry : environment) {
        if (entry.startsWith(prefix, Qt::CaseSensitive)) {
            value = entry.mid(prefix.size());
            return true;
        }
    }
    return false;
}

bool lookupEnvironment(const QString &name, QString &value)
{
    // systemEnvironment() keeps the platform's order; QProcessEnvironment
    // would sort it and could change which duplicate wins.
    return findEnvironmentEntry(QProcess::systemEnvironment(), name, value);
}

QString normaliseKeyHome(QString keyHome)
{
    keyHome.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!keyHome.isEmpty() && !keyHome.endsWith(QLatin1Char('/')))
        keyHome += QLatin1Char('/');
    return keyHome;
}
