#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <ostream>

inline QString operator""_q(const char *utf8, size_t size)
{
    return QString::fromUtf8(utf8, int(size));
}

// Readable failure messages.
void PrintTo(const QByteArray &bytes, std::ostream *out);
void PrintTo(const QString &text, std::ostream *out);
void PrintTo(const QStringList &list, std::ostream *out);

// Files and folders for tests. Paths are absolute, with forward slashes.
void writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path); // "<missing>" when it can't be read
void makeLink(const QString &target, const QString &link);
// Every entry below ROOT, sorted: folders end in "/", links read "name -> target".
QStringList treeOf(const QString &root);
// Inode number of PATH (0 when missing): shows whether a file was replaced.
quint64 inodeOf(const QString &path);
// Owner and permission bits of PATH (not following a link).
unsigned ownerOf(const QString &path);
unsigned modeOf(const QString &path);
void setMode(const QString &path, unsigned mode);
// Gives PATH (with everything below it when RECURSIVE) to user and group ID.
void giveTree(const QString &path, unsigned id, bool recursive = true);
// Runs 7-Zip with ARGUMENTS in FOLDER; true when it succeeded.
bool sevenZip(const QString &folder, const QStringList &arguments);

// A fresh folder removed with its contents at the end of the test.
class Scratch {
public:
    QString path(const QString &relative = QString()) const;

private:
    QTemporaryDir dir;
};

// NAMES as a list, for comparing with treeOf().
QStringList list(std::initializer_list<const char *> names);

// A key home registry as the installer writes it: ROOT ("devices" or
// "drivers") with one entry per value. A registry the installer loaded and
// wrote back declares itself in single quotes.
extern const QByteArray createdDeclaration;
extern const QByteArray reloadedDeclaration;
QByteArray registry(const char *root, const QList<QByteArray> &values,
                    const QByteArray &declaration = createdDeclaration);

// TEXT in the Unicode encoding CODEC ("UTF-16LE", "UTF-16BE"...), after
// its byte-order mark.
QByteArray withByteOrderMark(const QString &text, const char *codec);

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
