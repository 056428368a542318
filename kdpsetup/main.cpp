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
#include <QStringList>

#include <cstdio>
#include <cstring>

namespace {

// The package path as the user gave it. On Windows argv holds the command
// line in the ANSI code page, which spells what it lacks (Chinese under a
// Western one) as "?", a wildcard to 7-Zip that can match another package
// in the same folder; the wide command line, which Qt keeps, has the path
// as typed and gives the same text whenever the code page can spell it.
QString packageArgument(int argc, char *argv[], int index)
{
#ifdef Q_OS_WIN
    const QStringList wideArguments = QCoreApplication::arguments();
    if (wideArguments.size() == argc)
        return wideArguments.at(index);
#else
    Q_UNUSED(argc);
#endif
    return QString::fromLocal8Bit(argv[index]);
}

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
    int package = 1;
    bool silent = false;
    if (argc == 3) {
        if (std::strcmp(argv[1], "-s") != 0) {
            std::printf("Parameters [%s] error\n", argv[1]);
            return -1;
        }
        silent = true;
        package = 2;
    }

    const int result = installer.install(packageArgument(argc, argv, package));
    if (!silent)
        reportResult(result);
    return 0;
}
