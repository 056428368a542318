#include "TestSupport.h"
#include "XmlFile.h"
#include "ZavInstaller.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

// The text of every element below the root of the registry at PATH.
QStringList registryEntries(const QString &path)
{
    const auto document = loadXmlDocument(path);
    QStringList entries;
    for (QDomElement e = document ? document->documentElement().firstChildElement() : QDomElement(); !e.isNull();
         e = e.nextSiblingElement())
        entries << e.text();
    return entries;
}

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

TEST_F(KeyHomeRegistry, UnreadableFilesAreWrittenAnewAfterTheirBytesAreKeptWrongRootsRefused)
{
    writeFile(devices, "<devices><device>K0</device>");
    writeFile(drivers, "not xml");
    EXPECT_EQ(update("K1", "D1"), 0);
    EXPECT_EQ(readFile(devices), registry("devices", {"K1"}));
    EXPECT_EQ(readFile(drivers), registry("drivers", {"D1"}));
    EXPECT_EQ(readFile(devices + ".bad"_q), "<devices><device>K0</device>");
    EXPECT_EQ(readFile(drivers + ".bad"_q), "not xml");

    // A later bad file never takes the name of an earlier one.
    writeFile(devices, "<devices>");
    EXPECT_EQ(update("K2", "D1"), 0);
    EXPECT_EQ(readFile(devices), registry("devices", {"K2"}));
    EXPECT_EQ(readFile(devices + ".bad"_q), "<devices><device>K0</device>");
    EXPECT_EQ(readFile(devices + ".bad.2"_q), "<devices>");

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

TEST_F(KeyHomeRegistry, WellFormedFilesKeepEveryEntry)
{
    QStringList many;
    QByteArray manyXml;
    for (int i = 0; i < 300; ++i) {
        many << "K&"_q + QString::number(i);
        manyXml += "<device>K&amp;" + QByteArray::number(i) + "</device>";
    }
    const QByteArray unusedEntity = "<!DOCTYPE devices [<!ENTITY e \"" + QByteArray(5000, 'x') + "\">]>";
    const auto utf16 = [](const char *declaration, QList<QByteArray> entries) {
        return QString::fromUtf8(registry("devices", entries, declaration));
    };
    const QString typed = utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?>", {"不", "č"}).replace("\n"_q, "\r\n"_q);
    const QByteArray rewritten = withByteOrderMark(utf16("<?xml version='1.0' encoding='UTF-16'?>", {"不", "č", "K1"}),
                                                   "UTF-16LE"); // this machine's byte order
    struct Case {
        QByteArray before;
        QStringList entries;
        QByteArray after; // when it is known to the byte
    };
    const QList<Case> cases = {
        {withByteOrderMark(typed, "UTF-16LE"), {"不"_q, "č"_q}, rewritten},
        {withByteOrderMark(typed, "UTF-16BE"), {"不"_q, "č"_q}, rewritten},
        {unusedEntity + "<devices>" + manyXml + "</devices>", many, {}},
    };
    QDir().mkpath(scratch.path("K1"_q));
    for (const Case &c : cases) {
        writeFile(devices, c.before);
        EXPECT_EQ(update("K1", "D1"), 0);
        EXPECT_EQ(registryEntries(devices), c.entries + QStringList{"K1"_q});
        if (!c.after.isEmpty()) {
            EXPECT_EQ(readFile(devices), c.after);
        }
    }
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

    // What the encoding can't hold is written as a reference to the whole
    // character, so the file stays well-formed and the entry is found again.
    for (int twice = 0; twice < 2; ++twice)
        EXPECT_EQ(update("\xf0\xa0\x80\x80", "\xe5\xa5\xbd\xf0\x9f\x98\x80"), 0); // 𠀀, 好😀
    EXPECT_EQ(readFile(devices), registry("devices", {"\xc4\xe3", "\xba\xc3", "&#x20000;"}, gbk));
    EXPECT_EQ(readFile(drivers), registry("drivers", {"\xe9", "\xe8", "&#x597d;&#x1f600;"}, latin1));
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
