#include "ctl/PortChoice.h"

#include "protocol/RevisionInfo.h"

TAVIK_REVISION("PortChoice.cpp");

int PortChoice::resolve(const QStringList &names, const QString &spec, QString *error) {
    bool isNumber = false;
    const int number = spec.toInt(&isNumber);
    if (isNumber) {
        if (number >= 0 && number < names.size())
            return number;
        *error = QStringLiteral("there is no port %1; the ports are:\n").arg(spec) + listing(names);
        return -1;
    }
    QList<int> matches;
    for (int i = 0; i < names.size(); ++i)
        if (names[i].contains(spec, Qt::CaseInsensitive))
            matches << i;
    if (matches.size() == 1)
        return matches.first();
    // A name that is whole decides among ports that only contain it.
    for (int i : matches)
        if (names[i].compare(spec, Qt::CaseInsensitive) == 0)
            return i;
    *error = (matches.isEmpty() ? QStringLiteral("no port name contains \"%1\"; the ports are:\n")
                                : QStringLiteral("\"%1\" is part of more than one port name:\n"))
                 .arg(spec) +
             listing(names);
    return -1;
}

QString PortChoice::listing(const QStringList &names) {
    if (names.isEmpty())
        return QStringLiteral("  (none)\n");
    QString text;
    for (int i = 0; i < names.size(); ++i)
        text += QStringLiteral("  %1: %2\n").arg(i).arg(names[i]);
    return text;
}
