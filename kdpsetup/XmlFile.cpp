#include "XmlFile.h"

#include "XmlLimits.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>
#include <QXmlStreamReader>

XmlFileContents readXmlFile(const QString &path)
{
    XmlFileContents contents;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        contents.state = QFileInfo::exists(path) ? XmlFileContents::State::unreadable
                                                 : XmlFileContents::State::missing;
        return contents;
    }
    contents.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        contents.state = XmlFileContents::State::unreadable;
        return contents;
    }
    contents.document = parseXmlDocument(contents.bytes);
    contents.state = contents.document ? XmlFileContents::State::wellFormed
                                       : XmlFileContents::State::malformed;
    return contents;
}

std::unique_ptr<QDomDocument> loadXmlDocument(const QString &path)
{
    return readXmlFile(path).document;
}

std::unique_ptr<QDomDocument> parseXmlDocument(const QByteArray &xml)
{
    if (!withinParseLimits(xml))
        return nullptr;
    QXmlStreamReader reader(xml);
    // Without this the reader keeps xmlns declarations to itself and the
    // document would lose them when it is written back.
    reader.setNamespaceProcessing(false);
    auto document = std::make_unique<QDomDocument>();
    if (!document->setContent(&reader, false))
        return nullptr;
    return document;
}

bool saveXmlDocument(const QString &path, const QDomDocument &document)
{
    if (path.isEmpty() || document.isNull())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream stream(&file);
    document.save(stream, 4);
    stream.flush();
    if (stream.status() != QTextStream::Ok) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
