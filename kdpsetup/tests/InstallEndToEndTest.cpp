// Runs the built kdpsetup on packages made with 7-Zip during the test and
// checks everything it leaves: standard output, the debug channel, the exit
// status, the key home tree and the registries. The same scenarios run
// against the Linux kdpsetup and against kdpsetup.exe under Wine.

#include "Sandbox.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

const QByteArray successful = "Setup Successful! \n\n";
constexpr unsigned nobody = 65534;

TEST(InstallEndToEnd, Installs7zAndZipPackagesInteractiveAndSilent)
{
    Sandbox box;
    const Fields d1 = driverFields("D1", "K&1", "32");
    Sandbox::Run run = box.run({box.package("first.7z"_q, descriptionXml(d1))});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, box.progressLog(d1, box.keyDrivers32()) + successful);
    EXPECT_TRUE(run.unpacker.contains("Type = 7z\n") && run.unpacker.contains("\nEverything is Ok\n"));
    EXPECT_EQ(treeOf(box.keyDrivers32()), list({"K&1/", "K&1/D1/", "K&1/D1/config.xml", "K&1/D1/driver.dll",
                                                "K&1/config.xml", "config.xml"}));
    EXPECT_EQ(readFile(box.keyDrivers32() + "K&1/D1/config.xml"_q), descriptionXml(d1));
    EXPECT_EQ(readRegistry(box.keyDrivers32() + "config.xml"_q), registry("devices", {"K&amp;1"}));
    EXPECT_EQ(treeOf(box.app()), box.programFiles());

    // A second driver of the same model, from a zip, silently.
    const quint64 deviceRegistry = inodeOf(box.keyDrivers32() + "config.xml"_q);
    const Fields d2 = driverFields("D2", "K&1", "32");
    run = box.run({"-s"_q, box.package("second.zip"_q, descriptionXml(d2))});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, box.progressLog(d2, box.keyDrivers32()));
    EXPECT_TRUE(run.unpacker.contains("Type = zip\n"));
    EXPECT_EQ(inodeOf(box.keyDrivers32() + "config.xml"_q), deviceRegistry);
    EXPECT_EQ(readRegistry(box.keyDrivers32() + "K&1/config.xml"_q),
              registry("drivers", {"D1", "D2"}, reloadedDeclaration));

    // A 64-bit driver goes to the other key home; the log still names the 32-bit one.
    const Fields d3 = driverFields("D3", "K3", "64");
    run = box.run({box.package("third.7z"_q, descriptionXml(d3))});
    EXPECT_EQ(run.err, box.progressLog(d3, box.keyDrivers32()) + successful);
    EXPECT_EQ(readRegistry(box.keyDrivers64() + "K3/config.xml"_q), registry("drivers", {"D3"}));
}

TEST(InstallEndToEnd, ReinstallsWholeTreesAndClearsWhatAFailedRunLeft)
{
    Sandbox box;
    const QByteArray description = descriptionXml(driverFields("D1", "K1", "32"));
    box.run({box.package("v1.7z"_q, {{"config.xml"_q, description}, {"old.dll"_q, "old"}, {"a.dll"_q, "1"}})});
    const quint64 driverRegistry = inodeOf(box.keyDrivers32() + "K1/config.xml"_q);

    // What an earlier failed run left in Temp, including a link out of it
    // (under Wine only a Windows link could be removed without following it).
    writeFile(box.app("Temp/stale/left.dll"_q), "stale");
    writeFile(box.path("outside/keep"_q), "keep");
    if (!underTest::wine)
        makeLink(box.path("outside"_q), box.app("Temp/out"_q));
    const Sandbox::Run run = box.run({box.package("v2.zip"_q, {{"config.xml"_q, description}, {"a.dll"_q, "2"},
                                                               {".hidden"_q, "h"}, {"sub/.deep/x"_q, "x"}})});
    EXPECT_TRUE(run.err.endsWith(successful));
    EXPECT_EQ(treeOf(box.keyDrivers32() + "K1/D1"_q),
              list({".hidden", "a.dll", "config.xml", "old.dll", "sub/", "sub/.deep/", "sub/.deep/x"}));
    EXPECT_EQ(readFile(box.keyDrivers32() + "K1/D1/a.dll"_q), "2");
    EXPECT_EQ(inodeOf(box.keyDrivers32() + "K1/config.xml"_q), driverRegistry);
    EXPECT_EQ(treeOf(box.path("outside"_q)), list({"keep"}));
    EXPECT_FALSE(QFileInfo::exists(box.app("Temp"_q)));
}

TEST(InstallEndToEnd, CommandLineShapes)
{
    Sandbox box;
    const QByteArray keyHome = "KEYhome path is \"" + box.seen(box.keyDrivers32()) + "\" \n\n";
    for (const QStringList &arguments : {QStringList{}, list({"-s", "a", "b"}), list({"a", "b", "c", "d"})}) {
        const Sandbox::Run run = box.run(arguments);
        EXPECT_EQ(run.exitCode, 255);
        EXPECT_EQ(run.out + run.err, "");
    }
    Sandbox::Run run = box.run(list({"-S", "p.7z"}));
    EXPECT_EQ(run.exitCode, 255);
    EXPECT_EQ(run.out + run.err, "Parameters [-S] error\n");
    EXPECT_EQ(box.run(list({"-s ", "p.7z"})).out, "Parameters [-s ] error\n");

    run = box.run({QString()});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "The zav package is not exist!\n");
    EXPECT_EQ(run.err, keyHome + "-8 \n");
    EXPECT_FALSE(QFileInfo::exists(box.app("Temp"_q)));

    // The switch alone is a package path; a failed silent run says nothing.
    run = box.run(list({"-s"}), {"TQKEY_HOME"_q});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "KEYhome path is \"\" \n\nall std output is  \"<7z>\" \n\n-8 \n");
    EXPECT_EQ(box.run(list({"-s", "-s"})).err, keyHome + "all std output is  \"<7z>\" \n\n");
}

TEST(InstallEndToEnd, UnpackingMustEndWithTheSuccessMarker)
{
    Sandbox box;
    const QByteArray failed = "KEYhome path is \"" + box.seen(box.keyDrivers32())
                              + "\" \n\nall std output is  \"<7z>\" \n\n-8 \n";
    Sandbox::Run run = box.run(list({"missing.7z"}));
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, failed);
    writeFile(box.path("corrupt.7z"_q), QByteArray("7z\xbc\xaf\x27\x1c garbage", 14));
    EXPECT_EQ(box.run(list({"corrupt.7z"})).err, failed);

    // Relative paths are the working folder's; the arguments are exactly
    // these; the output is shown as printed (quotes, backslashes, lines).
    const Fields fields = driverFields("D1", "K1", "32");
    box.package("p.7z"_q, descriptionXml(fields));
    box.useUnpacker(UnpackerDouble().recordingArguments().printing("ERROR: \"x.dll\" C:\\x\nEverything is Ok\nERROR: y\n"));
    run = box.run(list({"p.7z"}));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, box.progressLog(fields, box.keyDrivers32()) + successful);
    EXPECT_EQ(run.unpacker, "ERROR: \"x.dll\" C:\\x\nEverything is Ok\nERROR: y\n");
    EXPECT_EQ(readFile(box.app("7z.exe.args"_q)), "x|p.7z|-o" + box.seen(box.app("Temp/"_q)) + "|-y|");

    box.useUnpacker(UnpackerDouble().printing("Everything is OK\n"));
    run = box.run(list({"p.7z"}));
    EXPECT_EQ(run.err, failed);
    EXPECT_EQ(run.unpacker, "Everything is OK\n");

    QFile::remove(box.app("7z.exe"_q));
    run = box.run(list({"p.7z"}));
    EXPECT_EQ(run.err, failed);
    EXPECT_EQ(run.unpacker, "");
}

TEST(InstallEndToEnd, PackageDescriptionMustBeReadable)
{
    Sandbox box;
    const QByteArray prefix = box.progressLog({}, box.keyDrivers32());
    const QByteArray quadratic = "<!DOCTYPE driver [<!ENTITY a \"" + QByteArray(3000, 'x') + "\">]><driver>"
                                 + QByteArray("&a;").repeated(20000) + "</driver>";
    const QList<QPair<QByteArray, QByteArray>> cases = {
        {"<driver><modelid>K1</modelid>", "xml file does not exist! \n-2 \n"},
        {quadratic, "xml file does not exist! \n-2 \n"},
        {QByteArray("<x>").repeated(100000) + QByteArray("</x>").repeated(100000), "xml file does not exist! \n-2 \n"},
        {"<drivers><modelid>K1</modelid></drivers>", "-1 \n"}};
    for (const auto &[config, log] : cases) {
        const Sandbox::Run run = box.run({box.package("p.7z"_q, config)});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.out, "提取信息失败!\n");
        EXPECT_EQ(run.err, prefix + log);
        EXPECT_EQ(treeOf(box.app("Temp"_q)), list({"config.xml", "driver.dll"}));
    }
    EXPECT_EQ(treeOf(box.path("home32"_q)), QStringList());
}

TEST(InstallEndToEnd, RefusesDescriptionsThatCannotBePlacedSafely)
{
    struct Case {
        const char *drivername, *modelid, *cpubits;
        QByteArray result;
        QStringList unset = {};
    };
    const QList<Case> cases = {
        {"D1", "", "", "-2 \n"}, {"D1", "..", "32", "-2 \n"}, {"D1", "../../x", "32", "-2 \n"},
        {"..", "K1", "32", "-2 \n"}, {"a\\b", "K1", "32", "-2 \n"}, {"", "K1", "32", "-2 \n"},
        {"D1", "C:K", "32", "-2 \n"}, {"D1\t", "K1", "32", "-2 \n"}, {"config.xml", "K1", "32", "-2 \n"},
        {"D1", "K1", "16", "-6 \n"}, {"D1", "K1", " 32", "-6 \n"},
        {"D1", "K1", "64", "-6 \n", {"TQKEY_HOME_X64"_q}}, {"D1", "K1", "32", "-6 \n", {"TQKEY_HOME"_q}}};
    Sandbox box;
    for (const Case &c : cases) {
        const Fields fields = driverFields(c.drivername, c.modelid, c.cpubits);
        const Sandbox::Run run = box.run({box.package("p.7z"_q, descriptionXml(fields))}, c.unset);
        const QString keyDrivers = c.unset.contains("TQKEY_HOME"_q) ? QString() : box.keyDrivers32();
        EXPECT_EQ(run.err, box.progressLog(fields, keyDrivers) + c.result) << c.drivername << c.modelid;
        EXPECT_EQ(run.out, "");
    }
    // Nothing was written anywhere but Temp.
    QStringList expected = list({"app/", "app/Temp/", "app/Temp/config.xml", "app/Temp/driver.dll", "home32/",
                                 "home64/", "p.7z", "source-p.7z/", "source-p.7z/config.xml", "source-p.7z/driver.dll"});
    for (const QString &file : box.programFiles())
        expected << "app/"_q + file;
    expected.sort();
    EXPECT_EQ(treeOf(box.path()), expected);
}

TEST(InstallEndToEnd, ArchiveEntriesNeverLandOutsideTheirFolders)
{
    Sandbox box;
    const QString outside = box.path("outside"_q);
    writeFile(outside + "/keep"_q, "keep");
    writeFile(box.path("pkg/config.xml"_q), descriptionXml(driverFields("D1", "K1", "32")));
    writeFile(box.path("escape1.txt"_q), "1");
    writeFile(box.path("from/out/escape3.txt"_q), "3");
    makeLink(outside, box.path("pkg/out"_q));
    // Stored as "../escape1.txt", as an absolute path, and as a link out
    // followed by a file below it.
    ASSERT_TRUE(sevenZip(box.path("pkg"_q), list({"a", "-spf", "../names.zip", "config.xml", "../escape1.txt"})));
    ASSERT_TRUE(sevenZip(box.path("pkg"_q), {"a"_q, "-spf"_q, "../names.zip"_q, outside + "/../escape1.txt"_q}));
    ASSERT_TRUE(sevenZip(box.path("pkg"_q), list({"a", "-snl", "../link.zip", "config.xml", "out"})));
    ASSERT_TRUE(sevenZip(box.path("from"_q), list({"a", "../link.zip", "out/escape3.txt"})));

    EXPECT_TRUE(box.run(list({"names.zip"})).err.endsWith(successful));
    EXPECT_TRUE(box.run(list({"link.zip"})).err.endsWith("-8 \n"));
    for (const QString &entry : treeOf(box.path()).filter(QRegularExpression("escape.\\.txt$"_q))) {
        EXPECT_TRUE(entry.startsWith("app/Temp/"_q) || entry.startsWith("home32/keydrivers/K1/D1/"_q)
                    || entry == "escape1.txt"_q || entry == "from/out/escape3.txt"_q) << entry.toStdString();
    }
    EXPECT_EQ(treeOf(outside), list({"keep"}));

    // An unpacker that leaves a link out of Temp: never copied, never followed.
    if (underTest::wine)
        return; // under Wine a test can't make a link that a Windows program sees as one
    box.useUnpacker("\"$SEVENZIP\" \"$@\" > /dev/null\nln -s '" + outside.toUtf8() + "' '"
                    + box.app("Temp/link"_q).toUtf8() + "'\necho 'Everything is Ok'\n");
    const Sandbox::Run run = box.run({box.package("p.7z"_q, descriptionXml(driverFields("D1", "K1", "32")))});
    EXPECT_EQ(run.out, "copy file error!\n");
    EXPECT_TRUE(run.err.endsWith("-3 \n"));
    EXPECT_EQ(treeOf(outside), list({"keep"}));
}

TEST(InstallEndToEnd, PasswordProtectedPackageFailsAtOnce)
{
    Sandbox box;
    writeFile(box.path("src/config.xml"_q), descriptionXml(driverFields("D1", "K1", "32")));
    ASSERT_TRUE(sevenZip(box.path("src"_q), list({"a", "-psecret", "../locked.7z", "."})));
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(box.run(list({"locked.7z"})).err.endsWith("-8 \n"));
    EXPECT_LT(timer.elapsed(), 50000) << "waited for a password nobody types";
}

TEST(InstallEndToEnd, RegistryIsNeverLeftHalfWritten)
{
    if (underTest::wine)
        GTEST_SKIP() << "a file size limit would also bind the Wine server the run may start";
    Sandbox box;
    QList<QByteArray> models;
    for (int i = 0; i < 200; ++i)
        models << "MODEL-" + QByteArray::number(i);
    const QString deviceRegistry = box.keyDrivers32() + "config.xml"_q;
    writeFile(deviceRegistry, registry("devices", models));
    const QString package = box.package("p.7z"_q, descriptionXml(driverFields("D1", "K1", "32")));

    // Writes past the size limit fail (EFBIG): the failed write-back is reported.
    const QString limit = "--fsize=4096"_q;
    Sandbox::Run run = box.run({package}, {}, {"/bin/sh"_q, "-c"_q,
                                               "trap '' XFSZ; exec prlimit "_q + limit + " -- \"$0\" \"$@\""_q});
    EXPECT_TRUE(run.err.endsWith("-1 \n"));
    EXPECT_EQ(readFile(deviceRegistry), registry("devices", models));
    EXPECT_EQ(treeOf(box.keyDrivers32()), list({"K1/", "K1/D1/", "K1/D1/config.xml", "K1/D1/driver.dll", "config.xml"}));

    // The same limit kills the process in the middle of the write.
    run = box.run({package}, {}, {"prlimit"_q, limit, "--"_q});
    EXPECT_EQ(run.exitCode, -1000);
    EXPECT_EQ(readFile(deviceRegistry), registry("devices", models));
}

TEST(InstallEndToEnd, LocksThatCannotBeFromALiveRunHereAreTakenOver)
{
    Sandbox box;
    const QString package = box.package("p.7z"_q, descriptionXml(driverFields("D1", "K1", "32")));
    const QString lock = box.app("Temp.lock"_q);
    // What a power cut leaves, a live process of another host, garbage, an
    // empty folder.
    for (const QByteArray &leftover : {QByteArray(), QByteArray("1\nkdpsetup\nelsewhere.example\n"),
                                      QByteArray("\x01\x02 garbage"), QByteArray("<folder>")}) {
        if (leftover == "<folder>")
            QDir().mkpath(lock);
        else
            writeFile(lock, leftover);
        QFile file(lock); // left an hour ago
        if (file.open(QIODevice::ReadWrite))
            file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime);
        const Sandbox::Run run = box.run({package}, {}, list({"timeout", "-s", "KILL", "30"}));
        EXPECT_TRUE(run.err.endsWith(successful)) << leftover.constData() << " gave " << run.exitCode;
        EXPECT_FALSE(QFileInfo::exists(lock));
    }
}

TEST(InstallEndToEnd, RunsFromOneFolderTakeTurns)
{
    Sandbox box;
    const QString p1 = box.package("p1.7z"_q, descriptionXml(driverFields("D1", "K1", "32")));
    const QString p2 = box.package("p2.zip"_q, descriptionXml(driverFields("D2", "K2", "32")));

    // A run killed while it holds the lock leaves it behind; the next run takes it over.
    box.useUnpacker(UnpackerDouble().killingItsCaller());
    EXPECT_EQ(box.run({p1}).exitCode, -1000);
    EXPECT_TRUE(QFileInfo::exists(box.app("Temp.lock"_q)));

    box.useUnpacker(UnpackerDouble().waiting(1000).printing("Everything is Ok\n"));
    std::vector<Sandbox::Run> runs(2);
    std::thread second([&] { runs[1] = box.run({p2}); });
    runs[0] = box.run({p1});
    second.join();
    EXPECT_TRUE(runs[0].err.endsWith(successful) && runs[1].err.endsWith(successful));
    EXPECT_EQ(treeOf(box.keyDrivers32()),
              list({"K1/", "K1/D1/", "K1/D1/config.xml", "K1/D1/driver.dll", "K1/config.xml", "K2/", "K2/D2/",
                    "K2/D2/config.xml", "K2/D2/driver.dll", "K2/config.xml", "config.xml"}));
    EXPECT_EQ(readFile(box.keyDrivers32() + "K2/D2/driver.dll"_q), "MZ driver p2.zip");
    EXPECT_FALSE(QFileInfo::exists(box.app("Temp.lock"_q)));
}

TEST(InstallEndToEnd, RegistriesKeepTheirOwnerAndAreUpdatedWhereTheFolderIsReadOnly)
{
    if (underTest::wine)
        GTEST_SKIP() << "owners and modes are what Unix keeps; Wine runs every program as one user";
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to hand files to another user";
    Sandbox box;
    const QString deviceRegistry = box.keyDrivers32() + "config.xml"_q;
    writeFile(deviceRegistry, registry("devices", {"K0"}));
    giveTree(box.path(), nobody);
    setMode(deviceRegistry, 0640);
    const QStringList asNobody = list({"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"});
    const auto install = [&](const char *driver, const char *model, const QStringList &wrapper) {
        return box.run({box.package(QString::fromUtf8(driver) + ".7z"_q,
                                    descriptionXml(driverFields(driver, model, "32")))}, {}, wrapper);
    };

    // Root adds a model: the registry stays its owner's, with its mode, so
    // the owner's own installs go on working.
    EXPECT_TRUE(install("D1", "K1", {}).err.endsWith(successful));
    EXPECT_EQ(ownerOf(deviceRegistry), nobody);
    EXPECT_EQ(modeOf(deviceRegistry), 0640u);
    EXPECT_TRUE(install("D2", "K2", asNobody).err.endsWith(successful));

    // A writable registry in a folder that can take no new file.
    QDir().mkpath(box.keyDrivers32() + "K3"_q);
    giveTree(box.keyDrivers32() + "K3"_q, nobody);
    giveTree(deviceRegistry, 0);
    setMode(deviceRegistry, 0666);
    giveTree(box.keyDrivers32(), 0, false);
    setMode(box.keyDrivers32(), 0555);
    const quint64 inode = inodeOf(deviceRegistry);
    EXPECT_TRUE(install("D3", "K3", asNobody).err.endsWith(successful));
    EXPECT_EQ(readFile(deviceRegistry), registry("devices", {"K0", "K1", "K2", "K3"}, reloadedDeclaration));
    EXPECT_EQ(inodeOf(deviceRegistry), inode);
    EXPECT_EQ(ownerOf(deviceRegistry), 0u);
}

} // namespace
