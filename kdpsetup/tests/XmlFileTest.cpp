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
}

} // namespace
