// The key home registries: the device registry (root "devices", one
// "device" per key model) in each key drivers folder and the driver registry
// (root "drivers", one "driver" per driver) in each model folder. Entries are
// only ever added, and a file is written only when something is added. A
// file that can't be used is written anew, but what it held is kept beside
// it first.

#include "ZavInstaller.h"

#include "FileWriting.h"
#include "Folders.h"
#include "XmlFile.h"

namespace {

// Both registries are a top-level LIST element holding one ENTRY element per
// name listed.
struct RegistryFormat {
    QString list;
    QString entry;
};
const RegistryFormat deviceRegistryFormat{QStringLiteral("devices"), QStringLiteral("device")};
const RegistryFormat driverRegistryFormat{QStringLiteral("drivers"), QStringLiteral("driver")};

// Adds VALUE as the last entry of LIST.
void appendEntry(QDomDocument &document, QDomElement &list, const RegistryFormat &format,
                 const QString &value)
{
    QDomElement entry = document.createElement(format.entry);
    entry.appendChild(document.createTextNode(value));
    list.appendChild(entry);
}

// A document holding the declaration and a list with VALUE as its one entry.
QDomDocument newRegistry(const RegistryFormat &format, const QString &value)
{
    QDomDocument document;
    document.appendChild(document.createProcessingInstruction(
        QStringLiteral("xml"), QStringLiteral("version=\"1.0\"")));
    QDomElement list = document.createElement(format.list);
    document.appendChild(list);
    appendEntry(document, list, format, value);
    return document;
}

// Whether an element child of LIST, whatever its tag, holds exactly VALUE.
bool listsEntry(const QDomElement &list, const QString &value)
{
    for (QDomNode child = list.firstChild(); !child.isNull(); child = child.nextSibling()) {
        if (child.isElement() && child.toElement().text() == value)
            return true;
    }
    return false;
}

// Makes the registry DOCUMENT, loaded from PATH, list VALUE: when it is not
// listed yet it is appended and the file written back. False when the
// document has no list element or the write fails.
bool addToRegistry(QDomDocument &document, const RegistryFormat &format, const QString &value,
                   const QString &path)
{
    QDomElement list = document.firstChildElement(format.list);
    if (list.isNull())
        return false;
    if (listsEntry(list, value))
        return true;
    appendEntry(document, list, format, value);
    return saveXmlDocument(path, document);
}

// Makes way for the registry at PATH to be written anew: what it held, read
// as CONTENTS, is kept beside it. False when that fails.
bool setAside(const QString &path, const XmlFileContents &contents)
{
    switch (contents.state) {
    case XmlFileContents::State::missing:
        return true;
    case XmlFileContents::State::unreadable:
        return !keepAside(path, false, QByteArray()).isNull();
    case XmlFileContents::State::malformed:
        return !keepAside(path, true, contents.bytes).isNull();
    case XmlFileContents::State::wellFormed:
        break;
    }
    return false;
}

} // namespace

bool ZavInstaller::createDeviceRegistry(const QString &path)
{
    return saveXmlDocument(path, newRegistry(deviceRegistryFormat, description.modelid));
}

bool ZavInstaller::createDriverRegistry(const QString &path)
{
    return saveXmlDocument(path, newRegistry(driverRegistryFormat, description.drivername));
}

int ZavInstaller::updateKeyHomeRegistry(const QString &deviceRegistryPath,
                                        const QString &driverRegistryPath)
{
    // Runs from other folders may install into this key home at the same
    // time: they take turns, or one would write back a file without what
    // the other had just added.
    TurnLock registryLock(deviceRegistryPath + QLatin1String(".lock"));
    if (!takeTurn(registryLock))
        return -1;

    const XmlFileContents devices = readXmlFile(deviceRegistryPath);
    if (devices.document) {
        if (!addToRegistry(*devices.document, deviceRegistryFormat, description.modelid, deviceRegistryPath))
            return -1;
    } else {
        if (!setAside(deviceRegistryPath, devices) || !createDeviceRegistry(deviceRegistryPath))
            return -1;
        // A driver registry that outlived its device registry may list other
        // drivers of this model: it is updated below, not written anew.
        if (!entryExists(driverRegistryPath))
            return createDriverRegistry(driverRegistryPath) ? 0 : -1;
    }

    const XmlFileContents drivers = readXmlFile(driverRegistryPath);
    if (!drivers.document)
        return setAside(driverRegistryPath, drivers) && createDriverRegistry(driverRegistryPath) ? 0 : -1;
    const bool listed =
        addToRegistry(*drivers.document, driverRegistryFormat, description.drivername, driverRegistryPath);
    return listed ? 0 : -1;
}
