#include "FolderName.h"
#include "Folders.h"
#include "TestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

QStringList list(std::initializer_list<const char *> names)
{
    QStringList result;
    for (const char *name : names)
        result << QString::fromUtf8(name);
    return result;
}

TEST(Folders, CopiesTheWholeTreeWithoutFollowingLinks)
{
    Scratch scratch;
    const QString source = scratch.path(QStringLiteral("src"));
    const QString outside = scratch.path(QStringLiteral("outside"));
    writeFile(source + QLatin1String("/a.dll"), "new");
    writeFile(source + QLatin1String("/.hidden"), "h");
    writeFile(source + QLatin1String("/sub/.deep/x"), "x");
    writeFile(source + QLatin1String("/into/y"), "y");
    makeLink(QStringLiteral("a.dll"), source + QLatin1String("/alias.dll"));
    makeLink(QStringLiteral("../a.dll"), source + QLatin1String("/sub/up.dll"));
    const QString target = scratch.path(QStringLiteral("home/K1/D1/"));
    writeFile(target + QLatin1String("a.dll"), "old");
    writeFile(target + QLatin1String("kept.txt"), "k");
    QDir().mkpath(outside);
    makeLink(outside, target + QLatin1String("into")); // left by someone else

    ASSERT_TRUE(copyFolder(source + QLatin1Char('/'), target, true));
    EXPECT_EQ(treeOf(target), list({".hidden", "a.dll", "alias.dll -> a.dll", "into/", "into/y",
                                    "kept.txt", "sub/", "sub/.deep/", "sub/.deep/x",
                                    "sub/up.dll -> ../a.dll"}));
    EXPECT_EQ(readFile(target + QLatin1String("a.dll")), "new");
    EXPECT_TRUE(treeOf(outside).isEmpty());
}

TEST(Folders, RefusesLinksOutOfTheSourceAndFilesItCannotReplace)
{
    Scratch scratch;
    const QString source = scratch.path(QStringLiteral("src/"));
    writeFile(scratch.path(QStringLiteral("secret")), "s");
    writeFile(source + QLatin1String("a"), "a");
    makeLink(scratch.path(QStringLiteral("secret")), source + QLatin1String("b"));
    EXPECT_FALSE(copyFolder(source, scratch.path(QStringLiteral("out1")), true));
    EXPECT_EQ(treeOf(scratch.path(QStringLiteral("out1"))), list({"a"}));

    QFile::remove(source + QLatin1String("b"));
    makeLink(QStringLiteral("../secret"), source + QLatin1String("b"));
    EXPECT_FALSE(copyFolder(source, scratch.path(QStringLiteral("out2")), true));

    QFile::remove(source + QLatin1String("b"));
    QDir().mkpath(scratch.path(QStringLiteral("out3/a")));
    EXPECT_FALSE(copyFolder(source, scratch.path(QStringLiteral("out3")), true));
    writeFile(scratch.path(QStringLiteral("out4/a")), "old");
    EXPECT_FALSE(copyFolder(source, scratch.path(QStringLiteral("out4")), false));
    EXPECT_EQ(readFile(scratch.path(QStringLiteral("out4/a"))), "old");
}

TEST(Folders, RemovesTheWholeTreeButNeverWhatLinksPointTo)
{
    Scratch scratch;
    const QString outside = scratch.path(QStringLiteral("outside/"));
    writeFile(outside + QLatin1String("keep"), "k");
    const QString temp = scratch.path(QStringLiteral("Temp/"));
    writeFile(temp + QLatin1String(".hidden"), "h");
    writeFile(temp + QLatin1String("stale/old.dll"), "o");
    QFile::setPermissions(temp + QLatin1String("stale/old.dll"), QFile::ReadOwner);
    makeLink(outside, temp + QLatin1String("dirlink"));
    makeLink(outside + QLatin1String("keep"), temp + QLatin1String("stale/filelink"));
    makeLink(QStringLiteral("/nonexistent"), temp + QLatin1String("dangling"));
    EXPECT_TRUE(removeFolder(temp));
    EXPECT_FALSE(QFileInfo::exists(temp));
    EXPECT_EQ(treeOf(outside), list({"keep"}));

    makeLink(outside, scratch.path(QStringLiteral("Temp")));
    EXPECT_TRUE(removeFolder(temp));
    EXPECT_FALSE(QFileInfo(scratch.path(QStringLiteral("Temp"))).isSymLink());
    EXPECT_EQ(treeOf(outside), list({"keep"}));

    EXPECT_TRUE(removeFolder(scratch.path(QStringLiteral("missing/"))));
    EXPECT_FALSE(removeFolder(QString()));
}

TEST(FolderName, AcceptsOnlyNamesThatStayOneFolderDeep)
{
    for (const char *good : {"K1", "D1 v2.0", "model-1_x", "型号", ".hidden", "CONSOLE", "COM10", "config"})
        EXPECT_TRUE(isSafeFolderName(QString::fromUtf8(good))) << good;
    for (const char *bad : {"", ".", "..", "a/b", "a\\b", "/abs", "C:", "C:x", "a<b", "a>b", "a\"b",
                            "a|b", "a?b", "a*b", "tab\there", "nl\n", "del\x7f", "dot.", "space ",
                            "CON", "nul", "Com1", "lpt9.txt", "config.xml", "CONFIG.XML"})
        EXPECT_FALSE(isSafeFolderName(QString::fromUtf8(bad))) << bad;
    EXPECT_FALSE(isSafeFolderName(QString(QChar(0x85))));
}

} // namespace
