#include "FolderName.h"

#include <QRegularExpression>

namespace {

bool holdsForbiddenCharacter(const QString &name)
{
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control)
            return true;
        if (QStringLiteral("<>:\"/\\|?*").contains(c))
            return true;
    }
    return false;
}

// A surrogate that is not half of a pair: a UTF-16 description can hold
// one, but no file name on the disk and no registry entry can.
bool holdsSurrogateAlone(const QString &name)
{
    for (int i = 0; i < name.size(); ++i) {
        if (name.at(i).isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate())
            ++i;
        else if (name.at(i).isSurrogate())
            return true;
    }
    return false;
}

// Windows opens the device for these names whatever extension follows.
bool isReservedDeviceName(const QString &name)
{
    static const QRegularExpression reserved(
        QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])(\\..*)?$"),
        QRegularExpression::CaseInsensitiveOption);
    return reserved.match(name).hasMatch();
}

} // namespace

bool isSafeFolderName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    if (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        return false;
    // The registry and the files kept beside it (config.xml.bad,
    // config.xml.lock) share the folder with the model folders.
    if (name.compare(QLatin1String("config.xml"), Qt::CaseInsensitive) == 0
        || name.startsWith(QLatin1String("config.xml."), Qt::CaseInsensitive))
        return false;
    return !holdsForbiddenCharacter(name) && !holdsSurrogateAlone(name) && !isReservedDeviceName(name);
}
