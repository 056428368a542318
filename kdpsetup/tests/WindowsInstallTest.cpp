// What only kdpsetup.exe meets: Windows paths, code pages, drives, shortcut
// files, read-only files and what Windows calls a link. Runs under Wine,
// beside the scenarios that both programs share.

#include "Sandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

// Drive Q: of the Wine prefix, leading to FOLDER while this lives.
class DriveQ {
public:
    explicit DriveQ(const QString &folder)
    {
        QFile::remove(link);
        QDir().mkpath(folder);
        makeLink(folder, link);
    }
    ~DriveQ() { QFile::remove(link); }
    DriveQ(const DriveQ &) = delete;
    DriveQ &operator=(const DriveQ &) = delete;

private:
    const QString link = QStringLiteral(WINDOWS_BUILD_DIR "/wineprefix/dosdevices/q:");
};

// TEXT as a debugger reads it from a program whose ANSI code page is
// Western (1252): what that can't spell is "?".
QByteArray inWesternCodePage(const QString &text)
{
    QByteArray spelled;
    for (const QChar c : text)
        spelled += c.unicode() < 0x80 ? QString(c).toUtf8() : QByteArray("?");
    return spelled;
}

TEST(WindowsInstall, KeyHomesAndPackagePathsAsWindowsUsersWriteThem)
{
    struct Case {
        const char *what;
        const char *locale;   // Wine's code page follows it
        QString keyHome;      // below the sandbox; drive-q/ is drive Q:
        QString keyHomeValue; // TQKEY_HOME, %1 the key home as Windows names it
        QString package;      // below the sandbox
        QString argument;     // %1 the package as Windows names it
    };
    const QList<Case> cases = {
        {"backslashes, a drive and a trailing separator", "C.UTF-8", "home"_q, "%1\\"_q, "p.7z"_q, "%1"_q},
        {"mixed separators, a relative package path", "C.UTF-8", "home"_q, "%1/"_q, "a b/p.7z"_q, "a b\\p.7z"_q},
        {"spaces and Chinese, Western code page", "C.UTF-8", "钥匙 家"_q, "%1"_q, "驱动 包.7z"_q, "%1"_q},
        {"spaces and Chinese, Chinese code page", "zh_CN.UTF-8", "钥匙 家"_q, "%1"_q, "驱动 包.7z"_q, "%1"_q},
        {"another drive", "C.UTF-8", "drive-q/home"_q, "%1"_q, "drive-q/p.7z"_q, "%1"_q},
    };
    const Fields fields = driverFields("D1", "K1", "32");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Sandbox box;
        const DriveQ driveQ(box.path("drive-q"_q));
        const auto windowsName = [&](const QString &relative) {
            return relative.startsWith("drive-q/"_q)
                       ? "Q:\\"_q + QString(relative).mid(8).replace(QLatin1Char('/'), QLatin1Char('\\'))
                       : underTest::environmentPath(box.path(relative));
        };
        box.setEnvironment("LC_ALL"_q, QString::fromLatin1(c.locale));
        box.setEnvironment("TQKEY_HOME"_q, QString(c.keyHomeValue).arg(windowsName(c.keyHome)));

        // An ordinary file named *.lnk and a read-only file in the package;
        // beside it a package whose name differs only in what a Western code
        // page can't spell, which must never be installed instead.
        writeFile(box.path("source/config.xml"_q), descriptionXml(fields));
        writeFile(box.path("source/Sign.lnk"_q), "a file, not a link");
        writeFile(box.path("source/readonly.dll"_q), "read-only");
        QFile::setPermissions(box.path("source/readonly.dll"_q), QFile::ReadOwner);
        QDir().mkpath(QFileInfo(box.path(c.package)).path());
        ASSERT_TRUE(sevenZip(box.path("source"_q), {"a"_q, box.path(c.package), "."_q}));
        if (c.package.contains("驱动"_q))
            box.package(QString(c.package).replace("驱动"_q, "别的"_q), descriptionXml(driverFields("D2", "K2", "32")));

        const QString argument = c.argument.contains("%1"_q) ? c.argument.arg(windowsName(c.package)) : c.argument;
        const QString keyDrivers = QString(windowsName(c.keyHome)).replace(QLatin1Char('\\'), QLatin1Char('/'))
                                   + "/keydrivers/"_q;
        QByteArray log = box.progressLog(fields, QString()) + "Setup Successful! \n\n";
        log.replace("KEYhome path is \"\"", "KEYhome path is \"" + (QByteArray(c.locale) == "C.UTF-8"
                                                                       ? inWesternCodePage(keyDrivers)
                                                                       : keyDrivers.toUtf8()) + "\"");
        for (int round = 0; round < 2; ++round) { // the second replaces what the first installed
            const Sandbox::Run run = box.run({argument});
            EXPECT_EQ(run.exitCode, 0);
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(run.err, log);
        }
        const QString home = box.path(c.keyHome) + "/keydrivers/"_q;
        EXPECT_EQ(treeOf(home), list({"K1/", "K1/D1/", "K1/D1/Sign.lnk", "K1/D1/config.xml", "K1/D1/readonly.dll",
                                      "K1/config.xml", "config.xml"}));
        EXPECT_EQ(readRegistry(home + "config.xml"_q), registry("devices", {"K1"}));
    }
}

TEST(WindowsInstall, NeverFollowsALinkLeftInTemp)
{
    // Wine shows a Unix link as a folder that is a reparse point of no kind
    // Qt knows, as Qt 5 takes a junction for a plain folder: clearing Temp
    // must not remove what such a link leads to.
    Sandbox box;
    writeFile(box.path("outside/keep"_q), "keep");
    makeLink(box.path("outside"_q), box.app("Temp/out"_q));
    box.run({box.package("p.7z"_q, descriptionXml(driverFields("D1", "K1", "32")))});
    EXPECT_EQ(treeOf(box.path("outside"_q)), list({"keep"}));
    EXPECT_FALSE(QFile::exists(box.keyDrivers32() + "K1/D1/out/keep"_q));
}

} // namespace
