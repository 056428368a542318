#include "TestSupport.h"
#include "TurnLock.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

namespace {

TEST(TurnLock, WaitsForALiveRunOnlySoLongAndClearsWhatDeadOnesLeft)
{
    Scratch scratch;
    const QString path = scratch.path("Temp.lock"_q);
    TurnLock live(path);
    ASSERT_EQ(live.take(0), TurnLock::Outcome::taken);

    // This process is alive and on this machine: its lock is not taken over.
    TurnLock waiting(path);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(waiting.take(300), TurnLock::Outcome::busy);
    EXPECT_GE(timer.elapsed(), 300);

    // What a run killed while it removed a stale lock leaves beside it is
    // cleared by the next run that takes the lock.
    const QString removal = scratch.path("Other.lock.rmlock"_q);
    writeFile(removal, "");
    QFile file(removal);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime);
    EXPECT_EQ(TurnLock(scratch.path("Other.lock"_q)).take(0), TurnLock::Outcome::taken);
    EXPECT_FALSE(QFile::exists(removal));

    EXPECT_EQ(TurnLock(scratch.path("missing/Temp.lock"_q)).take(300), TurnLock::Outcome::unavailable);

    // A folder in the lock's place is no lock, but what it holds is not
    // ours to delete.
    writeFile(scratch.path("Folder.lock/keep"_q), "k");
    EXPECT_EQ(TurnLock(scratch.path("Folder.lock"_q)).take(300), TurnLock::Outcome::busy);
    EXPECT_EQ(readFile(scratch.path("Folder.lock/keep"_q)), "k");
}

} // namespace
