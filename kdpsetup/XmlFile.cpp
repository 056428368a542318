#include "XmlFile.h"

#include "FileWriting.h"
#include "XmlLimits.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QTextCodec>
#include <QTextStream>
#include <QXmlStreamReader>

namespace {

// The document serialiser decides one UTF-16 unit at a time whether its
// encoding can hold a character, so a character outside the basic plane
// comes out as references to surrogates (or half raw, half referenced),
// which no XML parser accepts. The halves are first put back together.
QString withSurrogatesUnreferenced(const QString &text)
{
    // "&#xd800;" to "&#xdfff;", as the serialiser writes them. (Not with a
    // regular expression: it sees nothing in text that holds a surrogate
    // alone.)
    const QLatin1String opening("&#x");
    constexpr int referenceLength = 8;
    QString joined;
    int copied = 0;
    for (int at = text.indexOf(opening); at >= 0; at = text.indexOf(opening, at + 1)) {
        bool hex = false;
        const uint code = text.midRef(at + opening.size(), 4).toUInt(&hex, 16);
        if (!hex || code < 0xd800 || code > 0xdfff || text.midRef(at + referenceLength - 1, 1) != QLatin1String(";"))
            continue;
        joined += text.midRef(copied, at - copied);
        joined += QChar(ushort(code));
        copied = at + referenceLength;
    }
    return joined + text.midRef(copied);
}

// Then each character outside the basic plane that CODEC can't hold becomes
// one reference to the whole character, and a surrogate alone the
// replacement character. Only text and attribute values can hold what the
// encoding can't (everything else was read in that encoding), and there
// references are allowed.
QString withWholeCharacterReferences(const QString &text, const QTextCodec &codec)
{
    QString written;
    written.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!c.isSurrogate()) {
            written += c;
            continue;
        }
        const bool pair = c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        if (pair && codec.canEncode(text.mid(i, 2))) {
            written += text.midRef(i, 2);
        } else {
            const uint code = pair ? QChar::surrogateToUcs4(c, text.at(i + 1)) : uint(QChar::ReplacementCharacter);
            written += QStringLiteral("&#x%1;").arg(code, 0, 16);
        }
        i += pair ? 1 : 0;
    }
    return written;
}

// UTF-16 and UTF-32 without a named byte order need a byte-order mark.
bool needsByteOrderMark(const QTextCodec *codec)
{
    return codec->mibEnum() == 1015 || codec->mibEnum() == 1017;
}

} // namespace

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

QByteArray serialisedXmlDocument(const QDomDocument &document)
{
    QString text;
    QTextStream textStream(&text);
    document.save(textStream, 4); // chooses the encoding the declaration names
    textStream.flush();
    QTextCodec *codec = textStream.codec();
    text = withWholeCharacterReferences(withSurrogatesUnreferenced(text), *codec);

    QByteArray bytes;
    QBuffer buffer(&bytes);
    // Text mode: the stream writes the platform's line ends.
    buffer.open(QIODevice::WriteOnly | QIODevice::Text);
    QTextStream byteStream(&buffer);
    byteStream.setCodec(codec);
    byteStream.setGenerateByteOrderMark(needsByteOrderMark(codec));
    byteStream << text;
    byteStream.flush();
    return bytes;
}

bool saveXmlDocument(const QString &path, const QDomDocument &document)
{
    if (path.isEmpty() || document.isNull())
        return false;
    // Qt reads a few things it would not read back once written (a control
    // character ending a processing instruction's target, a reference to
    // an external entity): a file is never replaced by one no run can read.
    const QByteArray bytes = serialisedXmlDocument(document);
    return parseXmlDocument(bytes) && replaceFile(path, bytes);
}
