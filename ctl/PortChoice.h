// Picks a MIDI port from what the user typed: a port number, or a case-insensitive part of a port
// name that only one port has.
#pragma once

#include <QString>
#include <QStringList>

class PortChoice {
public:
    // The port's number in names, or -1 with the reason in error (the ports are listed there).
    static int resolve(const QStringList &names, const QString &wanted, QString *error);
    // "0: name" lines, one a port, for messages and the ports command.
    static QString listing(const QStringList &names);
};
