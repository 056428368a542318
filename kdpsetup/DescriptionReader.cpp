// Reading the package description (the unpacked config.xml, root "driver")
// into the installer's DriverDescription.

#include "ZavInstaller.h"

#include "DebugChannel.h"
#include "XmlFile.h"

int ZavInstaller::readDescription(const QString &configPath)
{
    if (configPath.isEmpty())
        return -2;
    DebugMessage() << "Config path is " << configPath << endLine;
    std::unique_ptr<QDomDocument> document = loadXmlDocument(configPath);
    if (!document) {
        DebugMessage() << "xml file does not exist!";
        return -2;
    }
    const QDomElement driver = document->firstChildElement(QStringLiteral("driver"));
    if (driver.isNull())
        return -1;
    for (QDomNode child = driver.firstChild(); !child.isNull(); child = child.nextSibling()) {
        if (!child.isElement())
            continue;
        const QDomElement entry = child.toElement();
        description.assignFromElement(entry);
        DebugMessage() << "Element name: " << entry.tagName() << endLine;
        DebugMessage() << "Text name:" << entry.text() << endLine;
    }
    return 0;
}
