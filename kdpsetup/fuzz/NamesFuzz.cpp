// The folder-name check, the key home normalisation and the environment
// lookup on any text.
// Promises: a name that passes stays one folder below its parent and is the
// name that lands on the disk; a normalised key home ends in one "/", has
// no backslash and normalises to itself; a value found in the environment
// is what its entry holds after "NAME=".

#include "FolderName.h"
#include "FuzzSupport.h"
#include "KeyHomeEnvironment.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QDir>
#include <QTextCodec>

namespace {

QString text(FuzzedDataProvider &input, std::size_t maxBytes)
{
    const std::string bytes = input.ConsumeRandomLengthString(maxBytes);
    return fuzz::utf16Text(QByteArray(bytes.data(), int(bytes.size())));
}

void checkFolderName(const QString &name)
{
    if (!isSafeFolderName(name))
        return;
    const QString parent = QStringLiteral("/key/keydrivers");
    const QString folder = QDir::cleanPath(parent + QLatin1Char('/') + name);
    if (folder != parent + QLatin1Char('/') + name)
        fuzz::broken("a safe name is one folder below its parent", name);
    // In UTF-8, as the disk and the registries hold it; a byte-order mark
    // at the start is a character of the name, not a header.
    const QByteArray bytes = name.toUtf8();
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    if (QTextCodec::codecForMib(106)->toUnicode(bytes.constData(), bytes.size(), &state) != name)
        fuzz::broken("a safe name is the name that lands on the disk", name);
}

void checkKeyHome(const QString &keyHome)
{
    const QString normal = normaliseKeyHome(keyHome);
    if (normal.contains(QLatin1Char('\\')) || normaliseKeyHome(normal) != normal
        || (!normal.isEmpty() && !normal.endsWith(QLatin1Char('/'))))
        fuzz::broken("a normalised key home has slashes only, ends in one and stays as it is", keyHome);
}

void checkEnvironment(const QStringList &environment, const QString &name)
{
    QString value;
    if (findEnvironmentEntry(environment, name, value) && !environment.contains(name + QLatin1Char('=') + value))
        fuzz::broken("a value found is what an entry of that name holds", name);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::startOnce();
    FuzzedDataProvider input(data, size);
    const QString name = text(input, 80);
    checkFolderName(name);
    checkKeyHome(name);
    QStringList environment;
    while (input.remaining_bytes() > 0)
        environment << text(input, 80);
    checkEnvironment(environment, name);
    return 0;
}
