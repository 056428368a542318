#include "TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

void PrintTo(const QByteArray &bytes, std::ostream *out)
{
    *out << '"';
    for (const char c : bytes) {
        if (c == '\n')
            *out << "\\n";
        else if (static_cast<unsigned char>(c) < 0x20)
            *out << "\\x" << std::hex << int(static_cast<unsigned char>(c)) << std::dec;
        else
            *out << c;
    }
    *out << '"';
}

void PrintTo(const QString &text, std::ostream *out)
{
    PrintTo(text.toUtf8(), out);
}

void PrintTo(const QStringList &list, std::ostream *out)
{
    *out << "{ ";
    for (const QString &item : list) {
        PrintTo(item, out);
        *out << ' ';
    }
    *out << '}';
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

namespace {

QString rawLinkTarget(const QString &link)
{
    QByteArray target(4096, '\0');
    const ssize_t size = ::readlink(QFile::encodeName(link).constData(), target.data(), target.size());
    return QFile::decodeName(target.left(size < 0 ? 0 : int(size)));
}

} // namespace

QStringList treeOf(const QString &root)
{
    QStringList tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir base(root);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        QString name = base.relativeFilePath(entry.filePath());
        if (entry.isSymLink())
            name += QLatin1String(" -> ") + rawLinkTarget(entry.filePath());
        else if (entry.isDir())
            name += QLatin1Char('/');
        tree << name;
    }
    tree.sort();
    return tree;
}

quint64 inodeOf(const QString &path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

QString Scratch::path(const QString &relative) const
{
    return relative.isEmpty() ? dir.path() : dir.filePath(relative);
}

namespace {

quint32 crc32(const QByteArray &data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : data) {
        crc ^= static_cast<quint8>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void put16(QByteArray &out, quint32 value)
{
    out.append(char(value & 0xFF)).append(char((value >> 8) & 0xFF));
}

void put32(QByteArray &out, quint32 value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

} // namespace

QByteArray zipArchive(const QList<ZipEntry> &entries)
{
    QByteArray body;
    QByteArray directory;
    for (const ZipEntry &entry : entries) {
        const QByteArray name = entry.name.toUtf8();
        const quint32 crc = crc32(entry.data);
        const quint32 offset = quint32(body.size());
        put32(body, 0x04034b50); // local header, stored, no flags
        put16(body, 10); put16(body, 0); put16(body, 0); put32(body, 0);
        put32(body, crc); put32(body, quint32(entry.data.size())); put32(body, quint32(entry.data.size()));
        put16(body, quint32(name.size())); put16(body, 0);
        body += name + entry.data;

        put32(directory, 0x02014b50);
        put16(directory, (3 << 8) | 10); // made on Unix: the mode below counts
        put16(directory, 10); put16(directory, 0); put16(directory, 0); put32(directory, 0);
        put32(directory, crc); put32(directory, quint32(entry.data.size())); put32(directory, quint32(entry.data.size()));
        put16(directory, quint32(name.size())); put16(directory, 0); put16(directory, 0);
        put16(directory, 0); put16(directory, 0);
        put32(directory, (entry.isLink ? 0120777u : 0100644u) << 16);
        put32(directory, offset);
        directory += name;
    }
    QByteArray end;
    put32(end, 0x06054b50);
    put16(end, 0); put16(end, 0);
    put16(end, quint32(entries.size())); put16(end, quint32(entries.size()));
    put32(end, quint32(directory.size())); put32(end, quint32(body.size()));
    put16(end, 0);
    return body + directory + end;
}

QByteArray descriptionXml(const QList<QPair<QString, QString>> &fields)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<driver>\n";
    for (const auto &field : fields) {
        xml += "  <" + field.first.toUtf8() + ">" + field.second.toUtf8().replace("&", "&amp;")
               + "</" + field.first.toUtf8() + ">\n";
    }
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
