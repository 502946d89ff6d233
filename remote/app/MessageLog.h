// The "--debug" log file: created on the first message, rotated once, flushed after every line.
#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

class MessageLog {
public:
    // Writes one message, opening (and rotating) the log file first when it is not open yet.
    static void write(QtMsgType type, const QString &text);
    // The line for one message: date text, type word, message, line end.
    static QString format(QtMsgType type, const QString &text, const QDateTime &when);
    // Closes the file so that the next message starts a new log (used when a test changes folders).
    static void close();
    static bool isOpen();
};
