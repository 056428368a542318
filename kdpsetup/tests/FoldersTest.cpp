#include "FolderName.h"
#include "Folders.h"
#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

TEST(Folders, CopiesTheWholeTreeWithoutFollowingLinks)
{
    Scratch scratch;
    const QString source = scratch.path("src/"_q);
    const QString target = scratch.path("home/K1/D1/"_q);
    const QString outside = scratch.path("outside"_q);
    writeFile(source + "a.dll"_q, "new");
    writeFile(source + ".hidden"_q, "h");
    writeFile(source + "sub/.deep/x"_q, "x");
    writeFile(source + "into/y"_q, "y");
    makeLink("a.dll"_q, source + "alias.dll"_q);
    makeLink("../a.dll"_q, source + "sub/up.dll"_q);
    writeFile(target + "a.dll"_q, "old");
    writeFile(target + "kept.txt"_q, "k");
    QDir().mkpath(outside);
    makeLink(outside, target + "into"_q); // left there by someone else

    ASSERT_TRUE(copyFolder(source, target, true));
    EXPECT_EQ(treeOf(target), list({".hidden", "a.dll", "alias.dll -> a.dll", "into/", "into/y", "kept.txt",
                                    "sub/", "sub/.deep/", "sub/.deep/x", "sub/up.dll -> ../a.dll"}));
    EXPECT_EQ(readFile(target + "a.dll"_q), "new");
    EXPECT_TRUE(treeOf(outside).isEmpty());
}

TEST(Folders, RefusesLinksOutOfTheSourceAndFilesItCannotReplace)
{
    Scratch scratch;
    const QString source = scratch.path("src/"_q);
    writeFile(scratch.path("secret"_q), "s");
    writeFile(source + "a"_q, "a");
    makeLink(scratch.path("secret"_q), source + "b"_q);
    EXPECT_FALSE(copyFolder(source, scratch.path("out1"_q), true));
    EXPECT_EQ(treeOf(scratch.path("out1"_q)), list({"a"})); // what came before stays
    QFile::remove(source + "b"_q);
    makeLink("../secret"_q, source + "b"_q);
    EXPECT_FALSE(copyFolder(source, scratch.path("out2"_q), true));

    QFile::remove(source + "b"_q);
    QDir().mkpath(scratch.path("out3/a"_q));
    EXPECT_FALSE(copyFolder(source, scratch.path("out3"_q), true));
    writeFile(scratch.path("out4/a"_q), "old");
    EXPECT_FALSE(copyFolder(source, scratch.path("out4"_q), false));
    EXPECT_EQ(readFile(scratch.path("out4/a"_q)), "old");
}

TEST(Folders, RemovesTheWholeTreeButNeverWhatLinksPointTo)
{
    Scratch scratch;
    const QString outside = scratch.path("outside/"_q);
    const QString temp = scratch.path("Temp/"_q);
    writeFile(outside + "keep"_q, "k");
    writeFile(temp + ".hidden"_q, "h");
    writeFile(temp + "stale/old.dll"_q, "o");
    QFile::setPermissions(temp + "stale/old.dll"_q, QFile::ReadOwner);
    makeLink(outside, temp + "dirlink"_q);
    makeLink(outside + "keep"_q, temp + "stale/filelink"_q);
    makeLink("/nonexistent"_q, temp + "dangling"_q);
    EXPECT_TRUE(removeFolder(temp));
    EXPECT_FALSE(QFileInfo::exists(temp));
    EXPECT_EQ(treeOf(outside), list({"keep"}));

    makeLink(outside, scratch.path("Temp"_q)); // Temp itself a link: just the link goes
    EXPECT_TRUE(removeFolder(temp));
    EXPECT_FALSE(QFileInfo(scratch.path("Temp"_q)).isSymLink());
    EXPECT_EQ(treeOf(outside), list({"keep"}));
    EXPECT_TRUE(removeFolder(scratch.path("missing/"_q)));
    EXPECT_FALSE(removeFolder(QString()));
}

TEST(FolderName, AcceptsOnlyNamesThatStayOneFolderDeep)
{
    for (const char *good : {"K1", "D1 v2.0", "model-1_x", "型号", "\xf0\x9f\x98\x80", ".hidden", "CONSOLE", "COM10", "config"})
        EXPECT_TRUE(isSafeFolderName(QString::fromUtf8(good))) << good;
    // A surrogate alone (a UTF-16 description can hold one) names no file
    // on the disk as itself, nor can a registry hold it.
    for (const QString &alone : {"K"_q + QChar(0xd800), QChar(0xdc00) + "K"_q, QString(QChar(0xdbff))})
        EXPECT_FALSE(isSafeFolderName(alone));
    for (const char *bad : {"", ".", "..", "a/b", "a\\b", "/abs", "C:", "C:x", "a<b", "a>b", "a\"b", "a|b", "a?b",
                            "a*b", "tab\there", "nl\n", "del\x7f", "\xc2\x85", "dot.", "space ", "CON", "nul",
                            "Com1", "lpt9.txt", "config.xml", "CONFIG.XML", "config.xml.lock",
                            "Config.xml.bad.2"})
        EXPECT_FALSE(isSafeFolderName(QString::fromUtf8(bad))) << bad;
}

} // namespace
