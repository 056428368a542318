#include "ZavInstaller.h"

#include "DebugChannel.h"
#include "Folders.h"
#include "KeyHomeEnvironment.h"
#include "Unpacker.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

namespace {

// The key home named by the environment variable NAME and its key drivers
// folder; both stay null when the variable is not set.
void locateKeyHome(const QString &name, QString &keyHome, QString &keyDrivers)
{
    if (!lookupEnvironment(name, keyHome))
        return;
    keyHome = normaliseKeyHome(keyHome);
    keyDrivers = keyHome + QLatin1String("keydrivers/");
}

} // namespace

ZavInstaller::ZavInstaller()
{
    locateKeyHome(QStringLiteral("TQKEY_HOME"), keyHome32, keyDrivers32);
    locateKeyHome(QStringLiteral("TQKEY_HOME_X64"), keyHome64, keyDrivers64);
    appDir = QCoreApplication::applicationDirPath();
}

bool ZavInstaller::takeTurn(TurnLock &lock)
{
    if (lock.take(turnWaitLimitMs) != TurnLock::Outcome::busy)
        return true;
    DebugMessage() << "Gave up waiting for the run holding" << lock.path() << endLine;
    return false;
}

QString ZavInstaller::temporaryFolder() const
{
    return appDir + QLatin1String("/Temp/");
}

int ZavInstaller::install(const QString &packagePath)
{
    DebugMessage() << "KEYhome path is" << keyDrivers32 << endLine;
    if (packagePath.isEmpty()) {
        std::puts("The zav package is not exist!");
        return -8;
    }
    description.clear();
    const QString tempFolder = temporaryFolder();
    const QString configPath = tempFolder + QLatin1String("config.xml");

    // Every run from this folder unpacks into the same Temp: one at a time.
    // Where no lock can be made, appDir is not writable, nor is Temp then.
    TurnLock tempLock(appDir + QLatin1String("/Temp.lock"));
    if (!takeTurn(tempLock))
        return -8;

    // A dangling link named Temp counts as there, so it goes too.
    if (entryExists(QDir::cleanPath(tempFolder)))
        removeFolder(tempFolder);
    else
        QDir().mkdir(tempFolder);

    const QStringList arguments = {QStringLiteral("x"), packagePath,
                                   QLatin1String("-o") + tempFolder, QStringLiteral("-y")};
    const QString output = unpackerText(
        runUnpacker(appDir + QLatin1String("/7z.exe"), arguments, unpackTimeLimitMs));
    DebugMessage() << "all std output is " << output << endLine;
    if (!output.contains(QLatin1String("Everything is Ok"), Qt::CaseSensitive))
        return -8;

    DebugMessage() << "Temp path is" << tempFolder << endLine;
    const int described = readDescription(configPath);
    if (described < 0) {
        std::puts("提取信息失败!");
        return described;
    }
    return registerDriver();
}
