#include "LogCapture.h"

namespace {
LogCapture *active = nullptr;

void capture(QtMsgType type, const QMessageLogContext &, const QString &text) {
    if (!active)
        return;
    if (type == QtDebugMsg || type == QtInfoMsg) {
        active->debugs << text;
        active->all << QStringLiteral("D: ") + text;
    } else {
        active->warnings << text;
        active->all << QStringLiteral("W: ") + text;
    }
}
} // namespace

LogCapture::LogCapture() {
    active = this;
    previous = qInstallMessageHandler(capture);
}

LogCapture::~LogCapture() {
    qInstallMessageHandler(previous);
    active = nullptr;
}

void LogCapture::clear() {
    debugs.clear();
    warnings.clear();
    all.clear();
}
