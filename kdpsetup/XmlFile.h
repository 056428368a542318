#pragma once

#include <QDomDocument>
#include <QString>

#include <memory>

// Reads and parses the XML file at PATH (text mode, no namespace
// processing). Returns no document when the file can't be opened or is not
// well-formed. Entity expansion is bounded: a document whose entities could
// grow it past a small budget counts as not well-formed, so a tiny hostile
// file can't take seconds and gigabytes. External entities are never
// fetched.
std::unique_ptr<QDomDocument> loadXmlDocument(const QString &path);

// Writes DOCUMENT to PATH, indented by 4 spaces per level, in the encoding
// its declaration names (UTF-8 without a byte-order mark when it names
// none), with the platform's line ends. The file is replaced atomically: a
// failed or interrupted write leaves the previous file as it was. Returns
// true only when the new file is in place.
bool saveXmlDocument(const QString &path, const QDomDocument &document);

// Whether the entities declared in the prolog of XML can expand the
// document by more than EXPANSIONBUDGET characters in the worst case.
bool entityExpansionExceeds(const QByteArray &xml, qint64 expansionBudget);
