// The package description reader on any bytes as the unpacked config.xml.
// Promises: it never crashes, it reads exactly the files the XML parser
// accepts, and the writer (registries go through it) never puts in place a
// file that does not read back.

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
    if (document && saveXmlDocument(fuzz::scratch(QStringLiteral("written.xml")), *document)
        && !loadXmlDocument(fuzz::scratch(QStringLiteral("written.xml"))))
        fuzz::broken("what the writer puts in place reads back",
                     QString::fromUtf8(fuzz::readScratch(QStringLiteral("written.xml")).toHex()));
    return 0;
}
