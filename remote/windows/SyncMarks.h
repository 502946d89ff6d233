// Marks each device list entry with its device's sync state: the entry's picture gets an amber dot
// while something sent waits for its acknowledgement and a red one while the device does not
// answer; in sync the picture is the plain one. The tooltip says which, and since when.
#pragma once

#include <QDateTime>
#include <QObject>
#include <QTimer>

class LinkHost;
class QListWidgetItem;
class StackedTavikDialog;
class TavikConfiguration;

class SyncMarks : public QObject {
    Q_OBJECT

public:
    enum State { InSync, Waiting, NotAnswering };

    // Unacknowledged for longer than this: waiting. No answer to the version query (asked every
    // 900 ms) for longer than this: not answering. A reply late by a few hundred milliseconds is
    // jitter, a query not answered at all is not; the device is removed after 2 s without one.
    static constexpr qint64 kWaitingMs = 250;
    static constexpr qint64 kSilentMs = 1500;

    SyncMarks(StackedTavikDialog *stack, LinkHost *host);

    // The state of a record at the given time.
    static State stateOf(const TavikConfiguration &cfg, const QDateTime &now);
    // The state the entry of a device shows (InSync for an unknown one).
    State shownState(qint32 serialNo) const;
    // Looks at every entry now and redraws those whose state changed.
    void refresh();

private:
    void mark(QListWidgetItem *item, State state, const QDateTime &since);

    StackedTavikDialog *m_stack;
    LinkHost *m_host;
    QTimer m_timer;
};
