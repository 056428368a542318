#include "TestSupport.h"
#include "TurnLock.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace {

TEST(TurnLock, WaitsForALiveRunOnlySoLong)
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

    EXPECT_EQ(TurnLock(scratch.path("missing/Temp.lock"_q)).take(300), TurnLock::Outcome::unavailable);

    // A folder in the lock's place is no lock, but what it holds is not
    // ours to delete.
    writeFile(scratch.path("Folder.lock/keep"_q), "k");
    EXPECT_EQ(TurnLock(scratch.path("Folder.lock"_q)).take(300), TurnLock::Outcome::busy);
    EXPECT_EQ(readFile(scratch.path("Folder.lock/keep"_q)), "k");
}

} // namespace
