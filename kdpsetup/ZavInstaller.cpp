#include "ZavInstaller.h"

#include "DebugChannel.h"
#include "Folders.h"
#include "KeyHomeEnvironment.h"
#include "Unpacker.h"

#include <QCoreApplication>
#include <QDir>
#include <QLockFile>

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
    // A lock left by a run that died is taken over (its process is gone);
    // one held by a live run is waited for, however long that run takes.
    QLockFile tempLock(appDir + QLatin1String("/Temp.lock"));
    tempLock.setStaleLockTime(0);
    tempLock.lock(); // fails only when appDir is not writable, nor is Temp then

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
