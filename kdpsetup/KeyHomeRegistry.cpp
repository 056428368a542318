// The key home registries: the device registry (root "devices", one
// "device" per key model) in each key drivers folder and the driver registry
// (root "drivers", one "driver" per driver) in each model folder. Entries are
// only ever added, and a file is written only when something is added.

#include "ZavInstaller.h"

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
    if (std::unique_ptr<QDomDocument> devices = loadXmlDocument(deviceRegistryPath)) {
        if (!addToRegistry(*devices, deviceRegistryFormat, description.modelid, deviceRegistryPath))
            return -1;
    } else {
        if (!createDeviceRegistry(deviceRegistryPath))
            return -1;
        // A driver registry that outlived its device registry may list other
        // drivers of this model: it is updated below, not written anew.
        if (!entryExists(driverRegistryPath))
            return createDriverRegistry(driverRegistryPath) ? 0 : -1;
    }

    std::unique_ptr<QDomDocument> drivers = loadXmlDocument(driverRegistryPath);
    if (!drivers)
        return createDriverRegistry(driverRegistryPath) ? 0 : -1;
    const bool listed =
        addToRegistry(*drivers, driverRegistryFormat, description.drivername, driverRegistryPath);
    return listed ? 0 : -1;
}
