#include "TestSupport.h"
#include "XmlFile.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

QString textOf(const QByteArray &xml)
{
    Scratch scratch;
    writeFile(scratch.path(QStringLiteral("x.xml")), xml);
    const auto document = loadXmlDocument(scratch.path(QStringLiteral("x.xml")));
    return document ? document->documentElement().text() : QStringLiteral("<refused>");
}

TEST(XmlFile, BoundsEntityExpansion)
{
    QByteArray laughs = "<!DOCTYPE d [<!ENTITY l0 \"lol\">";
    for (int i = 1; i < 10; ++i)
        laughs += "<!ENTITY l" + QByteArray::number(i) + " \""
                  + ("&l" + QByteArray::number(i - 1) + ";").repeated(10) + "\">";
    EXPECT_EQ(textOf(laughs + "]><d>&l9;</d>"), QStringLiteral("<refused>"));

    const QByteArray flat = "<!DOCTYPE d [<!ENTITY a \"" + QByteArray(3000, 'x') + "\">]>";
    EXPECT_EQ(textOf(flat + "<d>" + QByteArray("&a;").repeated(20000) + "</d>"),
              QStringLiteral("<refused>"));
    EXPECT_EQ(textOf(flat + "<d a='" + QByteArray("&a;").repeated(400) + "'/>"),
              QStringLiteral("<refused>"));
    EXPECT_EQ(textOf("<!DOCTYPE d [<!ENTITY a \"&b;\"><!ENTITY b \"&a;\">]><d>&a;</d>"),
              QStringLiteral("<refused>"));

    // Modest use of entities still reads, and external ones are not fetched.
    EXPECT_EQ(textOf(flat + "<d>&a;&a;&lt;</d>"), QString(6000, QLatin1Char('x')) + QLatin1Char('<'));
    EXPECT_EQ(textOf("<!DOCTYPE d [<!ENTITY v \"Acme\"><!ENTITY w \"&v; &v;\">]><d>&w;</d>"),
              QStringLiteral("Acme Acme"));
    EXPECT_FALSE(textOf("<!DOCTYPE d [<!ENTITY e SYSTEM \"/etc/passwd\">]><d>&e;</d>")
                     .contains(QLatin1String("root")));
}

TEST(XmlFile, KeepsNamespaceDeclarationsOnTheWayBack)
{
    Scratch scratch;
    const QString path = scratch.path(QStringLiteral("x.xml"));
    writeFile(path, "<a:devices xmlns:a=\"urn:k\"><a:device>K</a:device></a:devices>");
    const auto document = loadXmlDocument(path);
    ASSERT_TRUE(document);
    ASSERT_TRUE(saveXmlDocument(path, *document));
    EXPECT_EQ(readFile(path), "<a:devices xmlns:a=\"urn:k\">\n    <a:device>K</a:device>\n</a:devices>\n");
}

TEST(XmlFile, SavingReplacesTheFileWholeOrNotAtAll)
{
    Scratch scratch;
    QDomDocument document;
    document.appendChild(document.createElement(QStringLiteral("devices")));
    EXPECT_FALSE(saveXmlDocument(QString(), document));
    EXPECT_FALSE(saveXmlDocument(scratch.path(QStringLiteral("x.xml")), QDomDocument()));
    EXPECT_FALSE(saveXmlDocument(scratch.path(QStringLiteral("missing/x.xml")), document));
    QDir().mkpath(scratch.path(QStringLiteral("folder")));
    EXPECT_FALSE(saveXmlDocument(scratch.path(QStringLiteral("folder")), document));

    writeFile(scratch.path(QStringLiteral("x.xml")), "old");
    EXPECT_TRUE(saveXmlDocument(scratch.path(QStringLiteral("x.xml")), document));
    EXPECT_EQ(treeOf(scratch.path()), QStringList({QStringLiteral("folder/"), QStringLiteral("x.xml")}));
    EXPECT_EQ(readFile(scratch.path(QStringLiteral("x.xml"))), "<devices/>\n");
}

} // namespace
