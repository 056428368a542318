#include "FileWriting.h"

#include "Folders.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// More copies than any key home will ever gather.
constexpr int keptCopiesLimit = 1000;

// Gives the new file FILE, about to replace PATH, the old file's owner and
// group. False when that is not allowed.
bool keepOwner(QSaveFile &file, const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat old {};
    struct stat now {};
    if (::stat(QFile::encodeName(path).constData(), &old) != 0 || ::fstat(file.handle(), &now) != 0)
        return true; // a new file is the installer's own
    if (old.st_uid == now.st_uid && old.st_gid == now.st_gid)
        return true;
    return ::fchown(file.handle(), old.st_uid, old.st_gid) == 0;
#else
    Q_UNUSED(file)
    Q_UNUSED(path)
    return true;
#endif
}

// Writes TAIL at OFFSET in FILE in one go and cuts the file at its end.
bool writeTail(QFile &file, qint64 offset, const QByteArray &tail)
{
    return file.seek(offset) && file.write(tail) == tail.size() && file.resize(offset + tail.size());
}

// Rewrites the existing file at PATH in place. Only the part after what the
// old and new contents share is written, in one write: a registry gains an
// entry at its end, so that is a line or two.
bool rewriteInPlace(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray old = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    const int shared = static_cast<int>(
        std::mismatch(old.cbegin(), old.cend(), bytes.cbegin(), bytes.cend()).first - old.cbegin());
    if (writeTail(file, shared, bytes.mid(shared)))
        return true;
    writeTail(file, shared, old.mid(shared)); // the old bytes fit where they were
    return false;
}

} // namespace

bool replaceFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // Unbuffered: a buffer flushed by commit() would lose a failed write
    // and put a cut file in place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return rewriteInPlace(path, bytes);
    if (!keepOwner(file, path)) {
        file.cancelWriting();
        return rewriteInPlace(path, bytes);
    }
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString keepAside(const QString &path, bool read, const QByteArray &bytes)
{
    for (int copy = 1; copy <= keptCopiesLimit; ++copy) {
        const QString name = path + QLatin1String(".bad")
                             + (copy == 1 ? QString() : QLatin1Char('.') + QString::number(copy));
        if (entryExists(name))
            continue;
        if (!read) // never a folder: only what could be a registry is moved
            return QFileInfo(path).isFile() && QFile::rename(path, name) ? name : QString();
        QFile kept(name);
        if (!kept.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (entryExists(name))
                continue; // taken meanwhile
            return QString();
        }
        if (kept.write(bytes) == bytes.size() && kept.flush())
            return name;
        kept.remove();
        return QString();
    }
    return QString();
}
