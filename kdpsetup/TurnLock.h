#pragma once

#include <QLockFile>
#include <QString>

// A lock file that makes runs take turns with what sits beside it (Temp/,
// the key home registries). A lock left by a run that can't still be going
// on this machine is taken over: its process is gone, it names another
// machine, it has been empty or unreadable for a while (what a power cut
// leaves), or it is an empty folder. A live run's lock is waited for, but
// only so long.
class TurnLock {
public:
    enum class Outcome {
        taken,
        // The lock can't be made here (a folder that is not writable): the
        // caller goes on without it, as nothing else can write there either.
        unavailable,
        // A live run kept it for the whole wait.
        busy,
    };

    explicit TurnLock(const QString &path);

    Outcome take(int waitLimitMs);
    const QString &path() const { return lockPath; }

private:
    bool cannotBeALiveRunHere() const;
    void removeLeftoverRemovalLock() const;
    bool takeOver();

    QString lockPath;
    QLockFile lock;
};
