#include "DriverDescription.h"

#include <QDomElement>

namespace {

struct Field {
    const char *tag;
    QString DriverDescription::*member;
};

const Field fields[] = {
    {"drivername", &DriverDescription::drivername},
    {"algo", &DriverDescription::algo},
    {"cspname", &DriverDescription::cspname},
    {"argument", &DriverDescription::argument},
    {"library", &DriverDescription::library},
    {"modelid", &DriverDescription::modelid},
    {"manufacturerid", &DriverDescription::manufacturerid},
    {"version", &DriverDescription::version},
    {"modifydate", &DriverDescription::modifydate},
    {"cputype", &DriverDescription::cputype},
    {"cpubits", &DriverDescription::cpubits},
    {"os", &DriverDescription::os},
    {"author", &DriverDescription::author},
};

} // namespace

void DriverDescription::clear()
{
    *this = DriverDescription();
}

bool DriverDescription::assignFromElement(const QDomElement &element)
{
    const QString tag = element.tagName();
    if (tag.isEmpty())
        return false;
    for (const Field &field : fields) {
        if (tag == QLatin1String(field.tag)) {
            this->*field.member = element.text();
            break;
        }
    }
    return true;
}
