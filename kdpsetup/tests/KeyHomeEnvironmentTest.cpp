#include "KeyHomeEnvironment.h"
#include "TestSupport.h"
#include "ZavInstaller.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

QString found(const QStringList &environment, const QString &name)
{
    QString value = "stale"_q;
    return findEnvironmentEntry(environment, name, value) ? value : "<none>"_q;
}

TEST(KeyHomeEnvironment, FindsTheFirstEntryOfExactlyThatName)
{
    const QStringList environment = {"TQKEY_HOME_X64=D:\\Key64"_q, "tqkey_home=lower"_q, "TQKEY_HOME=C:\\Key"_q,
                                     "TQKEY_HOME=second"_q, "WITH_EQUALS=a=b=c"_q, "EMPTY="_q};
    EXPECT_EQ(found(environment, "TQKEY_HOME"_q), "C:\\Key"_q);
    EXPECT_EQ(found(environment, "TQKEY_HOME_X64"_q), "D:\\Key64"_q);
    EXPECT_EQ(found(environment, "WITH_EQUALS"_q), "a=b=c"_q);
    EXPECT_EQ(found(environment, "Tqkey_Home"_q), "<none>"_q);
    EXPECT_EQ(found(environment, "TQKEY"_q), "<none>"_q);
    QString value;
    EXPECT_TRUE(findEnvironmentEntry(environment, "EMPTY"_q, value) && value.isEmpty() && !value.isNull());
    EXPECT_FALSE(findEnvironmentEntry(environment, "MISSING"_q, value));
    EXPECT_TRUE(value.isNull());
}

TEST(KeyHomeEnvironment, NormalisesSeparatorsAndEndsWithOneSlash)
{
    EXPECT_EQ(normaliseKeyHome("C:\\Key\\Home"_q), "C:/Key/Home/"_q);
    EXPECT_EQ(normaliseKeyHome("C:\\Key\\"_q), "C:/Key/"_q);
    EXPECT_EQ(normaliseKeyHome("C:/Key/"_q), "C:/Key/"_q);
    EXPECT_EQ(normaliseKeyHome("C:\\a/b\\c"_q), "C:/a/b/c/"_q);
    EXPECT_EQ(normaliseKeyHome("\\\\server\\share\\Key"_q), "//server/share/Key/"_q);
    EXPECT_TRUE(normaliseKeyHome(QString()).isNull());
    EXPECT_TRUE(normaliseKeyHome(""_q).isEmpty());
}

TEST(KeyHomeEnvironment, InstallerDerivesBothKeyDriversFolders)
{
    ::unsetenv("TQKEY_HOME");
    ::setenv("TQKEY_HOME_X64", "D:\\Key64", 1);
    const ZavInstaller only64;
    EXPECT_TRUE(only64.keyHome32Folder().isNull() && only64.keyDrivers32Folder().isNull());
    EXPECT_EQ(only64.keyHome64Folder(), "D:/Key64/"_q);
    EXPECT_EQ(only64.keyDrivers64Folder(), "D:/Key64/keydrivers/"_q);
    EXPECT_EQ(only64.applicationFolder(), QCoreApplication::applicationDirPath());

    ::setenv("TQKEY_HOME", "", 1);
    ::unsetenv("TQKEY_HOME_X64");
    const ZavInstaller emptyHome;
    EXPECT_EQ(emptyHome.keyDrivers32Folder(), "keydrivers/"_q);
    EXPECT_TRUE(emptyHome.keyDrivers64Folder().isNull());
    ::unsetenv("TQKEY_HOME");
}

} // namespace
