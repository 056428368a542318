#include "XmlFile.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QTextStream>
#include <QXmlStreamReader>

#include <algorithm>
#include <limits>

namespace {

// More than any hand-written config.xml or registry needs from entities,
// small enough to parse in a blink.
constexpr qint64 entityExpansionBudget = 1 << 20;
constexpr qint64 unbounded = std::numeric_limits<qint64>::max() / 4;

qint64 saturatingAdd(qint64 a, qint64 b)
{
    return std::min(unbounded, a + b);
}

// Expanded length of each declared general entity, following the
// references inside the declared values. A cycle counts as unbounded.
class EntitySizes {
public:
    explicit EntitySizes(const QXmlStreamEntityDeclarations &declarations)
    {
        for (const QXmlStreamEntityDeclaration &declaration : declarations)
            values.insert(declaration.name().toString(), declaration.value().toString());
    }

    qint64 largest()
    {
        qint64 result = 0;
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            result = std::max(result, sizeOf(it.key()));
        return result;
    }

private:
    qint64 sizeOf(const QString &name)
    {
        if (const auto known = sizes.constFind(name); known != sizes.cend())
            return *known;
        const auto declared = values.constFind(name);
        if (declared == values.cend())
            return 1; // predefined, a character reference or never expanded
        sizes.insert(name, unbounded); // seen while being measured: a cycle
        const qint64 size = sizeOfValue(*declared);
        sizes.insert(name, size);
        return size;
    }

    qint64 sizeOfValue(const QString &value)
    {
        qint64 size = 0;
        int position = 0;
        while (position < value.size()) {
            const int reference = value.indexOf(QLatin1Char('&'), position);
            const int end = reference < 0 ? -1 : value.indexOf(QLatin1Char(';'), reference);
            if (end < 0)
                return saturatingAdd(size, value.size() - position);
            size = saturatingAdd(size, reference - position);
            size = saturatingAdd(size, sizeOf(value.mid(reference + 1, end - reference - 1)));
            position = end + 1;
        }
        return size;
    }

    QHash<QString, QString> values;
    QHash<QString, qint64> sizes;
};

bool parseInto(QDomDocument &document, const QByteArray &xml)
{
    QXmlStreamReader reader(xml);
    // Without this the reader keeps xmlns declarations to itself and the
    // document would lose them when it is written back.
    reader.setNamespaceProcessing(false);
    return document.setContent(&reader, false);
}

} // namespace

bool entityExpansionExceeds(const QByteArray &xml, qint64 expansionBudget)
{
    QXmlStreamReader reader(xml);
    reader.setNamespaceProcessing(false);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement())
            return false; // the prolog declared no entities
        if (reader.tokenType() != QXmlStreamReader::DTD)
            continue;
        const qint64 largest = EntitySizes(reader.entityDeclarations()).largest();
        if (largest == 0)
            return false;
        // Every reference starts with "&" (also in the multi-byte encodings
        // of the ASCII family; in UTF-16 stray 0x26 bytes only overcount).
        // The document's own characters are not expansion: a reference to a
        // short entity never counts against the budget.
        const qint64 references = xml.count('&');
        return largest > expansionBudget
               || references * largest > expansionBudget + xml.size();
    }
    return false;
}

std::unique_ptr<QDomDocument> loadXmlDocument(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return nullptr;
    const QByteArray xml = file.readAll();
    file.close();
    if (entityExpansionExceeds(xml, entityExpansionBudget))
        return nullptr;
    auto document = std::make_unique<QDomDocument>();
    if (!parseInto(*document, xml))
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
