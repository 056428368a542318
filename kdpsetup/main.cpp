// kdpsetup: installs one key driver package into the key home.
//
//   kdpsetup PACKAGE        interactive: reports the result on the debug channel
//   kdpsetup -s PACKAGE     silent: reports nothing
//
// The exit status is 0 for either call shape whatever the installation's
// result, and -1 for any other command line.

#include "DebugChannel.h"
#include "ZavInstaller.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace {

void reportResult(int result)
{
    if (result < 0)
        DebugMessage() << result;
    else
        DebugMessage() << "Setup Successful!" << endLine;
}

} // namespace

int main(int argc, char *argv[])
{
    // Counted after Qt has taken its own options out of the command line.
    QCoreApplication application(argc, argv);
    if (argc <= 1 || argc >= 4)
        return -1;

    ZavInstaller installer;
    const char *package = argv[1];
    bool silent = false;
    if (argc == 3) {
        if (std::strcmp(argv[1], "-s") != 0) {
            std::printf("Parameters [%s] error\n", argv[1]);
            return -1;
        }
        silent = true;
        package = argv[2];
    }

    const int result = installer.install(QString::fromLocal8Bit(package));
    if (!silent)
        reportResult(result);
    return 0;
}
