#pragma once

#include <QString>

class QDomElement;

// What a package's config.xml says about the driver it carries. Each field
// is named after the element that fills it. Only drivername, modelid and
// cpubits are used by the installation; the rest are kept as read.
struct DriverDescription {
    QString drivername;
    QString algo;
    QString cspname;
    QString argument;
    QString library;
    QString modelid;
    QString manufacturerid;
    QString version;
    QString modifydate;
    QString cputype;
    QString cpubits;
    QString os;
    QString author;

    // Sets every field back to null.
    void clear();

    // Sets the field named like ELEMENT's tag (exact, case-sensitive) to the
    // element's text content. An unknown tag changes nothing. Returns false
    // only for an element with an empty tag name.
    bool assignFromElement(const QDomElement &element);
};
