// The package description reader on any bytes as the unpacked config.xml.
// Promises: it never crashes, it reads exactly the files the XML parser
// accepts, and what it accepts survives being written out and read again
// (registries go through the same writer).

#include "FuzzSupport.h"
#include "XmlFile.h"
#include "ZavInstaller.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::startOnce();
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    const QString path = fuzz::writeScratch(QStringLiteral("Temp/config.xml"), bytes);

    ZavInstaller installer;
    const int result = installer.readDescription(path);
    const std::unique_ptr<QDomDocument> document = parseXmlDocument(bytes);
    if ((result == -2) != !document)
        fuzz::broken("the description is refused as unreadable exactly when it does not parse");
    if (result != 0 && result != -1 && result != -2)
        fuzz::broken("the reader returns 0, -1 or -2", QString::number(result));
    if (document && !parseXmlDocument(serialisedXmlDocument(*document)))
        fuzz::broken("a document that was read can be written and read again",
                     QString::fromUtf8(serialisedXmlDocument(*document).toHex()));
    return 0;
}
