#include "TestSupport.h"
#include "ZavInstaller.h"

#include <gtest/gtest.h>

namespace {

struct Reading {
    int result;
    QStringList debug;
    DriverDescription description;
};

Reading readConfig(const QByteArray &xml)
{
    Scratch scratch;
    writeFile(scratch.path("config.xml"_q), xml);
    ZavInstaller installer;
    DebugCapture capture;
    const int result = installer.readDescription(scratch.path("config.xml"_q));
    return {result, capture.messages().mid(1), installer.driverDescription()};
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
    EXPECT_EQ(d.drivername, "D1"_q);
    EXPECT_EQ(d.modelid, "ABC"_q);
    EXPECT_EQ(d.version, " 2 "_q);
    EXPECT_TRUE(d.author.isEmpty() && d.cpubits.isEmpty());
    EXPECT_EQ(d.os, "<win>&xp"_q);
    EXPECT_EQ(d.cspname, "中"_q);
    EXPECT_TRUE(d.algo.isNull() && d.library.isNull());
    QStringList expected;
    for (const auto &[tag, text] : {std::pair{"drivername", "D1"}, {"DriverName", "upper"}, {"modelid", "ABC"},
                                    {"version", "1"}, {"version", " 2 "}, {"author", ""}, {"cpubits", ""},
                                    {"unknown", "u"}, {"os", "<win>&xp"}, {"cspname", "中"}}) {
        expected << "Element name:  \""_q + QString::fromUtf8(tag) + "\" \n"_q;
        expected << "Text name: \""_q + QString::fromUtf8(text) + "\" \n"_q;
    }
    EXPECT_EQ(reading.debug, expected);
}

TEST(Description, RefusesWhatIsNotADriverDescription)
{
    for (const QByteArray &xml : {QByteArray(), QByteArray("<driver><modelid>K1</modelid>"),
                                  QByteArray("<driver/><driver/>"), QByteArray("\x01\x02\x03")}) {
        const Reading reading = readConfig(xml);
        EXPECT_EQ(reading.result, -2) << xml.constData();
        EXPECT_EQ(reading.debug, QStringList{"xml file does not exist! "_q}) << xml.constData();
    }
    const Reading wrongRoot = readConfig("<?xml version=\"1.0\"?><drivers><modelid>K</modelid></drivers>");
    EXPECT_EQ(wrongRoot.result, -1);
    EXPECT_EQ(wrongRoot.debug, QStringList());
    EXPECT_TRUE(wrongRoot.description.modelid.isNull());

    ZavInstaller installer;
    DebugCapture capture;
    EXPECT_EQ(installer.readDescription(QString()), -2);
    EXPECT_EQ(installer.readDescription("/nonexistent/config.xml"_q), -2);
    EXPECT_EQ(capture.messages(), QStringList({"Config path is  \"/nonexistent/config.xml\" \n"_q,
                                               "xml file does not exist! "_q}));
}

TEST(Description, ReadsTheFileAsBytesInWhateverEncodingItDeclares)
{
    // UTF-16 as a common editor saves it (byte-order mark, CR LF), and
    // characters whose UTF-16 code units hold a 0x0D byte: 不 U+4E0D, č U+010D.
    const QString text = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<driver>\r\n"
                         "  <modelid>不č</modelid>\r\n  <drivername>D\r1</drivername>\r\n</driver>\r\n"_q;
    for (const QByteArray &xml : {withByteOrderMark(text, "UTF-16LE"), withByteOrderMark(text, "UTF-16BE"),
                                  text.toUtf8().replace("UTF-16", "UTF-8")}) {
        const Reading reading = readConfig(xml);
        ASSERT_EQ(reading.result, 0) << xml.toHex().constData();
        EXPECT_EQ(reading.description.modelid, "不č"_q);
        EXPECT_EQ(reading.description.drivername, "D\n1"_q); // a lone CR reads as a line feed
    }
}

} // namespace
