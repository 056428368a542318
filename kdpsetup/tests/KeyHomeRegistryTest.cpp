#include "TestSupport.h"
#include "ZavInstaller.h"

#include <gtest/gtest.h>

namespace {

QByteArray registry(const char *root, const char *entry, const QList<QByteArray> &values,
                    const QByteArray &declaration = "<?xml version=\"1.0\"?>")
{
    QByteArray xml = declaration + "\n<" + root + ">\n";
    for (const QByteArray &value : values)
        xml += QByteArray("    <") + entry + ">" + value + "</" + entry + ">\n";
    return xml + "</" + root + ">\n";
}

QByteArray devices(const QList<QByteArray> &models) { return registry("devices", "device", models); }
QByteArray drivers(const QList<QByteArray> &names) { return registry("drivers", "driver", names); }

// A document that was loaded writes its declaration back in single quotes.
const QByteArray reloaded = "<?xml version='1.0'?>";

class KeyHomeRegistry : public testing::Test {
protected:
    int update(const char *model, const char *driver)
    {
        ZavInstaller installer;
        installer.driverDescription().modelid = QString::fromUtf8(model);
        installer.driverDescription().drivername = QString::fromUtf8(driver);
        return installer.updateKeyHomeRegistry(deviceRegistry, driverRegistry);
    }

    Scratch scratch;
    const QString deviceRegistry = scratch.path(QStringLiteral("config.xml"));
    const QString driverRegistry = scratch.path(QStringLiteral("K1/config.xml"));
};

TEST_F(KeyHomeRegistry, FirstInstallationWritesBothFourLineFiles)
{
    QDir().mkpath(scratch.path(QStringLiteral("K1")));
    EXPECT_EQ(update("K1", "D&1"), 0);
    EXPECT_EQ(readFile(deviceRegistry), devices({"K1"}));
    EXPECT_EQ(readFile(driverRegistry), drivers({"D&amp;1"}));
}

TEST_F(KeyHomeRegistry, AddsOnlyWhatIsMissingAndRewritesOnlyWhatChanged)
{
    writeFile(deviceRegistry, devices({"K1"}));
    writeFile(driverRegistry, drivers({"D1"}));
    const quint64 deviceInode = inodeOf(deviceRegistry);
    const quint64 driverInode = inodeOf(driverRegistry);
    EXPECT_EQ(update("K1", "D1"), 0);
    EXPECT_EQ(inodeOf(deviceRegistry), deviceInode);
    EXPECT_EQ(inodeOf(driverRegistry), driverInode);

    EXPECT_EQ(update("K1", "D2"), 0);
    EXPECT_EQ(inodeOf(deviceRegistry), deviceInode);
    EXPECT_EQ(readFile(driverRegistry), registry("drivers", "driver", {"D1", "D2"}, reloaded));

    EXPECT_EQ(update("K&2", "D1"), 0);
    EXPECT_EQ(update("K&2", "D1"), 0);
    EXPECT_EQ(readFile(deviceRegistry), registry("devices", "device", {"K1", "K&amp;2"}, reloaded));
}

TEST_F(KeyHomeRegistry, MatchesElementTextExactlyWhateverTheTag)
{
    writeFile(deviceRegistry, "<devices><model>K<b>1</b></model></devices>");
    writeFile(driverRegistry, "<drivers><driver> D1</driver><!--D1--><driver>d1</driver></drivers>");
    EXPECT_EQ(update("K1", "D1"), 0);
    EXPECT_EQ(readFile(deviceRegistry), "<devices><model>K<b>1</b></model></devices>");
    EXPECT_EQ(readFile(driverRegistry), "<drivers>\n    <driver> D1</driver>\n    <!--D1-->\n"
                                        "    <driver>d1</driver>\n    <driver>D1</driver>\n</drivers>\n");
}

TEST_F(KeyHomeRegistry, UnreadableFilesAreWrittenAnewWrongRootsRefused)
{
    const QByteArray bloated = "<!DOCTYPE d [<!ENTITY a \"" + QByteArray(3000, 'x') + "\">]><devices>"
                               + QByteArray("&a;").repeated(20000) + "</devices>";
    for (const QByteArray &broken : {QByteArray("<devices><device>K0</device>"), bloated}) {
        writeFile(deviceRegistry, broken);
        writeFile(driverRegistry, "not xml");
        EXPECT_EQ(update("K1", "D1"), 0);
        EXPECT_EQ(readFile(deviceRegistry), devices({"K1"}));
        EXPECT_EQ(readFile(driverRegistry), drivers({"D1"}));
    }

    writeFile(deviceRegistry, drivers({"K0"}));
    EXPECT_EQ(update("K1", "D2"), -1);
    EXPECT_EQ(readFile(deviceRegistry), drivers({"K0"}));
    EXPECT_EQ(readFile(driverRegistry), drivers({"D1"}));

    writeFile(deviceRegistry, devices({"K0"}));
    writeFile(driverRegistry, devices({"D1"}));
    EXPECT_EQ(update("K1", "D2"), -1);
    EXPECT_EQ(readFile(deviceRegistry), registry("devices", "device", {"K0", "K1"}, reloaded));
    EXPECT_EQ(readFile(driverRegistry), devices({"D1"}));
}

TEST_F(KeyHomeRegistry, DriverRegistryThatOutlivedItsDeviceRegistryKeepsItsDrivers)
{
    writeFile(driverRegistry, drivers({"D0"}));
    EXPECT_EQ(update("K1", "D1"), 0);
    EXPECT_EQ(readFile(deviceRegistry), devices({"K1"}));
    EXPECT_EQ(readFile(driverRegistry), registry("drivers", "driver", {"D0", "D1"}, reloaded));
}

TEST_F(KeyHomeRegistry, WritesBackInTheEncodingTheFileDeclares)
{
    const QByteArray gbk = "<?xml version='1.0' encoding='GBK'?>";
    writeFile(deviceRegistry, registry("devices", "device", {"\xc4\xe3"}, gbk));
    const QByteArray latin1 = "<?xml version='1.0' encoding='ISO-8859-1'?>";
    writeFile(driverRegistry, registry("drivers", "driver", {"\xe9"}, latin1));
    EXPECT_EQ(update("\xe5\xa5\xbd", "\xc3\xa8"), 0); // 好, è
    EXPECT_EQ(readFile(deviceRegistry), registry("devices", "device", {"\xc4\xe3", "\xba\xc3"}, gbk));
    EXPECT_EQ(readFile(driverRegistry), registry("drivers", "driver", {"\xe9", "\xe8"}, latin1));
}

TEST_F(KeyHomeRegistry, ReportsFilesThatCannotBeWritten)
{
    // The model folder is missing: the driver registry can't be created.
    EXPECT_EQ(update("K1", "D1"), -1);
    EXPECT_EQ(readFile(deviceRegistry), devices({"K1"}));

    // The device registry's folder is missing: nothing is written at all.
    ZavInstaller installer;
    installer.driverDescription().modelid = QStringLiteral("K1");
    installer.driverDescription().drivername = QStringLiteral("D1");
    EXPECT_EQ(installer.updateKeyHomeRegistry(scratch.path(QStringLiteral("none/config.xml")),
                                              driverRegistry), -1);
    EXPECT_EQ(readFile(driverRegistry), "<missing>");
}

} // namespace
