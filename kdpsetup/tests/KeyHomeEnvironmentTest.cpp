#include "KeyHomeEnvironment.h"
#include "ZavInstaller.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

QString found(const QStringList &environment, const char *name)
{
    QString value = QStringLiteral("stale");
    return findEnvironmentEntry(environment, QString::fromLatin1(name), value) ? value
                                                                               : QStringLiteral("<none>");
}

TEST(KeyHomeEnvironment, FindsTheFirstEntryOfExactlyThatName)
{
    const QStringList environment = {
        QStringLiteral("TQKEY_HOME_X64=D:\\Key64"), QStringLiteral("tqkey_home=lower"),
        QStringLiteral("TQKEY_HOME=C:\\Key\\Home"), QStringLiteral("TQKEY_HOME=second"),
        QStringLiteral("WITH_EQUALS=a=b=c"), QStringLiteral("EMPTY=")};
    EXPECT_EQ(found(environment, "TQKEY_HOME"), QStringLiteral("C:\\Key\\Home"));
    EXPECT_EQ(found(environment, "TQKEY_HOME_X64"), QStringLiteral("D:\\Key64"));
    EXPECT_EQ(found(environment, "WITH_EQUALS"), QStringLiteral("a=b=c"));
    EXPECT_EQ(found(environment, "Tqkey_Home"), QStringLiteral("<none>"));
    EXPECT_EQ(found(environment, "TQKEY"), QStringLiteral("<none>"));

    QString value = QStringLiteral("stale");
    EXPECT_TRUE(findEnvironmentEntry(environment, QStringLiteral("EMPTY"), value));
    EXPECT_TRUE(value.isEmpty() && !value.isNull());
    EXPECT_FALSE(findEnvironmentEntry(environment, QStringLiteral("MISSING"), value));
    EXPECT_TRUE(value.isNull());
}

TEST(KeyHomeEnvironment, NormalisesSeparatorsAndEndsWithOneSlash)
{
    EXPECT_EQ(normaliseKeyHome(QStringLiteral("C:\\Key\\Home")), QStringLiteral("C:/Key/Home/"));
    EXPECT_EQ(normaliseKeyHome(QStringLiteral("C:\\Key\\")), QStringLiteral("C:/Key/"));
    EXPECT_EQ(normaliseKeyHome(QStringLiteral("C:/Key/")), QStringLiteral("C:/Key/"));
    EXPECT_EQ(normaliseKeyHome(QStringLiteral("C:\\a/b\\c")), QStringLiteral("C:/a/b/c/"));
    EXPECT_EQ(normaliseKeyHome(QString()), QString());
    EXPECT_TRUE(normaliseKeyHome(QStringLiteral("")).isEmpty());
}

TEST(KeyHomeEnvironment, InstallerDerivesBothKeyDriversFolders)
{
    ::unsetenv("TQKEY_HOME");
    ::setenv("TQKEY_HOME_X64", "D:\\Key64", 1);
    {
        ZavInstaller installer;
        EXPECT_TRUE(installer.keyHome32Folder().isNull());
        EXPECT_TRUE(installer.keyDrivers32Folder().isNull());
        EXPECT_EQ(installer.keyHome64Folder(), QStringLiteral("D:/Key64/"));
        EXPECT_EQ(installer.keyDrivers64Folder(), QStringLiteral("D:/Key64/keydrivers/"));
        EXPECT_EQ(installer.applicationFolder(), QCoreApplication::applicationDirPath());
    }
    ::setenv("TQKEY_HOME", "", 1);
    ::unsetenv("TQKEY_HOME_X64");
    {
        ZavInstaller installer;
        EXPECT_EQ(installer.keyDrivers32Folder(), QStringLiteral("keydrivers/"));
        EXPECT_TRUE(installer.keyDrivers64Folder().isNull());
    }
    ::unsetenv("TQKEY_HOME");
}

} // namespace
