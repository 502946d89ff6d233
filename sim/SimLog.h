// The simulator's log file: one line a message ("RX ..."/"TX ...") or event ("# ..."), flushed.
#pragma once

#include "sim/SysExFrame.h"

#include <QFile>
#include <QMutex>
#include <QString>

class SimLog {
public:
    // Without a path nothing is written. Returns false when the file cannot be created.
    bool open(const QString &path);
    void received(const SysExMessage &msg) { line(QStringLiteral("RX ") + SysExFrame::toHex(msg)); }
    void sent(const SysExMessage &msg) { line(QStringLiteral("TX ") + SysExFrame::toHex(msg)); }
    void event(const QString &text) { line(QStringLiteral("# ") + text); }
    QString errorString() const { return m_file.errorString(); }

private:
    void line(const QString &text);

    QMutex m_mutex; // the MIDI library may report errors from its own thread
    QFile m_file;
};
