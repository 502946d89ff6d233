#include "windows/DeviceActions.h"

#include "model/SnapshotFile.h"
#include "model/TavikConfiguration.h"
#include "protocol/DeviceControl.h"
#include "protocol/LinkHost.h"
#include "protocol/MIDI.h"
#include "protocol/MidiCodec.h"
#include "protocol/RevisionInfo.h"
#include "sysex/TavikSysEx.h"
#include "windows/CompareDialog.h"
#include "windows/MainDialog.h"
#include "windows/MidiMonitorWindow.h"
#include "windows/StackedTavikDialog.h"
#include "windows/SyncMarks.h"
#include "windows/TavikConfigurationDialog.h"

#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QShortcut>
#include <QStackedWidget>
#include <QTimer>

TAVIK_REVISION("DeviceActions.cpp");

const char *const DeviceActions::kFolderKey = "SnapshotFolder";

namespace {
const QString kSnapshotFilter = QStringLiteral("Tavik snapshots (*.json)");
const QString kSysExFilter = QStringLiteral("SysEx files (*.syx)");

// The device a page window shows; 0 for the placeholder and for anything else.
qint32 serialOfWindow(QWidget *widget) {
    auto *window = qobject_cast<TavikConfigurationDialog *>(widget);
    return window && !window->getLabel().isEmpty() ? window->getSerialNo() : 0;
}
} // namespace

DeviceActions::DeviceActions(MainDialog *window, LinkHost *host)
    : QObject(window), m_window(window), m_host(host) {
    StackedTavikDialog *stack = window->getStackedDialog();
    m_syncMarks = new SyncMarks(stack, host);

    const std::pair<QKeySequence, std::function<void(qint32)>> keys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_S), [this](qint32 s) { saveSnapshot(s); }},
        {QKeySequence(Qt::CTRL | Qt::Key_O), [this](qint32 s) { loadSnapshot(s); }},
        {QKeySequence(Qt::CTRL | Qt::Key_D), [this](qint32 s) { compareWithSnapshot(s); }},
        {QKeySequence(Qt::CTRL | Qt::Key_M), [this](qint32 s) { openMonitor(s); }},
    };
    for (const auto &[sequence, action] : keys)
        connect(new QShortcut(sequence, window), &QShortcut::activated, this,
                [this, action = action] { action(shownDevice()); });

    QListWidget *list = stack->getDeviceList();
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QListWidget::customContextMenuRequested, this, &DeviceActions::showContextMenu);

    if (MIDI *link = host ? host->getMIDI() : nullptr) {
        m_control = new DeviceControl(link, host->getRegistry(), this);
        connect(m_control, &DeviceControl::finished, this,
                [this](int, const DeviceControl::Outcome &outcome) { reportLoad(outcome); });
    }
}

DeviceActions::~DeviceActions() {
    delete m_monitor;
}

MidiMonitorWindow *DeviceActions::monitor() const {
    return m_monitor;
}

qint32 DeviceActions::shownDevice() const {
    return serialOfWindow(m_window->getStackedDialog()->getPageStack()->currentWidget());
}

qint32 DeviceActions::deviceOfRow(int row) const {
    StackedTavikDialog *stack = m_window->getStackedDialog();
    QListWidgetItem *item = stack->getDeviceList()->item(row);
    QStackedWidget *pages = stack->getPageStack();
    for (int i = 0; item && i < pages->count(); ++i)
        if (auto *window = qobject_cast<TavikConfigurationDialog *>(pages->widget(i)))
            if (window->getLabel() == item->text())
                return serialOfWindow(window);
    return 0;
}

QString DeviceActions::deviceText(qint32 serialNo) const {
    const TavikConfiguration *cfg = m_host ? m_host->getConfiguration(serialNo) : nullptr;
    const QString name = cfg ? QString::fromLatin1(cfg->getDeviceName()).trimmed() : QString();
    const QString code = MidiCodec::serialCode(serialNo);
    return name.isEmpty() ? code : QStringLiteral("%1 (%2)").arg(name, code);
}

int DeviceActions::runModal(QDialog &dialog) {
    const int result = dialog.exec();
    // Keys go to the main window again, also where no window manager hands the focus back.
    m_window->activateWindow();
    return result;
}

void DeviceActions::warn(const QString &title, const QString &text) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, m_window);
    runModal(box);
}

QString DeviceActions::askForFile(QFileDialog::AcceptMode mode, const QString &title, const QString &name) {
    QSettings *settings = m_host ? m_host->getSettings() : nullptr;
    const QString folder =
        settings ? settings->value(QLatin1String(kFolderKey), QDir::homePath()).toString() : QDir::homePath();
    QFileDialog dialog(m_window, title, folder);
    dialog.setObjectName(QStringLiteral("snapshotFileDialog"));
    // The same dialog on every desktop, and one that tests can answer.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    if (mode == QFileDialog::AcceptSave) {
        dialog.setNameFilters({kSnapshotFilter, kSysExFilter});
        dialog.setDefaultSuffix(QStringLiteral("json"));
        connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &filter) {
            dialog.setDefaultSuffix(filter == kSysExFilter ? QStringLiteral("syx") : QStringLiteral("json"));
        });
        dialog.selectFile(name);
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters({kSnapshotFilter, kSysExFilter, QStringLiteral("All files (*)")});
    }
    if (runModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString path = dialog.selectedFiles().constFirst();
    if (settings)
        settings->setValue(QLatin1String(kFolderKey), QFileInfo(path).absolutePath());
    return path;
}

std::optional<DeviceSnapshot> DeviceActions::openSnapshot(const QString &title, const QString &notOne,
                                                          QString *path) {
    *path = askForFile(QFileDialog::AcceptOpen, title, QString());
    if (path->isEmpty())
        return std::nullopt;
    QStringList errors;
    std::optional<DeviceSnapshot> read = SnapshotFile::read(*path, &errors);
    if (!read)
        warn(title, QFileInfo(*path).fileName() + QLatin1Char(' ') + notOne + QStringLiteral("\n  ") +
                        errors.join(QStringLiteral("\n  ")));
    return read;
}

void DeviceActions::saveSnapshot(qint32 serialNo) {
    TavikConfiguration *cfg = serialNo && m_host ? m_host->getConfiguration(serialNo) : nullptr;
    if (!cfg)
        return;
    QStringList errors;
    std::optional<DeviceSnapshot> snapshot =
        DeviceSnapshot::fromConfiguration(*cfg, QDateTime::currentDateTimeUtc(), &errors);
    if (!snapshot) {
        warn(QStringLiteral("Save snapshot"),
             QStringLiteral("%1 has not reported values a snapshot can hold:\n  ").arg(deviceText(serialNo)) +
                 errors.join(QStringLiteral("\n  ")));
        return;
    }
    // "Studio 141-202-380.json"; a slash in a device name would make it a folder.
    QString name = QString::fromLatin1(cfg->getDeviceName()).trimmed();
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString code = MidiCodec::serialCode(serialNo);
    const QString path =
        askForFile(QFileDialog::AcceptSave, QStringLiteral("Save snapshot"),
                   (name.isEmpty() ? code : name + QLatin1Char(' ') + code) + QStringLiteral(".json"));
    QString error;
    if (!path.isEmpty() && !SnapshotFile::write(*snapshot, path, &error))
        warn(QStringLiteral("Save snapshot"), error);
}

void DeviceActions::loadSnapshot(qint32 serialNo) {
    TavikConfiguration *cfg = serialNo && m_host ? m_host->getConfiguration(serialNo) : nullptr;
    MIDI *link = m_host ? m_host->getMIDI() : nullptr;
    if (!cfg || !link)
        return;
    const QString title = QStringLiteral("Load snapshot");
    QString path;
    const std::optional<DeviceSnapshot> read =
        openSnapshot(title, QStringLiteral("is not a snapshot; nothing was sent."), &path);
    if (!read)
        return;
    // The device may be gone, or the link closed, while the dialog was open.
    cfg = m_host->getConfiguration(serialNo);
    if (!cfg || !link->isConnected()) {
        warn(title, QStringLiteral("%1 is not connected; nothing was sent.").arg(deviceText(serialNo)));
        return;
    }
    QStringList skipped;
    const DeviceSnapshot target = read->adaptedTo(*cfg, &skipped);
    const DeviceSnapshot::Groups groups = target.differingGroups(DeviceSnapshot::valuesOf(*cfg));
    // The pages draw the loaded values as the registry announces them.
    if (groups && m_control)
        m_control->apply(serialNo, target, groups, DeviceControl::Check::NextReports, kLoadCheckMs);
    if (!skipped.isEmpty()) {
        QMessageBox box(QMessageBox::Information, title,
                        QStringLiteral("Not carried over to %1:\n  ").arg(deviceText(serialNo)) +
                            skipped.join(QStringLiteral("\n  ")),
                        QMessageBox::Ok, m_window);
        runModal(box);
    }
}

void DeviceActions::reportLoad(const DeviceControl::Outcome &outcome) {
    const QString title = QStringLiteral("Load snapshot");
    const qint32 serialNo = outcome.serial;
    QStringList problems;
    switch (outcome.result) {
    case DeviceControl::Outcome::Confirmed:
        return;
    case DeviceControl::Outcome::Gone:
        warn(title,
             QStringLiteral("%1 went away before it confirmed the snapshot.").arg(deviceText(serialNo)));
        return;
    case DeviceControl::Outcome::NotAcknowledged:
        problems << outcome.acknowledgementText();
        break;
    case DeviceControl::Outcome::NoReport:
        problems << QStringLiteral("sent no report of its values after acknowledging them");
        break;
    case DeviceControl::Outcome::Differs:
        break;
    }
    for (const DeviceSnapshot::Difference &d : outcome.differences)
        problems << QStringLiteral("reports %1 (the snapshot: %2)")
                        .arg(d.field + QStringLiteral(" ") + d.from, d.to);
    warn(title, QStringLiteral("%1 did not confirm the snapshot within %2 s:\n  ")
                        .arg(deviceText(serialNo))
                        .arg(kLoadCheckMs / 1000) +
                    problems.join(QStringLiteral("\n  ")));
}

void DeviceActions::compareWithSnapshot(qint32 serialNo) {
    if (!serialNo || !m_host || !m_host->getConfiguration(serialNo))
        return;
    QString path;
    const std::optional<DeviceSnapshot> read =
        openSnapshot(QStringLiteral("Compare with snapshot"), QStringLiteral("is not a snapshot."), &path);
    if (!read)
        return;
    const TavikConfiguration *cfg = m_host->getConfiguration(serialNo);
    if (!cfg)
        return;
    QStringList skipped;
    const DeviceSnapshot file = read->adaptedTo(*cfg, &skipped);
    CompareDialog dialog(deviceText(serialNo), QFileInfo(path).fileName(),
                         file.differences(DeviceSnapshot::valuesOf(*cfg)), skipped, m_window);
    runModal(dialog);
}

void DeviceActions::openMonitor(qint32 serialNo) {
    // A child of the main window, so that the main window's modal run leaves it usable.
    if (!m_monitor)
        m_monitor = new MidiMonitorWindow(m_host, m_window);
    m_monitor->open(serialNo ? serialNo : -1);
}

QMenu *DeviceActions::menuFor(qint32 serialNo) {
    // The old menu may be the one whose click or close brought us here: it goes when its event is done.
    if (m_menu) {
        m_menu->setObjectName(QString());
        m_menu->deleteLater();
    }
    m_menu = new QMenu(m_window->getStackedDialog()->getDeviceList());
    m_menu->setObjectName(QStringLiteral("deviceMenu"));
    const std::pair<QString, std::function<void()>> entries[] = {
        {QStringLiteral("Save snapshot\u2026"), [this, serialNo] { saveSnapshot(serialNo); }},
        {QStringLiteral("Load snapshot\u2026"), [this, serialNo] { loadSnapshot(serialNo); }},
        {QStringLiteral("Compare with snapshot\u2026"), [this, serialNo] { compareWithSnapshot(serialNo); }},
        {QStringLiteral("MIDI monitor"), [this, serialNo] { openMonitor(serialNo); }},
    };
    const QKeySequence keys[] = {QKeySequence(Qt::CTRL | Qt::Key_S), QKeySequence(Qt::CTRL | Qt::Key_O),
                                 QKeySequence(Qt::CTRL | Qt::Key_D), QKeySequence(Qt::CTRL | Qt::Key_M)};
    for (int i = 0; i < 4; ++i) {
        QAction *action = m_menu->addAction(entries[i].first);
        action->setShortcut(keys[i]);
        // The placeholder has no device to save, load or compare; the monitor shows all of them.
        action->setEnabled(serialNo != 0 || i == 3);
        // Queued, so that the menu has closed before a dialog opens.
        connect(action, &QAction::triggered, this,
                [run = entries[i].second, this] { QTimer::singleShot(0, this, run); });
    }
    return m_menu;
}

void DeviceActions::showContextMenu(const QPoint &pos) {
    QListWidget *list = m_window->getStackedDialog()->getDeviceList();
    QListWidgetItem *item = list->itemAt(pos);
    if (!item)
        return;
    menuFor(deviceOfRow(list->row(item)))->popup(list->viewport()->mapToGlobal(pos));
}
