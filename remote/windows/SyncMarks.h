// Marks each device list entry with its device's sync state: the entry's picture gets an amber dot
// while something sent waits for its acknowledgement and a red one while the device does not
// answer; in sync the picture is the plain one. The tooltip says which, and since when.
#pragma once

#include <QDateTime>
#include <QHash>
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

    // Unacknowledged for longer than this: waiting. Nothing heard for longer than this: not answering.
    static constexpr qint64 kWaitingMs = 250;
    static constexpr qint64 kSilentMs = 1000;

    SyncMarks(StackedTavikDialog *stack, LinkHost *host);

    // The state of a record at the given time; lastHeard is the latest message heard from it.
    static State stateOf(const TavikConfiguration &cfg, const QDateTime &lastHeard, const QDateTime &now);
    // The state the entry of a device shows (InSync for an unknown one).
    State shownState(qint32 serialNo) const;
    // Looks at every entry now and redraws those whose state changed.
    void refresh();

private:
    void heard(qint32 serialNo);
    void mark(QListWidgetItem *item, State state, const QDateTime &since);

    StackedTavikDialog *m_stack;
    LinkHost *m_host;
    QTimer m_timer;
    // The latest message of any kind heard from each device.
    QHash<qint32, QDateTime> m_lastHeard;
};
