#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <ostream>

// Readable failure messages.
void PrintTo(const QByteArray &bytes, std::ostream *out);
void PrintTo(const QString &text, std::ostream *out);
void PrintTo(const QStringList &list, std::ostream *out);

// Files and folders for tests. Paths are absolute, with forward slashes.
void writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);
void makeLink(const QString &target, const QString &link);
// Every entry below ROOT as a sorted list of relative paths: folders end in
// "/", links read "name -> target".
QStringList treeOf(const QString &root);
// Inode number of PATH (0 when missing): shows whether a file was replaced.
quint64 inodeOf(const QString &path);

// A fresh folder removed with its contents at the end of the test.
class Scratch {
public:
    QString path(const QString &relative = QString()) const;

private:
    QTemporaryDir dir;
};

// A zip archive written by hand, for entries 7-Zip itself would never
// store (names leading out, links).
struct ZipEntry {
    QString name;
    QByteArray data;
    bool isLink = false;
};
QByteArray zipArchive(const QList<ZipEntry> &entries);

// A package description with the given fields, in file order.
QByteArray descriptionXml(const QList<QPair<QString, QString>> &fields);

// Collects the debug channel's messages while it lives.
class DebugCapture {
public:
    DebugCapture();
    ~DebugCapture();
    DebugCapture(const DebugCapture &) = delete;
    DebugCapture &operator=(const DebugCapture &) = delete;
    const QStringList &messages() const;
};
