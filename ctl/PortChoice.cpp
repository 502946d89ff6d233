#include "ctl/PortChoice.h"

#include "protocol/RevisionInfo.h"

TAVIK_REVISION("PortChoice.cpp");

int PortChoice::resolve(const QStringList &names, const QString &wanted, QString *error) {
    bool isNumber = false;
    const int number = wanted.toInt(&isNumber);
    if (isNumber) {
        if (number >= 0 && number < names.size())
            return number;
        *error = QStringLiteral("there is no port %1; the ports are:\n").arg(wanted) + listing(names);
        return -1;
    }
    QList<int> matches;
    for (int i = 0; i < names.size(); ++i)
        if (names[i].contains(wanted, Qt::CaseInsensitive))
            matches << i;
    if (matches.size() == 1)
        return matches.first();
    // A name that is whole decides among ports that only contain it.
    for (int i : matches)
        if (names[i].compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    *error = (matches.isEmpty() ? QStringLiteral("no port name contains \"%1\"; the ports are:\n")
                                : QStringLiteral("\"%1\" is part of more than one port name:\n"))
                 .arg(wanted) +
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
