#include "TestSupport.h"
#include "ZavInstaller.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

class KeyHomeRegistry : public testing::Test {
protected:
    int update(const char *model, const char *driver, const QString &devicePath = QString())
    {
        ZavInstaller installer;
        installer.driverDescription().modelid = QString::fromUtf8(model);
        installer.driverDescription().drivername = QString::fromUtf8(driver);
        return installer.updateKeyHomeRegistry(devicePath.isNull() ? devices : devicePath, drivers);
    }

    Scratch scratch;
    const QString devices = scratch.path("config.xml"_q);
    const QString drivers = scratch.path("K1/config.xml"_q);
};

TEST_F(KeyHomeRegistry, AddsOnlyWhatIsMissingAndRewritesOnlyWhatChanged)
{
    QDir().mkpath(scratch.path("K1"_q));
    EXPECT_EQ(update("K1", "D&1"), 0);
    EXPECT_EQ(readFile(devices), registry("devices", {"K1"}));
    EXPECT_EQ(readFile(drivers), registry("drivers", {"D&amp;1"}));
    const quint64 deviceInode = inodeOf(devices);
    const quint64 driverInode = inodeOf(drivers);
    EXPECT_EQ(update("K1", "D&1"), 0);
    EXPECT_EQ(inodeOf(devices), deviceInode);
    EXPECT_EQ(inodeOf(drivers), driverInode);

    EXPECT_EQ(update("K1", "D2"), 0);
    EXPECT_EQ(inodeOf(devices), deviceInode);
    EXPECT_EQ(readFile(drivers), registry("drivers", {"D&amp;1", "D2"}, reloadedDeclaration));
    EXPECT_EQ(update("K&2", "D2"), 0);
    EXPECT_EQ(readFile(devices), registry("devices", {"K1", "K&amp;2"}, reloadedDeclaration));
}

TEST_F(KeyHomeRegistry, MatchesElementTextExactlyWhateverTheTag)
{
    writeFile(devices, "<devices><model>K<b>1</b></model></devices>");
    writeFile(drivers, "<drivers><driver> D1</driver><!--D1--><driver>d1</driver></drivers>");
    EXPECT_EQ(update("K1", "D1"), 0);
    EXPECT_EQ(readFile(devices), "<devices><model>K<b>1</b></model></devices>");
    EXPECT_EQ(readFile(drivers), "<drivers>\n    <driver> D1</driver>\n    <!--D1-->\n"
                                 "    <driver>d1</driver>\n    <driver>D1</driver>\n</drivers>\n");
}

TEST_F(KeyHomeRegistry, UnreadableFilesAreWrittenAnewWrongRootsRefused)
{
    writeFile(devices, "<devices><device>K0</device>");
    writeFile(drivers, "not xml");
    EXPECT_EQ(update("K1", "D1"), 0);
    EXPECT_EQ(readFile(devices), registry("devices", {"K1"}));
    EXPECT_EQ(readFile(drivers), registry("drivers", {"D1"}));

    writeFile(devices, registry("drivers", {"K0"}));
    EXPECT_EQ(update("K1", "D2"), -1);
    EXPECT_EQ(readFile(devices), registry("drivers", {"K0"}));
    EXPECT_EQ(readFile(drivers), registry("drivers", {"D1"}));

    writeFile(devices, registry("devices", {"K0"}));
    writeFile(drivers, registry("devices", {"D1"}));
    EXPECT_EQ(update("K1", "D2"), -1);
    EXPECT_EQ(readFile(devices), registry("devices", {"K0", "K1"}, reloadedDeclaration));
    EXPECT_EQ(readFile(drivers), registry("devices", {"D1"}));
}

TEST_F(KeyHomeRegistry, DriverRegistryThatOutlivedItsDeviceRegistryKeepsItsDrivers)
{
    writeFile(drivers, registry("drivers", {"D0"}));
    EXPECT_EQ(update("K1", "D1"), 0);
    EXPECT_EQ(readFile(devices), registry("devices", {"K1"}));
    EXPECT_EQ(readFile(drivers), registry("drivers", {"D0", "D1"}, reloadedDeclaration));
}

TEST_F(KeyHomeRegistry, WritesBackInTheEncodingTheFileDeclares)
{
    const QByteArray gbk = "<?xml version='1.0' encoding='GBK'?>";
    const QByteArray latin1 = "<?xml version='1.0' encoding='ISO-8859-1'?>";
    writeFile(devices, registry("devices", {"\xc4\xe3"}, gbk));
    writeFile(drivers, registry("drivers", {"\xe9"}, latin1));
    EXPECT_EQ(update("\xe5\xa5\xbd", "\xc3\xa8"), 0); // 好, è
    EXPECT_EQ(readFile(devices), registry("devices", {"\xc4\xe3", "\xba\xc3"}, gbk));
    EXPECT_EQ(readFile(drivers), registry("drivers", {"\xe9", "\xe8"}, latin1));
}

TEST_F(KeyHomeRegistry, ReportsFilesThatCannotBeWritten)
{
    // No model folder: the driver registry can't be created; the device registry stays.
    EXPECT_EQ(update("K1", "D1"), -1);
    EXPECT_EQ(readFile(devices), registry("devices", {"K1"}));
    // No key drivers folder: nothing is written at all.
    EXPECT_EQ(update("K1", "D1", scratch.path("none/config.xml"_q)), -1);
    EXPECT_EQ(readFile(drivers), "<missing>");
}

} // namespace
