#include "DebugChannel.h"
#include "TestSupport.h"
#include "ZavInstaller.h"

#include <gtest/gtest.h>

namespace {

QString q(const char *utf8) { return QString::fromUtf8(utf8); }

struct Reading {
    int result;
    QStringList debug;
    DriverDescription description;
};

Reading readConfig(const QByteArray &xml)
{
    Scratch scratch;
    const QString path = scratch.path(QStringLiteral("config.xml"));
    writeFile(path, xml);
    ZavInstaller installer;
    DebugCapture capture;
    const int result = installer.readDescription(path);
    QStringList debug = capture.messages();
    debug.replaceInStrings(path, QStringLiteral("PATH"));
    return {result, debug, installer.driverDescription()};
}

TEST(DebugChannel, ComposesItemsWithoutEscaping)
{
    DebugCapture capture;
    DebugMessage() << "all std output is " << q("a\"b\\c\n\td") << endLine;
    DebugMessage() << -8;
    ASSERT_EQ(capture.messages().size(), 2);
    EXPECT_EQ(capture.messages()[0], q("all std output is  \"a\"b\\c\n\td\" \n"));
    EXPECT_EQ(capture.messages()[1], q("-8 "));
}

TEST(Description, FillsFieldsAndWritesTwoLinesPerChild)
{
    const Reading reading = readConfig(
        "<?xml version=\"1.0\"?>\n<!-- a package -->\n<driver os=\"x\">\n"
        " <drivername>D1</drivername><DriverName>upper</DriverName>\n"
        " <modelid>A<i>B</i>C</modelid><version>1</version><version> 2 </version>\n"
        " <author attr=\"ignored\"/><cpubits>   </cpubits><unknown>u</unknown>\n"
        " <?pi skipped?><![CDATA[skipped]]>text skipped\n"
        " <os><![CDATA[<win>]]>&amp;xp</os><cspname>\xe4\xb8\xad</cspname>\n</driver>\n");
    ASSERT_EQ(reading.result, 0);
    const DriverDescription &d = reading.description;
    EXPECT_EQ(d.drivername, q("D1"));
    EXPECT_EQ(d.modelid, q("ABC"));
    EXPECT_EQ(d.version, q(" 2 "));
    EXPECT_TRUE(d.author.isEmpty());
    EXPECT_TRUE(d.cpubits.isEmpty());
    EXPECT_EQ(d.os, q("<win>&xp"));
    EXPECT_EQ(d.cspname, q("中"));
    EXPECT_TRUE(d.algo.isNull() && d.library.isNull());
    const QStringList expected = {
        q("Config path is  \"PATH\" \n"),
        q("Element name:  \"drivername\" \n"), q("Text name: \"D1\" \n"),
        q("Element name:  \"DriverName\" \n"), q("Text name: \"upper\" \n"),
        q("Element name:  \"modelid\" \n"), q("Text name: \"ABC\" \n"),
        q("Element name:  \"version\" \n"), q("Text name: \"1\" \n"),
        q("Element name:  \"version\" \n"), q("Text name: \" 2 \" \n"),
        q("Element name:  \"author\" \n"), q("Text name: \"\" \n"),
        q("Element name:  \"cpubits\" \n"), q("Text name: \"\" \n"),
        q("Element name:  \"unknown\" \n"), q("Text name: \"u\" \n"),
        q("Element name:  \"os\" \n"), q("Text name: \"<win>&xp\" \n"),
        q("Element name:  \"cspname\" \n"), q("Text name: \"中\" \n")};
    EXPECT_EQ(reading.debug, expected);
}

TEST(Description, RefusesWhatIsNotADriverDescription)
{
    const QStringList unreadable = {q("Config path is  \"PATH\" \n"), q("xml file does not exist! ")};
    for (const QByteArray &xml : {QByteArray(), QByteArray("<driver><modelid>K1</modelid>"),
                                  QByteArray("<driver/><driver/>"), QByteArray("\x01\x02\x03")}) {
        const Reading reading = readConfig(xml);
        EXPECT_EQ(reading.result, -2) << xml.constData();
        EXPECT_EQ(reading.debug, unreadable) << xml.constData();
    }
    const Reading wrongRoot = readConfig("<?xml version=\"1.0\"?><drivers><modelid>K</modelid></drivers>");
    EXPECT_EQ(wrongRoot.result, -1);
    EXPECT_EQ(wrongRoot.debug, QStringList{q("Config path is  \"PATH\" \n")});
    EXPECT_TRUE(wrongRoot.description.modelid.isNull());

    ZavInstaller installer;
    DebugCapture capture;
    EXPECT_EQ(installer.readDescription(QString()), -2);
    EXPECT_EQ(installer.readDescription(QStringLiteral("/nonexistent/config.xml")), -2);
    EXPECT_EQ(capture.messages(), QStringList({q("Config path is  \"/nonexistent/config.xml\" \n"),
                                               q("xml file does not exist! ")}));
}

} // namespace
