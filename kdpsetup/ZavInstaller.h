#pragma once

#include "DriverDescription.h"
#include "TurnLock.h"

#include <QString>

// Installs key driver packages ("zav packages") into the key home. One object
// per run; it learns at construction where the program lives (appDir: 7z.exe
// and the temporary folder sit there) and where the key home is for 32-bit
// (TQKEY_HOME) and 64-bit (TQKEY_HOME_X64) drivers. Needs the Qt core
// application object to exist.
//
// Every operation returns 0 for success or a negative result code:
//   -1 the description has no driver element, or a key home registry can't
//      be written, has the wrong root element or was kept too long by
//      another run
//   -2 the description can't be read, or its modelid/drivername can't name
//      a folder
//   -3 copying the driver files failed
//   -5 the temporary folder can't be removed after copying
//   -6 no key drivers folder for the driver's cpubits
//   -8 no package given, the unpacker did not report success, or another
//      run kept Temp/ for too long
class ZavInstaller {
public:
    ZavInstaller();
    ZavInstaller(const ZavInstaller &) = delete;
    ZavInstaller &operator=(const ZavInstaller &) = delete;

    // The whole installation of the package at PACKAGEPATH: unpack it into
    // appDir/Temp/, read its config.xml, place the files and register them.
    int install(const QString &packagePath);
    // Fills the description from the package description at CONFIGPATH.
    int readDescription(const QString &configPath);
    // Copies the unpacked package into its driver folder and registers it.
    int registerDriver();

    // Adds the description's model and driver to the key home registries
    // when they are not listed yet.
    int updateKeyHomeRegistry(const QString &deviceRegistryPath, const QString &driverRegistryPath);
    bool createDeviceRegistry(const QString &path);
    bool createDriverRegistry(const QString &path);

    const QString &applicationFolder() const { return appDir; }
    const QString &keyHome32Folder() const { return keyHome32; }
    const QString &keyHome64Folder() const { return keyHome64; }
    const QString &keyDrivers32Folder() const { return keyDrivers32; }
    const QString &keyDrivers64Folder() const { return keyDrivers64; }
    DriverDescription &driverDescription() { return description; }

    // How long the unpacker may run before it is stopped.
    static constexpr int unpackTimeLimitMs = 100000;
    // How long a run waits for another live run to finish with Temp/ or
    // the registries: long enough for an unpacking that reaches its limit.
    static constexpr int turnWaitLimitMs = 3 * unpackTimeLimitMs;

private:
    QString temporaryFolder() const;
    // Takes LOCK, waiting up to turnWaitLimitMs for a live run. When it
    // gives up, it says so on the debug channel and returns false.
    static bool takeTurn(TurnLock &lock);

    QString appDir;
    QString keyDrivers32;
    QString keyHome32;
    QString keyDrivers64;
    QString keyHome64;
    DriverDescription description;
};
