#include "KeyHomeEnvironment.h"

#include <QProcess>

#ifdef Q_OS_WIN
#include <windows.h>

#include <cwchar>
#endif

namespace {

// The process environment as "NAME=value" entries, in the platform's order.
QStringList processEnvironment()
{
#ifdef Q_OS_WIN
    // QProcess::systemEnvironment() reads the C runtime's copy, in the ANSI
    // code page: a key home it can't spell (Chinese under a Western code
    // page) came out with "?" in it and named no folder. The wide block has
    // every entry as set, in its order.
    QStringList entries;
    wchar_t *const block = ::GetEnvironmentStringsW();
    for (const wchar_t *entry = block; entry && *entry; entry += std::wcslen(entry) + 1)
        entries << QString::fromWCharArray(entry);
    ::FreeEnvironmentStringsW(block);
    return entries;
#else
    // systemEnvironment() keeps the platform's order; QProcessEnvironment
    // would sort it and could change which duplicate wins.
    return QProcess::systemEnvironment();
#endif
}

} // namespace

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
    return findEnvironmentEntry(processEnvironment(), name, value);
}

QString normaliseKeyHome(QString keyHome)
{
    keyHome.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!keyHome.isEmpty() && !keyHome.endsWith(QLatin1Char('/')))
        keyHome += QLatin1Char('/');
    return keyHome;
}
