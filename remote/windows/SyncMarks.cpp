#include "windows/SyncMarks.h"

#include "model/DeviceClock.h"
#include "model/TavikConfiguration.h"
#include "protocol/LinkHost.h"
#include "protocol/RevisionInfo.h"
#include "windows/StackedTavikDialog.h"
#include "windows/TavikConfigurationDialog.h"

#include <QHash>
#include <QListWidget>
#include <QPainter>
#include <QStackedWidget>

TAVIK_REVISION("SyncMarks.cpp");

namespace {
// Item data kept beside the entry's text and picture, which stay the list's own.
constexpr int kPlainIconRole = Qt::UserRole + 40;
constexpr int kStateRole = Qt::UserRole + 41;
constexpr int kSerialRole = Qt::UserRole + 42;

bool olderThan(const QDateTime &time, const QDateTime &now, qint64 ms) {
    return time.isValid() && time.msecsTo(now) > ms;
}

QIcon withDot(const QIcon &plain, QSize size, const QColor &colour) {
    QPixmap pixmap = plain.pixmap(size);
    if (pixmap.isNull()) {
        pixmap = QPixmap(size);
        pixmap.fill(Qt::transparent);
    }
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(20, 20, 20), 1.5));
    painter.setBrush(colour);
    const qreal radius = 5.5;
    painter.drawEllipse(QPointF(pixmap.width() / pixmap.devicePixelRatio() - radius - 3, radius + 3), radius,
                        radius);
    return QIcon(pixmap);
}

QString describe(SyncMarks::State state, const QDateTime &since) {
    const QString time = since.toLocalTime().toString(QStringLiteral("HH:mm:ss"));
    switch (state) {
    case SyncMarks::Waiting:
        return QStringLiteral("Waiting for the device to acknowledge since %1").arg(time);
    case SyncMarks::NotAnswering:
        return QStringLiteral("Not answering since %1").arg(time);
    default:
        return QStringLiteral("In sync since %1").arg(time);
    }
}
} // namespace

SyncMarks::SyncMarks(StackedTavikDialog *stack, LinkHost *host)
    : QObject(stack), m_stack(stack), m_host(host) {
    connect(&m_timer, &QTimer::timeout, this, &SyncMarks::refresh);
    m_timer.start(100);
}

SyncMarks::State SyncMarks::stateOf(const TavikConfiguration &cfg, const QDateTime &now) {
    // Answering is answering the version query, which is what keeps a device in the list.
    const QDateTime latest = cfg.getLastResponseTime();
    if (!latest.isValid() || latest.msecsTo(now) > kSilentMs)
        return NotAnswering;
    if (olderThan(cfg.getValuesSendTime(), now, kWaitingMs) ||
        (cfg.isFaderSendPending() && olderThan(cfg.getFaderSendTime(), now, kWaitingMs)))
        return Waiting;
    return InSync;
}

SyncMarks::State SyncMarks::shownState(qint32 serialNo) const {
    QListWidget *list = m_stack->getDeviceList();
    for (int row = 0; row < list->count(); ++row)
        if (list->item(row)->data(kSerialRole).toInt() == serialNo)
            return State(list->item(row)->data(kStateRole).toInt());
    return InSync;
}

void SyncMarks::refresh() {
    // The entries are matched to their devices by text, as the page stack does.
    QHash<QString, qint32> serialOfLabel;
    QStackedWidget *pages = m_stack->getPageStack();
    for (int i = 0; i < pages->count(); ++i)
        if (auto *window = qobject_cast<TavikConfigurationDialog *>(pages->widget(i)))
            if (!window->getLabel().isEmpty())
                serialOfLabel.insert(window->getLabel(), window->getSerialNo());

    const QDateTime now = DeviceClock::now();
    QListWidget *list = m_stack->getDeviceList();
    for (int row = 0; row < list->count(); ++row) {
        QListWidgetItem *item = list->item(row);
        const qint32 serialNo = serialOfLabel.value(item->text(), 0);
        TavikConfiguration *cfg = serialNo && m_host ? m_host->getConfiguration(serialNo) : nullptr;
        if (!cfg)
            continue;
        const State state = stateOf(*cfg, now);
        const QVariant shown = item->data(kStateRole);
        if (!shown.isValid()) {
            item->setData(kPlainIconRole, item->icon());
            item->setData(kSerialRole, serialNo);
        } else if (shown.toInt() == state) {
            continue;
        }
        mark(item, state, now);
    }
}

void SyncMarks::mark(QListWidgetItem *item, State state, const QDateTime &since) {
    const QIcon plain = item->data(kPlainIconRole).value<QIcon>();
    const QSize size = m_stack->getDeviceList()->iconSize();
    item->setIcon(state == InSync    ? plain
                  : state == Waiting ? withDot(plain, size, QColor(255, 176, 0))
                                     : withDot(plain, size, QColor(220, 30, 30)));
    item->setData(kStateRole, int(state));
    item->setToolTip(describe(state, since));
}
