#include "protocol/LogSwitch.h"

#include "protocol/RevisionInfo.h"

#include <QDebug>

TAVIK_REVISION("LogSwitch.cpp");

bool LogSwitch::on = false;

// Straight to the message handler: going through qDebug("%s") would turn every line into UTF-8 and
// parse it back, which costs more than building the line when each message is dumped.
void LogSwitch::debug(const QString &text) {
    qt_message_output(QtDebugMsg, QMessageLogContext(), text);
}

void LogSwitch::warning(const QString &text) {
    qt_message_output(QtWarningMsg, QMessageLogContext(), text);
}
