#include "Folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

constexpr QDir::Filters everyEntry =
    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;

// A link leads elsewhere: it is never followed, never entered. Other is
// anything else (a device, a pipe) or nothing at all.
enum class EntryKind { Link, Folder, File, Other };

// What ENTRY itself is.
EntryKind kindOf(const QFileInfo &entry)
{
#ifdef Q_OS_WIN
    // Qt 5 takes every ordinary file named *.lnk for a link and looks
    // through it, and knows only two kinds of reparse point: ask Windows.
    // Any reparse point (a symbolic link, a junction, a mount point, Wine's
    // view of a Unix link) leads elsewhere.
    const QString path = QDir::toNativeSeparators(entry.absoluteFilePath());
    const DWORD attributes = ::GetFileAttributesW(reinterpret_cast<const wchar_t *>(path.utf16()));
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return EntryKind::Other;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return EntryKind::Link;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::Folder : EntryKind::File;
#else
    if (entry.isSymLink())
        return EntryKind::Link;
    if (entry.isDir())
        return EntryKind::Folder;
    return entry.isFile() ? EntryKind::File : EntryKind::Other;
#endif
}

bool isLink(const QString &path)
{
    return kindOf(QFileInfo(path)) == EntryKind::Link;
}

// QFile::link makes a shortcut on Windows, not a link: a package that holds
// links can't be installed faithfully there.
#ifdef Q_OS_WIN
constexpr bool linksCanBeCopied = false;
#else
constexpr bool linksCanBeCopied = true;
#endif

// Removes the link at PATH itself, never its target.
bool removeLink(const QString &path)
{
#ifdef Q_OS_WIN
    // A link to a folder is a folder to Windows: DeleteFile refuses it.
    if (QDir().rmdir(path))
        return true;
#endif
    return QFile::remove(path);
}

bool isInside(const QString &path, const QString &root)
{
    return path == root || path.startsWith(root + QLatin1Char('/'));
}

// Copies what is left of IN to OUT (both opened unbuffered), through BUFFER
// where the kernel can't copy.
bool copyContents(QFile &in, QFile &out, QByteArray &buffer)
{
#ifdef Q_OS_LINUX
    // In the kernel, as cp does. Where the file system can't, nothing has
    // been copied yet and the buffer below takes over.
    for (qint64 done = 0;;) {
        const ssize_t copied =
            ::copy_file_range(in.handle(), nullptr, out.handle(), nullptr, 1 << 30, 0);
        if (copied == 0)
            return true;
        if (copied < 0 && done > 0)
            return false;
        if (copied < 0)
            break;
        done += copied;
    }
#endif
    for (;;) {
        const qint64 read = in.read(buffer.data(), buffer.size());
        if (read <= 0)
            return read == 0;
        if (out.write(buffer.constData(), read) != read)
            return false;
    }
}

bool copyPermissions(const QFile &in, QFile &out)
{
    const QFileDevice::Permissions permissions = in.permissions();
#ifdef Q_OS_WIN
    // Windows keeps only "read-only" of them, and a new file is writable:
    // the attribute is set only when there is one to set (each setting
    // costs an open and a close). Qt asks a *.lnk file's shortcut target
    // for its permissions, and an ordinary file of that name has none to
    // give: it keeps the new file's.
    if (permissions == 0 || (permissions & QFileDevice::WriteOwner))
        return true;
#endif
    return out.setPermissions(permissions);
}

// Copies the file SOURCE to TARGET, which must not exist yet (nor be a
// link). Unlike QFile::copy it doesn't flush every file to the disk, which
// made installing a big package twice as slow as unpacking and copying it
// by hand. A partial copy is removed.
bool copyFile(const QString &source, const QString &target, QByteArray &buffer)
{
    QFile in(source);
    QFile out(target);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Unbuffered)
        || !out.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return false;
    const bool copied = copyContents(in, out, buffer) && copyPermissions(in, out);
    out.close();
    if (!copied || out.error() != QFileDevice::NoError) {
        out.remove();
        return false;
    }
    return true;
}

bool removeFile(const QString &path)
{
    if (QFile::remove(path))
        return true;
    // Read-only files can't be deleted on Windows. Never done for a link:
    // changing its permissions would change its target's.
    QFile file(path);
    return file.setPermissions(file.permissions() | QFileDevice::WriteOwner) && file.remove();
}

// Removes the file or link at PATH (a folder stays).
bool removeEntry(const QString &path)
{
    return isLink(path) ? removeLink(path) : removeFile(path);
}

class FolderCopy {
public:
    FolderCopy(const QString &source, bool replaceFiles)
        : sourceRoot(QDir::cleanPath(QFileInfo(source).absoluteFilePath())),
          canonicalSourceRoot(QFileInfo(source).canonicalFilePath()),
          overwrite(replaceFiles)
    {
    }

    bool copy(const QString &source, const QString &destination) const
    {
        const QDir destinationDir(destination);
        if (!destinationDir.exists() && !QDir().mkpath(destinationDir.absolutePath()))
            return false;
        const QFileInfoList entries =
            QDir(source).entryInfoList(everyEntry, QDir::Name | QDir::IgnoreCase);
        for (const QFileInfo &entry : entries) {
            const QString target = destinationDir.absoluteFilePath(entry.fileName());
            if (!copyEntry(entry, target))
                return false;
        }
        return true;
    }

private:
    bool copyEntry(const QFileInfo &entry, const QString &target) const
    {
        switch (kindOf(entry)) {
        case EntryKind::Link:
            return linksCanBeCopied && copyLink(entry, target);
        case EntryKind::Folder:
            return makeRoomForFolder(target) && copy(entry.filePath(), target);
        case EntryKind::File:
            return placeFile(entry.filePath(), target);
        case EntryKind::Other:
            break;
        }
        return false; // a device, pipe or socket has no place in a package
    }

    bool copyLink(const QFileInfo &link, const QString &target) const
    {
        const QString pointsTo = QDir::cleanPath(link.symLinkTarget());
        const QString resolved = link.canonicalFilePath(); // empty when dangling
        if (!isInside(pointsTo, sourceRoot)
            || (!resolved.isEmpty() && !isInside(resolved, canonicalSourceRoot)))
            return false;
        // Relative, so the copy points into the destination's own tree.
        const QString relative = link.dir().relativeFilePath(pointsTo);
        return makeRoomForFile(target) && QFile::link(relative, target);
    }

    // A folder is about to be copied to TARGET: a link there is taken away
    // rather than written through.
    bool makeRoomForFolder(const QString &target) const
    {
        if (!isLink(target))
            return true;
        return overwrite && removeLink(target);
    }

    // A link is about to be made at TARGET. Making one never replaces
    // anything, so whatever could not be deleted makes it fail.
    bool makeRoomForFile(const QString &target) const
    {
        if (overwrite)
            removeEntry(target); // fails harmlessly when nothing is there
        return true;
    }

    // Copies the file SOURCE to TARGET. The copy never replaces anything:
    // when the name is taken, what is there goes first (a link as a link),
    // and what can't be deleted makes the copy fail. Trying the copy first
    // spares a new file every look at a name nobody holds, each a scan of
    // the whole folder under Wine.
    bool placeFile(const QString &source, const QString &target) const
    {
        if (copyFile(source, target, buffer))
            return true;
        return overwrite && removeEntry(target) && copyFile(source, target, buffer);
    }

    QString sourceRoot;
    QString canonicalSourceRoot;
    bool overwrite;
    // One for the whole copy: a fresh megabyte per file, mapped and faulted
    // in anew each time, cost Windows (Wine at least) more than the copying.
    mutable QByteArray buffer = QByteArray(1 << 20, Qt::Uninitialized);
};

// Removes what is inside FOLDER (not itself a link). Keeps going after a
// failure so as much as possible is gone; the caller checks the result.
void removeContents(const QString &folder)
{
    const QFileInfoList entries = QDir(folder).entryInfoList(everyEntry);
    for (const QFileInfo &entry : entries) {
        switch (kindOf(entry)) {
        case EntryKind::Link:
            removeLink(entry.filePath());
            break;
        case EntryKind::Folder:
            removeContents(entry.filePath());
            QDir().rmdir(entry.filePath());
            break;
        case EntryKind::File:
        case EntryKind::Other:
            removeFile(entry.filePath());
            break;
        }
    }
}

} // namespace

bool entryExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || kindOf(info) == EntryKind::Link;
}

bool copyFolder(const QString &source, const QString &destination, bool overwrite)
{
    return FolderCopy(source, overwrite).copy(source, destination);
}

bool removeFolder(const QString &path)
{
    if (path.isEmpty())
        return false;
    // Without its trailing slash, so that a link is seen as a link.
    const QString folder = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    switch (kindOf(QFileInfo(folder))) {
    case EntryKind::Link:
        return removeLink(folder);
    case EntryKind::Folder:
        break;
    case EntryKind::File:
    case EntryKind::Other:
        return true;
    }
    removeContents(folder);
    QDir().rmdir(folder);
    return !entryExists(folder);
}
