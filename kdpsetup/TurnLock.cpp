#include "TurnLock.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QSysInfo>
#include <QThread>

namespace {

// How often a live run's lock is looked at again.
constexpr int pollIntervalMs = 50;
// A live run writes what identifies it right after it makes the file: a
// lock that stays empty or unreadable this long was left by a run that
// died in between (or by a power cut).
constexpr qint64 unidentifiedGraceMs = 2000;

// The machine name QLockFile writes into its lock files.
QString thisMachine()
{
#ifdef Q_OS_WIN
    return qEnvironmentVariable("COMPUTERNAME");
#else
    return QSysInfo::machineHostName();
#endif
}

} // namespace

TurnLock::TurnLock(const QString &path) : lockPath(path), lock(path)
{
    // QLockFile itself takes over the lock of a process of this machine that
    // has ended; a lock's age says nothing, as a run may take long.
    lock.setStaleLockTime(0);
}

TurnLock::Outcome TurnLock::take(int waitLimitMs)
{
    const QDeadlineTimer deadline(waitLimitMs);
    for (;;) {
        if (lock.tryLock(0)) {
            removeLeftoverRemovalLock();
            return Outcome::taken;
        }
        if (lock.error() != QLockFile::LockFailedError)
            return Outcome::unavailable;
        if (cannotBeALiveRunHere() && takeOver())
            continue;
        if (deadline.hasExpired())
            return Outcome::busy;
        QThread::msleep(static_cast<unsigned long>(qMin<qint64>(pollIntervalMs, deadline.remainingTime())));
    }
}

void TurnLock::removeLeftoverRemovalLock() const
{
    // QLockFile holds "<lock>.rmlock" while it removes a stale lock; a run
    // killed just then leaves it behind, and nothing else ever removes it.
    const QString removalLock = lockPath + QLatin1String(".rmlock");
    if (QFileInfo::exists(removalLock))
        TurnLock(removalLock).take(0); // and let go at once, which removes it
}

bool TurnLock::cannotBeALiveRunHere() const
{
    qint64 pid = 0;
    QString machine;
    QString application;
    if (lock.getLockInfo(&pid, &machine, &application))
        return !machine.isEmpty() && machine != thisMachine();
    const QFileInfo entry(lockPath);
    const qint64 age = entry.lastModified().msecsTo(QDateTime::currentDateTime());
    return entry.isDir() || qAbs(age) > unidentifiedGraceMs;
}

bool TurnLock::takeOver()
{
    // A folder is no lock; an empty one is removed, one that holds
    // anything is not ours to delete, so it is waited for like a live lock.
    const QFileInfo entry(lockPath);
    if (entry.isDir() && !entry.isSymLink())
        return QDir().rmdir(lockPath);
    // Refused while a live run holds the file: QLockFile keeps it locked
    // (Unix) or open without sharing its deletion (Windows) from the moment
    // it makes it, before its contents are written.
    return lock.removeStaleLockFile();
}
