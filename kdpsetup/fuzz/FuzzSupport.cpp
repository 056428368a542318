#include "FuzzSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace fuzz {

namespace {

void silence(QtMsgType, const QMessageLogContext &, const QString &) {}

struct Environment {
    Environment()
    {
        static int argc = 1;
        static char name[] = "kdpsetup-fuzz";
        static char *argv[] = {name, nullptr};
        application = std::make_unique<QCoreApplication>(argc, argv);
        qInstallMessageHandler(silence);
    }
    std::unique_ptr<QCoreApplication> application;
    // In memory where the system has it: every input writes files, and
    // replacing a registry syncs it to the disk.
    QTemporaryDir folder{QDir(QStringLiteral("/dev/shm")).exists()
                             ? QStringLiteral("/dev/shm/kdpsetup-fuzz-XXXXXX")
                             : QDir::tempPath() + QStringLiteral("/kdpsetup-fuzz-XXXXXX")};
};

Environment &environment()
{
    static Environment instance;
    return instance;
}

} // namespace

void startOnce()
{
    environment();
}

QString scratch(const QString &relative)
{
    return relative.isEmpty() ? environment().folder.path() : environment().folder.filePath(relative);
}

void emptyScratch()
{
    QDir folder(scratch());
    folder.removeRecursively();
    QDir().mkpath(scratch());
}

QString writeScratch(const QString &relative, const QByteArray &bytes)
{
    const QString path = scratch(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        broken("the scratch folder takes files", path);
    return path;
}

QByteArray readScratch(const QString &relative)
{
    QFile file(scratch(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString utf16Text(const QByteArray &bytes)
{
    return QString(reinterpret_cast<const QChar *>(bytes.constData()), bytes.size() / 2);
}

void broken(const char *promise, const QString &detail)
{
    std::fprintf(stderr, "broken promise: %s\n%s\n", promise, detail.toUtf8().constData());
    std::abort();
}

} // namespace fuzz
