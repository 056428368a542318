// The key home registries: the device registry (root "devices", one
// "device" per key model) in each key drivers folder and the driver registry
// (root "drivers", one "driver" per driver) in each model folder. Entries are
// only ever added, and a file is written only when something is added.

#include "ZavInstaller.h"

#include "XmlFile.h"

#include <QFileInfo>

namespace {

// A document holding the declaration and ROOT with one ENTRY child whose
// text is VALUE.
QDomDocument newRegistry(const QString &root, const QString &entry, const QString &value)
{
    QDomDocument document;
    document.appendChild(document.createProcessingInstruction(
        QStringLiteral("xml"), QStringLiteral("version=\"1.0\"")));
    QDomElement rootElement = document.createElement(root);
    document.appendChild(rootElement);
    QDomElement entryElement = document.createElement(entry);
    entryElement.appendChild(document.createTextNode(value));
    rootElement.appendChild(entryElement);
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

// Adds VALUE as the last ENTRY of the list in DOCUMENT and writes it back.
bool appendEntry(QDomDocument &document, QDomElement &list, const QString &entry,
                 const QString &value, const QString &path)
{
    QDomElement entryElement = document.createElement(entry);
    entryElement.appendChild(document.createTextNode(value));
    list.appendChild(entryElement);
    return saveXmlDocument(path, document);
}

} // namespace

bool ZavInstaller::createDeviceRegistry(const QString &path)
{
    return saveXmlDocument(path, newRegistry(QStringLiteral("devices"), QStringLiteral("device"),
                                             description.modelid));
}

bool ZavInstaller::createDriverRegistry(const QString &path)
{
    return saveXmlDocument(path, newRegistry(QStringLiteral("drivers"), QStringLiteral("driver"),
                                             description.drivername));
}

int ZavInstaller::updateKeyHomeRegistry(const QString &deviceRegistryPath,
                                        const QString &driverRegistryPath)
{
    const QString &modelid = description.modelid;
    const QString &drivername = description.drivername;

    if (std::unique_ptr<QDomDocument> devices = loadXmlDocument(deviceRegistryPath)) {
        QDomElement list = devices->firstChildElement(QStringLiteral("devices"));
        if (list.isNull())
            return -1;
        if (!listsEntry(list, modelid)
            && !appendEntry(*devices, list, QStringLiteral("device"), modelid, deviceRegistryPath))
            return -1;
    } else {
        if (!createDeviceRegistry(deviceRegistryPath))
            return -1;
        // A driver registry that outlived its device registry may list other
        // drivers of this model: it is updated below, not written anew.
        const QFileInfo driverRegistry(driverRegistryPath);
        if (!driverRegistry.exists() && !driverRegistry.isSymLink())
            return createDriverRegistry(driverRegistryPath) ? 0 : -1;
    }

    std::unique_ptr<QDomDocument> drivers = loadXmlDocument(driverRegistryPath);
    if (!drivers)
        return createDriverRegistry(driverRegistryPath) ? 0 : -1;
    QDomElement list = drivers->firstChildElement(QStringLiteral("drivers"));
    if (list.isNull())
        return -1;
    if (!listsEntry(list, drivername)
        && !appendEntry(*drivers, list, QStringLiteral("driver"), drivername, driverRegistryPath))
        return -1;
    return 0;
}
