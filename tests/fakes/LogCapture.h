// Records every debug and warning line while alive (installs its own message handler).
#pragma once

#include <QStringList>
#include <QtGlobal>

#include "QtPrinters.h"

class LogCapture {
public:
    LogCapture();
    ~LogCapture();

    QStringList debugs;
    QStringList warnings;
    QStringList all; // every line in order, prefixed "D: " or "W: "

    void clear();
    bool hasWarning(const QString &text) const { return warnings.contains(text); }
    bool hasDebug(const QString &text) const { return debugs.contains(text); }
    int countWarning(const QString &text) const { return int(warnings.count(text)); }

private:
    QtMessageHandler previous;
};
