#include "ZavInstaller.h"

#include "DebugChannel.h"
#include "Folders.h"
#include "KeyHomeEnvironment.h"
#include "Unpacker.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

#include <cstdio>

ZavInstaller::ZavInstaller()
{
    const bool hasKeyHome32 = lookupEnvironment(QStringLiteral("TQKEY_HOME"), keyHome32);
    const bool hasKeyHome64 = lookupEnvironment(QStringLiteral("TQKEY_HOME_X64"), keyHome64);
    if (hasKeyHome32) {
        keyHome32 = normaliseKeyHome(keyHome32);
        keyDrivers32 = keyHome32 + QLatin1String("keydrivers/");
    }
    if (hasKeyHome64) {
        keyHome64 = normaliseKeyHome(keyHome64);
        keyDrivers64 = keyHome64 + QLatin1String("keydrivers/");
    }
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
    const QFileInfo tempInfo(QDir::cleanPath(tempFolder));
    if (tempInfo.exists() || tempInfo.isSymLink())
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
