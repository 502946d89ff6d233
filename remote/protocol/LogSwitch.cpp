#include "protocol/LogSwitch.h"

#include "protocol/RevisionInfo.h"

#include <QDebug>

TAVIK_REVISION("LogSwitch.cpp");

bool LogSwitch::on = false;

void LogSwitch::debug(const QString &text) {
    qDebug("%s", qUtf8Printable(text));
}

void LogSwitch::warning(const QString &text) {
    qWarning("%s", qUtf8Printable(text));
}
