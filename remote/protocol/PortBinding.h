// Finds the port that a remembered number and name mean in the list of ports the system has now.
#pragma once

#include <QString>
#include <QStringList>

class PortBinding {
public:
    // The index to use in names. Without a name the number stands as it is. With a name: the number
    // when its port has that name, else the first port of that name, else -1 (the port is missing).
    static int resolve(const QStringList &names, int number, const QString &name);
};
