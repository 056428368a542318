// Runs the built kdpsetup on packages made with 7-Zip during the test and
// checks everything it leaves: standard output, the debug channel (standard
// error), the exit status, the key home tree and the registries.

#include "Sandbox.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

QStringList list(std::initializer_list<const char *> names)
{
    QStringList result;
    for (const char *name : names)
        result << QString::fromUtf8(name);
    return result;
}

QByteArray devices(const QByteArray &entries)
{
    return "<?xml version=\"1.0\"?>\n<devices>\n" + entries + "</devices>\n";
}

QByteArray drivers(const QByteArray &entries, const QByteArray &declaration = "<?xml version=\"1.0\"?>")
{
    return declaration + "\n<drivers>\n" + entries + "</drivers>\n";
}

TEST(InstallEndToEnd, Installs7zAndZipPackagesInteractiveAndSilent)
{
    Sandbox box;
    const Fields d1 = driverFields("D1", "K&1", "32");
    const QString first = box.package(QStringLiteral("first.7z"), descriptionXml(d1));
    Sandbox::Run run = box.run({first});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, box.progressLog(d1, box.keyDrivers32()) + "Setup Successful! \n\n");
    EXPECT_TRUE(run.unpacker.contains("\nEverything is Ok\n")) << run.unpacker.constData();
    EXPECT_EQ(treeOf(box.path(QStringLiteral("home32"))),
              list({"keydrivers/", "keydrivers/K&1/", "keydrivers/K&1/D1/", "keydrivers/K&1/D1/config.xml",
                    "keydrivers/K&1/D1/driver.dll", "keydrivers/K&1/config.xml", "keydrivers/config.xml"}));
    EXPECT_EQ(readFile(box.keyDrivers32() + QLatin1String("K&1/D1/config.xml")), descriptionXml(d1));
    EXPECT_EQ(readFile(box.keyDrivers32() + QLatin1String("config.xml")),
              devices("    <device>K&amp;1</device>\n"));
    EXPECT_EQ(treeOf(box.app()), list({"7z.exe -> " SEVENZIP_PROGRAM, "kdpsetup"}));

    // A second driver of the same model, from a zip, silently.
    const quint64 deviceRegistry = inodeOf(box.keyDrivers32() + QLatin1String("config.xml"));
    const Fields d2 = driverFields("D2", "K&1", "32");
    run = box.run({QStringLiteral("-s"), box.package(QStringLiteral("second.zip"), descriptionXml(d2))});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, box.progressLog(d2, box.keyDrivers32()));
    EXPECT_TRUE(run.unpacker.contains("Type = zip")) << run.unpacker.constData();
    EXPECT_EQ(inodeOf(box.keyDrivers32() + QLatin1String("config.xml")), deviceRegistry);
    EXPECT_EQ(readFile(box.keyDrivers32() + QLatin1String("K&1/config.xml")),
              drivers("    <driver>D1</driver>\n    <driver>D2</driver>\n", "<?xml version='1.0'?>"));

    // A 64-bit driver goes to the other key home; the log still names the 32-bit one.
    const Fields d3 = driverFields("D3", "K3", "64");
    run = box.run({box.package(QStringLiteral("third.7z"), descriptionXml(d3))});
    EXPECT_EQ(run.err, box.progressLog(d3, box.keyDrivers32()) + "Setup Successful! \n\n");
    EXPECT_EQ(readFile(box.keyDrivers64() + QLatin1String("K3/config.xml")),
              drivers("    <driver>D3</driver>\n"));
}

TEST(InstallEndToEnd, ReinstallsWholeTreesAndClearsWhatAFailedRunLeft)
{
    Sandbox box;
    const QByteArray description = descriptionXml(driverFields("D1", "K1", "32"));
    ASSERT_EQ(box.run({box.package(QStringLiteral("v1.7z"),
                                   {{QStringLiteral("config.xml"), description},
                                    {QStringLiteral("old.dll"), "old"}, {QStringLiteral("a.dll"), "1"}})})
                  .exitCode, 0);
    const quint64 driverRegistry = inodeOf(box.keyDrivers32() + QLatin1String("K1/config.xml"));

    // What an earlier failed run left in Temp, including a link out of it.
    writeFile(box.app(QStringLiteral("Temp/stale/left.dll")), "stale");
    writeFile(box.path(QStringLiteral("outside/keep")), "keep");
    makeLink(box.path(QStringLiteral("outside")), box.app(QStringLiteral("Temp/out")));
    const QString v2 = box.package(QStringLiteral("v2.zip"),
                                   {{QStringLiteral("config.xml"), description}, {QStringLiteral("a.dll"), "2"},
                                    {QStringLiteral(".hidden"), "h"}, {QStringLiteral("sub/.deep/x.dat"), "x"}});
    const Sandbox::Run run = box.run({v2});
    EXPECT_TRUE(run.err.endsWith("Setup Successful! \n\n"));
    EXPECT_EQ(treeOf(box.keyDrivers32() + QLatin1String("K1/D1")),
              list({".hidden", "a.dll", "config.xml", "old.dll", "sub/", "sub/.deep/", "sub/.deep/x.dat"}));
    EXPECT_EQ(readFile(box.keyDrivers32() + QLatin1String("K1/D1/a.dll")), "2");
    EXPECT_EQ(inodeOf(box.keyDrivers32() + QLatin1String("K1/config.xml")), driverRegistry);
    EXPECT_EQ(treeOf(box.path(QStringLiteral("outside"))), list({"keep"}));
    EXPECT_FALSE(QFileInfo::exists(box.app(QStringLiteral("Temp"))));
}

TEST(InstallEndToEnd, CommandLineShapes)
{
    Sandbox box;
    const QByteArray keyHome = "KEYhome path is \"" + box.keyDrivers32().toUtf8() + "\" \n\n";
    for (const QStringList &arguments : {QStringList{}, list({"-s", "a", "b"}), list({"a", "b", "c", "d"})}) {
        const Sandbox::Run run = box.run(arguments);
        EXPECT_EQ(run.exitCode, 255);
        EXPECT_EQ(run.out + run.err, "");
    }
    Sandbox::Run run = box.run(list({"-S", "p.7z"}));
    EXPECT_EQ(run.exitCode, 255);
    EXPECT_EQ(run.out, "Parameters [-S] error\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(box.run(list({"-s ", "p.7z"})).out, "Parameters [-s ] error\n");

    run = box.run({QString()});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "The zav package is not exist!\n");
    EXPECT_EQ(run.err, keyHome + "-8 \n");
    EXPECT_FALSE(QFileInfo::exists(box.app(QStringLiteral("Temp"))));

    run = box.run(list({"-s"}), {QStringLiteral("TQKEY_HOME")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "KEYhome path is \"\" \n\nall std output is  \"<7z>\" \n\n-8 \n");
    EXPECT_EQ(box.run(list({"-s", "-s"})).err, keyHome + "all std output is  \"<7z>\" \n\n");
}

TEST(InstallEndToEnd, UnpackingMustEndWithTheSuccessMarker)
{
    Sandbox box;
    const QByteArray failed = "KEYhome path is \"" + box.keyDrivers32().toUtf8()
                              + "\" \n\nall std output is  \"<7z>\" \n\n-8 \n";
    Sandbox::Run run = box.run(list({"missing.7z"}));
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, failed);
    writeFile(box.path(QStringLiteral("corrupt.7z")), QByteArray("7z\xbc\xaf\x27\x1c garbage", 14));
    EXPECT_EQ(box.run(list({"corrupt.7z"})).err, failed);

    // Relative paths are the working folder's; the arguments are exactly these.
    const Fields fields = driverFields("D1", "K1", "32");
    box.package(QStringLiteral("p.7z"), descriptionXml(fields));
    box.useUnpacker("printf '%s|' \"$@\" > \"$0.args\"\n\"$SEVENZIP\" \"$@\" > /dev/null\n"
                    "printf 'ERROR: Data Error : x.dll\\nEverything is Ok\\nERROR: y\\n'\n");
    run = box.run(list({"p.7z"}));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, box.progressLog(fields, box.keyDrivers32()) + "Setup Successful! \n\n");
    EXPECT_EQ(run.unpacker, "ERROR: Data Error : x.dll\nEverything is Ok\nERROR: y\n");
    EXPECT_EQ(readFile(box.app(QStringLiteral("7z.exe.args"))),
              "x|p.7z|-o" + box.app(QStringLiteral("Temp/")).toUtf8() + "|-y|");

    box.useUnpacker("\"$SEVENZIP\" \"$@\" > /dev/null\necho 'Everything is OK'\n");
    run = box.run(list({"p.7z"}));
    EXPECT_EQ(run.err, failed);
    EXPECT_EQ(run.unpacker, "Everything is OK\n");

    QFile::remove(box.app(QStringLiteral("7z.exe")));
    run = box.run(list({"p.7z"}));
    EXPECT_EQ(run.err, failed);
    EXPECT_EQ(run.unpacker, "");
}

TEST(InstallEndToEnd, PackageDescriptionMustBeReadable)
{
    Sandbox box;
    const QByteArray temp = box.app(QStringLiteral("Temp/")).toUtf8();
    const QByteArray prefix = "KEYhome path is \"" + box.keyDrivers32().toUtf8()
                              + "\" \n\nall std output is  \"<7z>\" \n\nTemp path is \"" + temp
                              + "\" \n\nConfig path is  \"" + temp + "config.xml\" \n\n";
    const QByteArray quadratic = "<!DOCTYPE driver [<!ENTITY a \"" + QByteArray(3000, 'x') + "\">]><driver>"
                                 + QByteArray("&a;").repeated(20000) + "</driver>";
    const QList<QPair<QByteArray, QByteArray>> cases = {
        {"<driver><modelid>K1</modelid>", "xml file does not exist! \n-2 \n"},
        {quadratic, "xml file does not exist! \n-2 \n"},
        {"<drivers><modelid>K1</modelid></drivers>", "-1 \n"}};
    for (const auto &[config, log] : cases) {
        const Sandbox::Run run = box.run({box.package(QStringLiteral("p.7z"), config)});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.out, "提取信息失败!\n");
        EXPECT_EQ(run.err, prefix + log);
        EXPECT_EQ(treeOf(box.app(QStringLiteral("Temp"))), list({"config.xml", "driver.dll"}));
    }
    EXPECT_EQ(treeOf(box.path(QStringLiteral("home32"))), QStringList());
}

TEST(InstallEndToEnd, RefusesDescriptionsThatCannotBePlacedSafely)
{
    struct Case {
        const char *drivername, *modelid, *cpubits;
        QStringList unset;
        QByteArray result;
    };
    const QList<Case> cases = {
        {"D1", "", "", {}, "-2 \n"},        {"D1", "..", "32", {}, "-2 \n"},
        {"D1", "../../x", "32", {}, "-2 \n"}, {"..", "K1", "32", {}, "-2 \n"},
        {"a\\b", "K1", "32", {}, "-2 \n"},  {"", "K1", "32", {}, "-2 \n"},
        {"D1", "C:K", "32", {}, "-2 \n"},   {"D1\t", "K1", "32", {}, "-2 \n"},
        {"config.xml", "K1", "32", {}, "-2 \n"},
        {"D1", "K1", "16", {}, "-6 \n"},    {"D1", "K1", " 32", {}, "-6 \n"},
        {"D1", "K1", "64", {QStringLiteral("TQKEY_HOME_X64")}, "-6 \n"},
        {"D1", "K1", "32", {QStringLiteral("TQKEY_HOME")}, "-6 \n"}};
    Sandbox box;
    for (const Case &c : cases) {
        const Fields fields = driverFields(c.drivername, c.modelid, c.cpubits);
        const Sandbox::Run run = box.run({box.package(QStringLiteral("p.7z"), descriptionXml(fields))}, c.unset);
        const QString keyDrivers = c.unset.contains(QStringLiteral("TQKEY_HOME")) ? QString() : box.keyDrivers32();
        EXPECT_EQ(run.err, box.progressLog(fields, keyDrivers) + c.result) << c.drivername << c.modelid;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(treeOf(box.app(QStringLiteral("Temp"))), list({"config.xml", "driver.dll"}));
    }
    EXPECT_EQ(treeOf(box.path()),
              list({"app/", "app/7z.exe -> " SEVENZIP_PROGRAM, "app/Temp/", "app/Temp/config.xml",
                    "app/Temp/driver.dll", "app/kdpsetup", "home32/", "home64/", "p.7z", "source-p.7z/",
                    "source-p.7z/config.xml", "source-p.7z/driver.dll"}));
}

TEST(InstallEndToEnd, ArchiveEntriesNeverLandOutsideTheirFolders)
{
    Sandbox box;
    const QByteArray description = descriptionXml(driverFields("D1", "K1", "32"));
    writeFile(box.path(QStringLiteral("outside/keep")), "keep");
    const QString outside = box.path(QStringLiteral("outside"));
    writeFile(box.path(QStringLiteral("escape.zip")),
              zipArchive({{QStringLiteral("config.xml"), description},
                          {QStringLiteral("../../escape1.txt"), "1"},
                          {box.path(QStringLiteral("outside/escape2.txt")), "2"}}));
    EXPECT_EQ(box.run(list({"escape.zip"})).exitCode, 0);
    writeFile(box.path(QStringLiteral("link.zip")),
              zipArchive({{QStringLiteral("config.xml"), description}, {QStringLiteral("out"), outside.toUtf8(), true},
                          {QStringLiteral("out/escape3.txt"), "3"}}));
    EXPECT_TRUE(box.run(list({"link.zip"})).err.endsWith("-8 \n"));
    for (const QString &entry : treeOf(box.path()).filter(QRegularExpression(QStringLiteral("escape.\\.txt$"))))
        EXPECT_TRUE(entry.startsWith(QLatin1String("app/Temp/")) || entry.startsWith(QLatin1String("home32/keydrivers/K1/D1/")))
            << entry.toStdString();
    EXPECT_EQ(treeOf(outside), list({"keep"}));

    // An unpacker that leaves a link out of Temp: never copied, never followed.
    box.useUnpacker("\"$SEVENZIP\" \"$@\" > /dev/null\nln -s '" + outside.toUtf8()
                    + "' '" + box.app(QStringLiteral("Temp/link")).toUtf8() + "'\necho 'Everything is Ok'\n");
    const Sandbox::Run run = box.run({box.package(QStringLiteral("p.7z"), description)});
    EXPECT_EQ(run.out, "copy file error!\n");
    EXPECT_TRUE(run.err.endsWith("-3 \n"));
    EXPECT_EQ(treeOf(outside), list({"keep"}));
}

TEST(InstallEndToEnd, PasswordProtectedPackageFailsAtOnce)
{
    Sandbox box;
    writeFile(box.path(QStringLiteral("src/config.xml")), descriptionXml(driverFields("D1", "K1", "32")));
    QProcess sevenZip;
    sevenZip.setWorkingDirectory(box.path(QStringLiteral("src")));
    sevenZip.start(QStringLiteral(SEVENZIP_PROGRAM), list({"a", "-bso0", "-psecret", "../locked.7z", "."}));
    ASSERT_TRUE(sevenZip.waitForFinished());
    QElapsedTimer timer;
    timer.start();
    const Sandbox::Run run = box.run(list({"locked.7z"}));
    EXPECT_LT(timer.elapsed(), 50000) << "waited for a password nobody types";
    EXPECT_TRUE(run.err.endsWith("-8 \n"));
}

TEST(InstallEndToEnd, RegistryIsNeverLeftHalfWritten)
{
    Sandbox box;
    QByteArray entries;
    for (int i = 0; i < 200; ++i)
        entries += "    <device>MODEL-" + QByteArray::number(i) + "</device>\n";
    const QString deviceRegistry = box.keyDrivers32() + QLatin1String("config.xml");
    writeFile(deviceRegistry, devices(entries));
    const QString package = box.package(QStringLiteral("p.7z"), descriptionXml(driverFields("D1", "K1", "32")));
    const QString limit = QStringLiteral("--fsize=4096");

    // Writes past the limit fail (EFBIG): the write-back is reported.
    Sandbox::Run run = box.run({package}, {}, {QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                                               QStringLiteral("trap '' XFSZ; exec prlimit ") + limit + QStringLiteral(" -- \"$0\" \"$@\"")});
    EXPECT_TRUE(run.err.endsWith("-1 \n"));
    EXPECT_EQ(readFile(deviceRegistry), devices(entries));
    EXPECT_EQ(treeOf(box.keyDrivers32()), list({"K1/", "K1/D1/", "K1/D1/config.xml", "K1/D1/driver.dll", "config.xml"}));

    // The same limit kills the process in the middle of the write.
    run = box.run({package}, {}, {QStringLiteral("prlimit"), limit, QStringLiteral("--")});
    EXPECT_EQ(run.exitCode, -1000);
    EXPECT_EQ(readFile(deviceRegistry), devices(entries));
}

TEST(InstallEndToEnd, RunsFromOneFolderTakeTurns)
{
    Sandbox box;
    const QString p1 = box.package(QStringLiteral("p1.7z"), descriptionXml(driverFields("D1", "K1", "32")));
    const QString p2 = box.package(QStringLiteral("p2.zip"), descriptionXml(driverFields("D2", "K2", "32")));

    // A run killed while it holds the lock leaves it behind; the next run takes it over.
    box.useUnpacker("kill -9 $PPID\n");
    EXPECT_EQ(box.run({p1}).exitCode, -1000);
    EXPECT_TRUE(QFileInfo::exists(box.app(QStringLiteral("Temp.lock"))));

    box.useUnpacker("sleep 1\nexec \"$SEVENZIP\" \"$@\"\n");
    std::vector<Sandbox::Run> runs(2);
    std::thread second([&] { runs[1] = box.run({p2}); });
    runs[0] = box.run({p1});
    second.join();
    EXPECT_TRUE(runs[0].err.endsWith("Setup Successful! \n\n"));
    EXPECT_TRUE(runs[1].err.endsWith("Setup Successful! \n\n"));
    EXPECT_EQ(treeOf(box.keyDrivers32()),
              list({"K1/", "K1/D1/", "K1/D1/config.xml", "K1/D1/driver.dll", "K1/config.xml", "K2/", "K2/D2/",
                    "K2/D2/config.xml", "K2/D2/driver.dll", "K2/config.xml", "config.xml"}));
    EXPECT_EQ(readFile(box.keyDrivers32() + QLatin1String("K2/D2/driver.dll")), "MZ driver p2.zip");
    EXPECT_FALSE(QFileInfo::exists(box.app(QStringLiteral("Temp.lock"))));
}

} // namespace
