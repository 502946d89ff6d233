// The simulator's log file: one line a message ("RX ..."/"TX ...") or event ("# ..."), flushed.
#include "sim/SimLog.h"

#include <QMutexLocker>

bool SimLog::open(const QString &path) {
    QMutexLocker lock(&m_mutex);
    if (path.isEmpty())
        return true;
    m_file.setFileName(path);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);
}

void SimLog::line(const QString &text) {
    QMutexLocker lock(&m_mutex);
    if (!m_file.isOpen())
        return;
    QByteArray bytes = text.toUtf8();
    // One event is one line, whatever text it carries.
    bytes.replace('\n', ' ');
    bytes.append('\n');
    m_file.write(bytes);
    m_file.flush();
}
