#include "protocol/PortBinding.h"

#include "protocol/RevisionInfo.h"

TAVIK_REVISION("PortBinding.cpp");

int PortBinding::resolve(const QStringList &names, int number, const QString &name) {
    if (name.isEmpty())
        return number;
    if (number >= 0 && number < names.size() && names[number] == name)
        return number;
    return int(names.indexOf(name));
}
