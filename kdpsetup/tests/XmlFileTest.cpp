#include "TestSupport.h"
#include "XmlFile.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

QString textOf(const QByteArray &xml)
{
    Scratch scratch;
    writeFile(scratch.path("x.xml"_q), xml);
    const auto document = loadXmlDocument(scratch.path("x.xml"_q));
    return document ? document->documentElement().text() : "<refused>"_q;
}

TEST(XmlFile, BoundsEntityExpansion)
{
    QByteArray laughs = "<!DOCTYPE d [<!ENTITY l0 \"lol\">";
    for (int i = 1; i < 10; ++i)
        laughs += "<!ENTITY l" + QByteArray::number(i) + " \"" + ("&l" + QByteArray::number(i - 1) + ";").repeated(10) + "\">";
    EXPECT_EQ(textOf(laughs + "]><d>&l9;</d>"), "<refused>"_q);
    const QByteArray flat = "<!DOCTYPE d [<!ENTITY a \"" + QByteArray(3000, 'x') + "\">]>";
    EXPECT_EQ(textOf(flat + "<d>" + QByteArray("&a;").repeated(20000) + "</d>"), "<refused>"_q);
    EXPECT_EQ(textOf(flat + "<d a='" + QByteArray("&a;").repeated(400) + "'/>"), "<refused>"_q);
    EXPECT_EQ(textOf("<!DOCTYPE d [<!ENTITY a \"&b;\"><!ENTITY b \"&a;\">]><d>&a;</d>"), "<refused>"_q);

    // Modest use of entities still reads, and external ones are not fetched.
    EXPECT_EQ(textOf(flat + "<d>&a;&a;&lt;</d>"), QString(6000, QLatin1Char('x')) + "<"_q);
    EXPECT_EQ(textOf("<!DOCTYPE d [<!ENTITY v \"Acme\"><!ENTITY w \"&v; &v;\">]><d>&w;</d>"), "Acme Acme"_q);
    EXPECT_FALSE(textOf("<!DOCTYPE d [<!ENTITY e SYSTEM \"/etc/passwd\">]><d>&e;</d>").contains("root"_q));
}

TEST(XmlFile, RefusesOnlyWhatWouldReallyExplode)
{
    // The reader itself refuses to expand one entity past 4096 characters.
    const QByteArray unused = "<!ENTITY unused \"" + QByteArray(5000, 'x') + "\">";
    const QByteArray big = "<!ENTITY big \"" + QByteArray(3000, 'x') + "\">";
    QByteArray entries;
    for (int i = 0; i < 300; ++i)
        entries += "<device>K&amp;" + QByteArray::number(i) + "</device>";
    const QByteArray attributeDefault = "<!DOCTYPE d [" + big + "<!ATTLIST e a CDATA \"&big;\">]><d>";
    const QList<QPair<QByteArray, bool>> cases = {
        // An entity declared and never used, beside many "&amp;".
        {"<!DOCTYPE devices [" + unused + "]><devices>" + entries + "</devices>", true},
        {"<!DOCTYPE d [" + big + "]><d a='&big;'>&big;" + QByteArray("&amp;&lt;").repeated(5000) + "</d>", true},
        // A reference only in a comment, CDATA or processing instruction is never expanded.
        {"<!DOCTYPE d [" + big + "]><d><!--" + QByteArray("&big;").repeated(1000) + "--><![CDATA["
             + QByteArray("&big;").repeated(1000) + "]]><?p " + QByteArray("&big;").repeated(1000) + "?></d>", true},
        // A default attribute value is expanded for every element that gets it.
        {attributeDefault + QByteArray("<e/>").repeated(10) + "</d>", true},
        {attributeDefault + QByteArray("<e/>").repeated(1000) + "</d>", false},
    };
    for (const auto &[xml, readable] : cases)
        EXPECT_EQ(textOf(xml) != "<refused>"_q, readable) << xml.right(300).constData();
}

TEST(XmlFile, RefusesNestingDeeperThanAnyRealFileQuickly)
{
    const auto nested = [](int depth) { return QByteArray("<x>").repeated(depth) + QByteArray("</x>").repeated(depth); };
    const QList<QPair<QByteArray, bool>> cases = {
        {nested(256), true}, {nested(257), false}, {nested(100000), false}, {nested(200000), false}};
    for (const auto &[xml, readable] : cases)
        EXPECT_EQ(textOf(xml) != "<refused>"_q, readable) << xml.left(100).constData();
}

TEST(XmlFile, SavesWholeOrNotAtAllAndKeepsNamespaceDeclarations)
{
    Scratch scratch;
    const QString path = scratch.path("x.xml"_q);
    writeFile(path, "<a:devices xmlns:a=\"urn:k\"><a:device>K</a:device></a:devices>");
    const auto document = loadXmlDocument(path);
    ASSERT_TRUE(document);
    ASSERT_TRUE(saveXmlDocument(path, *document));
    EXPECT_EQ(readFile(path), "<a:devices xmlns:a=\"urn:k\">\n    <a:device>K</a:device>\n</a:devices>\n");
    EXPECT_EQ(treeOf(scratch.path()), QStringList{"x.xml"_q}); // no temporary file left

    EXPECT_FALSE(saveXmlDocument(QString(), *document));
    EXPECT_FALSE(saveXmlDocument(path, QDomDocument()));
    EXPECT_FALSE(saveXmlDocument(scratch.path("missing/x.xml"_q), *document));
    QDir().mkpath(scratch.path("folder"_q));
    EXPECT_FALSE(saveXmlDocument(scratch.path("folder"_q), *document));

    // What Qt reads but would not read back once written (a control
    // character ending a processing instruction's target) is not written.
    const QByteArray quirk = "<?xK\x1e?><devices><device>K</device></devices>";
    writeFile(path, quirk);
    const auto odd = loadXmlDocument(path);
    ASSERT_TRUE(odd);
    EXPECT_FALSE(saveXmlDocument(path, *odd));
    EXPECT_EQ(readFile(path), quirk);
}

} // namespace
