#include "TestSupport.h"
#include "Unpacker.h"

#include <QFile>

#include <gtest/gtest.h>

#include <csignal>

namespace {

QString script(const Scratch &scratch, const QByteArray &body)
{
    const QString path = scratch.path("unpacker"_q);
    writeFile(path, "#!/bin/sh\n" + body);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

TEST(Unpacker, ClosesTheInputSoAPromptEndsAtOnce)
{
    Scratch scratch;
    const QString program = script(scratch, "printf 'Enter password:'\nread answer\necho \"[$answer]$#$1$2\"\n");
    EXPECT_EQ(runUnpacker(program, {"x"_q, "y"_q}, 60000), QByteArray("Enter password:[]2xy\n"));
}

TEST(Unpacker, KillsAnUnpackerStillRunningAtTheLimit)
{
    Scratch scratch;
    const QString pidFile = scratch.path("pid"_q);
    const QString program = script(scratch, "echo $$ > \"$1\"\necho started\nexec sleep 60\n");
    EXPECT_EQ(runUnpacker(program, {pidFile}, 300), QByteArray("started\n"));
    const pid_t pid = readFile(pidFile).trimmed().toInt();
    ASSERT_GT(pid, 0);
    EXPECT_NE(::kill(pid, 0), 0) << "the unpacker is still running";
}

TEST(Unpacker, MissingProgramGivesNoOutput)
{
    EXPECT_EQ(runUnpacker("/nonexistent/7z.exe"_q, {}, 1000), QByteArray());
    EXPECT_EQ(unpackerText(QByteArray("Ok\xe9\0rest", 7)), QString::fromLatin1("Ok\xe9"));
}

} // namespace
