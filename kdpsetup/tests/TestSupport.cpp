#include "TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTextCodec>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

void PrintTo(const QByteArray &bytes, std::ostream *out)
{
    *out << '"' << QByteArray(bytes).replace('\n', "\\n").constData() << '"';
}

void PrintTo(const QString &text, std::ostream *out)
{
    PrintTo(text.toUtf8(), out);
}

void PrintTo(const QStringList &list, std::ostream *out)
{
    PrintTo(list.join(QLatin1String(" | ")), out);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void makeLink(const QString &target, const QString &link)
{
    QDir().mkpath(QFileInfo(link).absolutePath());
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()), 0);
}

QStringList treeOf(const QString &root)
{
    QStringList tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        QString name = QDir(root).relativeFilePath(entry.filePath());
        if (entry.isSymLink()) {
            QByteArray target(4096, '\0');
            const ssize_t size = ::readlink(QFile::encodeName(entry.filePath()).constData(),
                                            target.data(), size_t(target.size()));
            name += " -> "_q + QFile::decodeName(target.left(int(std::max<ssize_t>(size, 0))));
        } else if (entry.isDir()) {
            name += QLatin1Char('/');
        }
        tree << name;
    }
    tree.sort();
    return tree;
}

namespace {

struct stat statOf(const QString &path)
{
    struct stat info {};
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info;
}

} // namespace

quint64 inodeOf(const QString &path)
{
    return statOf(path).st_ino;
}

unsigned ownerOf(const QString &path)
{
    return statOf(path).st_uid;
}

unsigned modeOf(const QString &path)
{
    return statOf(path).st_mode & 07777;
}

void setMode(const QString &path, unsigned mode)
{
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0) << path.toStdString();
}

void giveTree(const QString &path, unsigned id, bool recursive)
{
    QStringList paths = {path};
    if (recursive) {
        QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            paths << it.next();
    }
    for (const QString &entry : paths)
        ASSERT_EQ(::lchown(QFile::encodeName(entry).constData(), id, id), 0) << entry.toStdString();
}

bool sevenZip(const QString &folder, const QStringList &arguments)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral(SEVENZIP_PROGRAM), QStringList{"-bso0"_q, "-bsp0"_q} + arguments);
    return process.waitForFinished(60000) && process.exitCode() == 0;
}

QString Scratch::path(const QString &relative) const
{
    return relative.isEmpty() ? dir.path() : dir.filePath(relative);
}

QStringList list(std::initializer_list<const char *> names)
{
    QStringList result;
    for (const char *name : names)
        result << QString::fromUtf8(name);
    return result;
}

const QByteArray createdDeclaration = "<?xml version=\"1.0\"?>";
const QByteArray reloadedDeclaration = "<?xml version='1.0'?>";

QByteArray registry(const char *root, const QList<QByteArray> &values, const QByteArray &declaration)
{
    const QByteArray entry = QByteArray(root).chopped(1);
    QByteArray xml = declaration + "\n<" + root + ">\n";
    for (const QByteArray &value : values)
        xml += "    <" + entry + ">" + value + "</" + entry + ">\n";
    return xml + "</" + root + ">\n";
}

QByteArray withByteOrderMark(const QString &text, const char *codec)
{
    return QTextCodec::codecForName(codec)->fromUnicode(text); // Qt writes the mark
}

QByteArray descriptionXml(const QList<QPair<QString, QString>> &fields)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<driver>\n";
    for (const auto &[tag, text] : fields)
        xml += "  <" + tag.toUtf8() + ">" + text.toUtf8().replace("&", "&amp;") + "</" + tag.toUtf8() + ">\n";
    return xml + "</driver>\n";
}

namespace {

QStringList capturedMessages;

void captureMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg)
        capturedMessages << message;
}

} // namespace

DebugCapture::DebugCapture()
{
    capturedMessages.clear();
    qInstallMessageHandler(captureMessage);
}

DebugCapture::~DebugCapture()
{
    qInstallMessageHandler(nullptr);
}

const QStringList &DebugCapture::messages() const
{
    return capturedMessages;
}
