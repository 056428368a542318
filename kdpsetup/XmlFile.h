#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QString>

#include <memory>

// What reading a file as XML found.
struct XmlFileContents {
    enum class State {
        missing,     // nothing at the path (a dangling link included)
        unreadable,  // there, but can't be read (a folder, no permission)
        malformed,   // read, but not well-formed or beyond the parse limits
        wellFormed,
    };
    State state = State::missing;
    QByteArray bytes;                        // what was read
    std::unique_ptr<QDomDocument> document;  // when well-formed
};

// Reads the file at PATH as bytes (so the parser decodes them by the
// declaration or byte-order mark; nothing is lost to text-mode reading)
// and parses it, without namespace processing, within the limits of
// XmlLimits.h. External entities are never fetched.
XmlFileContents readXmlFile(const QString &path);

// The document in the file at PATH, or none when it can't be read or is
// not well-formed.
std::unique_ptr<QDomDocument> loadXmlDocument(const QString &path);

// The document XML holds, or none (see readXmlFile).
std::unique_ptr<QDomDocument> parseXmlDocument(const QByteArray &xml);

// DOCUMENT as saveXmlDocument writes it: indented by 4 spaces per level, in
// the encoding its declaration names (UTF-8 without a byte-order mark when
// it names none; UTF-16 and UTF-32 with one), with the platform's line ends.
// A character the encoding can't hold is written as a reference to the
// whole character.
QByteArray serialisedXmlDocument(const QDomDocument &document);

// Writes DOCUMENT to PATH (see serialisedXmlDocument and replaceFile),
// unless what would be written does not read back as XML. Returns true only
// when the new contents are in place.
bool saveXmlDocument(const QString &path, const QDomDocument &document);
