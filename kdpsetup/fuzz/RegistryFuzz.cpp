// The key home registry update on any registry files and any names a
// package description (UTF-16, so anything the parser passes) can give that
// pass the folder-name check, as registration hands them over.
// Promises: no crash; a run that reports success leaves both registries
// well-formed and listing the model and the driver; an entry a readable
// registry held is never lost; a registry written anew has what it held
// kept beside it.

#include "FolderName.h"
#include "FuzzSupport.h"
#include "XmlFile.h"
#include "ZavInstaller.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QFileInfo>

namespace {

struct Registry {
    Registry(const char *path, const char *list) : relative(QString::fromUtf8(path)), root(QString::fromUtf8(list)) {}

    QString relative;
    QString root;
    bool present = false;
    QByteArray bytes;
    std::unique_ptr<QDomDocument> document; // before the update
};

QStringList entries(const QDomDocument &document, const QString &root)
{
    QStringList found;
    const QDomElement list = document.firstChildElement(root);
    for (QDomNode child = list.firstChild(); !child.isNull(); child = child.nextSibling()) {
        if (child.isElement())
            found << child.toElement().text();
    }
    return found;
}

QString name(FuzzedDataProvider &input)
{
    const std::string bytes = input.ConsumeRandomLengthString(64);
    const QByteArray raw(bytes.data(), int(bytes.size()));
    return input.ConsumeBool() ? fuzz::utf16Text(raw) : QString::fromUtf8(raw);
}

// Reads MODEL and DRIVER through a package description, as an install does.
bool describe(ZavInstaller &installer, const QString &model, const QString &driver)
{
    const QString xml = QStringLiteral("<driver><modelid>") + model.toHtmlEscaped()
                        + QStringLiteral("</modelid><drivername>") + driver.toHtmlEscaped()
                        + QStringLiteral("</drivername></driver>");
    const QByteArray utf16(reinterpret_cast<const char *>(xml.utf16()), xml.size() * 2);
    return installer.readDescription(fuzz::writeScratch(QStringLiteral("Temp/config.xml"), "\xff\xfe" + utf16)) == 0;
}

void checkAfterward(const Registry &registry, int result, const QString &listed)
{
    const QByteArray now = fuzz::readScratch(registry.relative);
    const std::unique_ptr<QDomDocument> after = parseXmlDocument(now);
    if (result == 0 && (!after || !entries(*after, registry.root).contains(listed)))
        fuzz::broken("a successful update leaves the registry well-formed, listing the new entry",
                     QString::fromUtf8(now.toHex()));
    if (registry.document && registry.document->firstChildElement(registry.root).isElement()) {
        const QStringList before = entries(*registry.document, registry.root);
        const QStringList kept = after ? entries(*after, registry.root) : QStringList();
        for (const QString &entry : before) {
            if (!kept.contains(entry))
                fuzz::broken("no entry of a readable registry is lost", entry);
        }
    }
    if (registry.present && !registry.document && now != registry.bytes
        && fuzz::readScratch(registry.relative + QStringLiteral(".bad")) != registry.bytes)
        fuzz::broken("a registry written anew is kept beside it first");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::startOnce();
    fuzz::emptyScratch();
    FuzzedDataProvider input(data, size);
    ZavInstaller installer;
    const QString model = name(input);
    const QString driver = name(input);
    const DriverDescription &description = installer.driverDescription();
    if (!describe(installer, model, driver) || !isSafeFolderName(description.modelid)
        || !isSafeFolderName(description.drivername))
        return 0;

    Registry devices("keydrivers/config.xml", "devices");
    Registry drivers("keydrivers/K/config.xml", "drivers");
    for (Registry *registry : {&devices, &drivers}) {
        registry->present = input.ConsumeBool();
        const std::string bytes = input.ConsumeRandomLengthString(4096);
        registry->bytes = QByteArray(bytes.data(), int(bytes.size()));
        if (registry->present) {
            fuzz::writeScratch(registry->relative, registry->bytes);
            registry->document = parseXmlDocument(registry->bytes);
        }
    }
    fuzz::writeScratch(QStringLiteral("keydrivers/K/D/driver.dll"), "MZ");

    const int result = installer.updateKeyHomeRegistry(fuzz::scratch(devices.relative),
                                                       fuzz::scratch(drivers.relative));
    if (result != 0 && result != -1)
        fuzz::broken("the update returns 0 or -1", QString::number(result));
    checkAfterward(devices, result, description.modelid);
    checkAfterward(drivers, result, description.drivername);
    return 0;
}
