#include "XmlLimits.h"

#include <QHash>
#include <QString>
#include <QTextCodec>
#include <QXmlStreamReader>

#include <algorithm>
#include <limits>

namespace {

constexpr qint64 unbounded = std::numeric_limits<qint64>::max() / 4;

qint64 saturatingAdd(qint64 a, qint64 b)
{
    return std::min(unbounded, a + b);
}

qint64 saturatingMultiply(qint64 a, qint64 b)
{
    return a != 0 && b > unbounded / a ? unbounded : a * b;
}

// Where the reference that starts with the '&' at AMPERSAND in TEXT ends
// (its ';'), or -1 when no name and ';' follow. Looks no further than a
// name goes, so that a run of stray '&' costs no more than its length.
int referenceEnd(const QString &text, int ampersand)
{
    for (int i = ampersand + 1; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char(';'))
            return i > ampersand + 1 ? i : -1;
        if (c.isSpace() || QStringLiteral("&<>\"'%").contains(c))
            return -1;
    }
    return -1;
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

    bool isEmpty() const { return values.isEmpty(); }

    // Characters a reference to NAME expands to; 0 for a name that is not
    // declared (predefined, a character reference or never expanded).
    qint64 sizeOf(const QString &name)
    {
        if (const auto known = sizes.constFind(name); known != sizes.cend())
            return *known;
        const auto declared = values.constFind(name);
        if (declared == values.cend())
            return 0;
        sizes.insert(name, unbounded); // seen while being measured: a cycle
        const qint64 size = sizeOfValue(*declared);
        sizes.insert(name, size);
        return size;
    }

private:
    // A reference to an entity that is not declared counts as what it is
    // written as.
    qint64 sizeOfValue(const QString &value)
    {
        qint64 size = 0;
        for (int position = 0; position < value.size();) {
            const int end = value.at(position) == QLatin1Char('&') ? referenceEnd(value, position) : -1;
            if (end >= 0) {
                const QString name = value.mid(position + 1, end - position - 1);
                if (values.contains(name)) {
                    size = saturatingAdd(size, sizeOf(name));
                    position = end + 1;
                    continue;
                }
            }
            size = saturatingAdd(size, 1);
            ++position;
        }
        return size;
    }

    QHash<QString, QString> values;
    QHash<QString, qint64> sizes;
};

// The encoding the stream reader decodes XML with: the one its declaration
// names, else what its first bytes show, else UTF-8.
QTextCodec *readerCodec(const QByteArray &xml, const QString &declaredEncoding)
{
    if (QTextCodec *declared = QTextCodec::codecForName(declaredEncoding.toLatin1()))
        return declared;
    const auto startsWith = [&xml](const char *bytes, int size) {
        return xml.startsWith(QByteArray::fromRawData(bytes, size));
    };
    int mib = 106; // UTF-8
    if (startsWith("\0\0\xfe\xff", 4) || startsWith("\xff\xfe\0\0", 4))
        mib = 1017; // UTF-32 with a byte-order mark
    else if (startsWith("<\0\0\0", 4))
        mib = 1019; // UTF-32LE
    else if (startsWith("\0\0\0<", 4))
        mib = 1018; // UTF-32BE
    else if (startsWith("\xfe\xff", 2) || startsWith("\xff\xfe", 2))
        mib = 1015; // UTF-16 with a byte-order mark
    else if (startsWith("<\0", 2))
        mib = 1014; // UTF-16LE
    else if (startsWith("\0<", 2))
        mib = 1013; // UTF-16BE
    return QTextCodec::codecForMib(mib);
}

// Walks a document's text and adds up what its entity references expand
// to, skipping what is never expanded: comments, processing instructions,
// CDATA sections and the entity declarations themselves (whose references
// EntitySizes follows).
class ReferenceTally {
public:
    ReferenceTally(const QString &document, EntitySizes &declared) : text(document), entities(declared) {}

    // The most characters the references can add. A reference in a
    // default attribute value is expanded once for every element that gets
    // it, and elements can come from entities too.
    qint64 worstCaseExpansion()
    {
        walk();
        const qint64 elementsAtMost = saturatingAdd(elements, expansion);
        return saturatingAdd(expansion, saturatingMultiply(elementsAtMost, attributeDefaults));
    }

private:
    void walk()
    {
        while (position < text.size()) {
            if (skipPast("<!--", "-->") || skipPast("<?", "?>") || skipPast("<![CDATA[", "]]>"))
                continue;
            if (atText("<!ENTITY")) {
                skipDeclaration(nullptr);
            } else if (atText("<!ATTLIST")) {
                skipDeclaration(&attributeDefaults);
            } else if (text.at(position) == QLatin1Char('&')) {
                expansion = saturatingAdd(expansion, reference());
            } else {
                if (text.at(position) == QLatin1Char('<') && position + 1 < text.size()
                    && !QStringLiteral("/!?").contains(text.at(position + 1)))
                    ++elements;
                ++position;
            }
        }
    }

    bool atText(const char *literal) const
    {
        return QStringView(text).mid(position).startsWith(QLatin1String(literal));
    }

    // Past the END that closes what starts with OPENING here.
    bool skipPast(const char *opening, const char *end)
    {
        if (!atText(opening))
            return false;
        const int found = text.indexOf(QLatin1String(end), position + int(qstrlen(opening)));
        position = found < 0 ? text.size() : found + int(qstrlen(end));
        return true;
    }

    // Past the '>' that ends a markup declaration, outside quoted values,
    // adding what the references in its quoted values expand to.
    void skipDeclaration(qint64 *referenced)
    {
        QChar quote;
        while (position < text.size()) {
            const QChar c = text.at(position);
            if (referenced && !quote.isNull() && c == QLatin1Char('&')) {
                *referenced = saturatingAdd(*referenced, reference());
                continue;
            }
            ++position;
            if (quote.isNull() && c == QLatin1Char('>'))
                return;
            if (c == QLatin1Char('"') || c == QLatin1Char('\''))
                quote = quote.isNull() ? c : (quote == c ? QChar() : quote);
        }
    }

    // Reads what starts with the '&' here and returns what it expands to.
    qint64 reference()
    {
        const int end = referenceEnd(text, position);
        const int start = position + 1;
        position = end < 0 ? start : end + 1;
        return end < 0 ? 0 : entities.sizeOf(text.mid(start, end - start));
    }

    const QString &text;
    EntitySizes &entities;
    int position = 0;
    qint64 expansion = 0;
    qint64 elements = 0;
    qint64 attributeDefaults = 0;
};

} // namespace

bool withinParseLimits(const QByteArray &xml)
{
    QXmlStreamReader reader(xml);
    reader.setNamespaceProcessing(false);
    QString declaredEncoding;
    int depth = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartDocument:
            declaredEncoding = reader.documentEncoding().toString();
            break;
        case QXmlStreamReader::DTD: {
            // Nothing has been expanded yet: the references come after.
            EntitySizes entities(reader.entityDeclarations());
            if (entities.isEmpty())
                break;
            const QString text = readerCodec(xml, declaredEncoding)->toUnicode(xml);
            if (ReferenceTally(text, entities).worstCaseExpansion() > entityExpansionBudget)
                return false;
            break;
        }
        case QXmlStreamReader::StartElement:
            if (++depth > elementNestingLimit)
                return false;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    return !reader.hasError();
}
