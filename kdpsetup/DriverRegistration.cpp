// Placing an unpacked package in its driver folder below the key drivers
// folder and recording it in the key home registries.

#include "ZavInstaller.h"

#include "FolderName.h"
#include "Folders.h"

#include <cstdio>

int ZavInstaller::registerDriver()
{
    if (description.modelid.isEmpty())
        return -2;
    // Both become folder names: nothing may lead out of the key drivers
    // folder, and an empty driver name would put the package over the
    // model's driver registry.
    if (!isSafeFolderName(description.modelid) || !isSafeFolderName(description.drivername))
        return -2;

    QString keyDrivers;
    if (description.cpubits == QLatin1String("64"))
        keyDrivers = keyDrivers64;
    else if (description.cpubits == QLatin1String("32"))
        keyDrivers = keyDrivers32;
    if (keyDrivers.isEmpty())
        return -6;

    const QString tempFolder = temporaryFolder();
    const QString modelFolder = keyDrivers + description.modelid + QLatin1Char('/');
    const QString driverFolder = modelFolder + description.drivername + QLatin1Char('/');
    const QString deviceRegistry = keyDrivers + QLatin1String("config.xml");
    const QString driverRegistry = modelFolder + QLatin1String("config.xml");

    if (!copyFolder(tempFolder, driverFolder, true)) {
        std::puts("copy file error!");
        return -3;
    }
    if (!removeFolder(tempFolder)) {
        std::puts("删除失败!");
        return -5;
    }
    return updateKeyHomeRegistry(deviceRegistry, driverRegistry);
}
