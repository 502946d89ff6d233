#include "app/MessageLog.h"

#include "protocol/RevisionInfo.h"

#include <QFile>
#include <cstdio>
#include <memory>

TAVIK_REVISION("MessageLog.cpp");

namespace {
const char *const LogName = "log_messages.txt";
const char *const OldLogName = "log_messages_old.txt";

std::unique_ptr<QFile> &logFile() {
    static std::unique_ptr<QFile> file;
    return file;
}

bool openLog() {
    if (QFile::exists(QString::fromLatin1(LogName))) {
        if (QFile::exists(QString::fromLatin1(OldLogName)))
            QFile::remove(QString::fromLatin1(OldLogName));
        QFile::rename(QString::fromLatin1(LogName), QString::fromLatin1(OldLogName));
    }
    auto file = std::make_unique<QFile>(QString::fromLatin1(LogName));
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        // Standard error does not lead back into the message handler.
        std::fputs("Cannot open logfile for writing!!\n", stderr);
        std::fflush(stderr);
        return false;
    }
    file->write("Successfully created logfile for writing messages!\n");
    file->flush();
    logFile() = std::move(file);
    return true;
}
} // namespace

QString MessageLog::format(QtMsgType type, const QString &text, const QDateTime &when) {
    const char *pattern = "%2: Debug : %1\n";
    switch (type) {
    case QtDebugMsg:
        break;
    case QtInfoMsg:
        pattern = "%2: Info : %1\n";
        break;
    case QtWarningMsg:
        pattern = "%2: Warning : %1\n";
        break;
    case QtCriticalMsg:
        pattern = "%2: Critical : %1\n";
        break;
    case QtFatalMsg:
        pattern = "%2: Fatal : %1\n";
        break;
    }
    // Both placeholders are filled in one pass, so a "%1" or "%2" inside the text stays as it is.
    return QString::fromLatin1(pattern).arg(text, when.toString(Qt::TextDate));
}

void MessageLog::write(QtMsgType type, const QString &text) {
    if (!logFile() && !openLog())
        return;
    logFile()->write(format(type, text, QDateTime::currentDateTime()).toLocal8Bit());
    logFile()->flush();
}

void MessageLog::close() {
    logFile().reset();
}

bool MessageLog::isOpen() {
    return logFile() != nullptr;
}
