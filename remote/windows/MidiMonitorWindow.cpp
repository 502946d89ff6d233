#include "windows/MidiMonitorWindow.h"

#include "model/DeviceRegistry.h"
#include "model/MessageDecoder.h"
#include "model/MonitorLog.h"
#include "model/TavikConfiguration.h"
#include "protocol/LinkHost.h"
#include "protocol/MIDI.h"
#include "protocol/MidiCodec.h"
#include "protocol/RevisionInfo.h"
#include "windows/MidiMonitorModel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

TAVIK_REVISION("MidiMonitorWindow.cpp");

namespace {
const QString kSysExSuffix = QStringLiteral("syx");
} // namespace

MidiMonitorWindow::MidiMonitorWindow(LinkHost *host, QWidget *parent)
    : QWidget(parent, Qt::Window), m_host(host),
      m_log(std::make_unique<MonitorLog>(host ? host->getRegistry() : nullptr)) {
    setWindowTitle(QStringLiteral("Kalvenso Remote - MIDI monitor"));
    setObjectName(QStringLiteral("MidiMonitorWindow"));

    m_model = new MidiMonitorModel(m_log.get(), this);
    connect(m_model, &MidiMonitorModel::devicesChanged, this, &MidiMonitorWindow::fillDeviceFilter);

    m_deviceBox = new QComboBox(this);
    m_deviceBox->setMinimumContentsLength(24);
    m_deviceBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    fillDeviceFilter();
    connect(m_deviceBox, &QComboBox::activated, this,
            [this](int index) { selectDevice(m_deviceBox->itemData(index).toInt()); });

    m_commandBox = new QComboBox(this);
    m_commandBox->addItem(tr("All commands"), QString());
    for (const QString &name : MessageDecoder::commandNames())
        m_commandBox->addItem(name, name);
    m_commandBox->addItem(tr("Malformed"), MidiMonitorModel::kMalformed);
    connect(m_commandBox, &QComboBox::activated, this, [this](int index) {
        m_model->setCommandFilter(m_commandBox->itemData(index).toString());
        m_view->scrollToBottom();
        updateStatus();
    });

    m_pauseButton = new QPushButton(tr("Pause"), this);
    m_pauseButton->setCheckable(true);
    connect(m_pauseButton, &QPushButton::toggled, this, &MidiMonitorWindow::setPaused);
    auto *clearButton = new QPushButton(tr("Clear"), this);
    connect(clearButton, &QPushButton::clicked, this, &MidiMonitorWindow::clear);
    auto *copyButton = new QPushButton(tr("Copy"), this);
    connect(copyButton, &QPushButton::clicked, this, &MidiMonitorWindow::copySelection);
    auto *saveButton = new QPushButton(tr("Save..."), this);
    connect(saveButton, &QPushButton::clicked, this, &MidiMonitorWindow::save);

    m_view = new QTableView(this);
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setWordWrap(false);
    m_view->setShowGrid(false);
    m_view->setAlternatingRowColors(true);
    m_view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_view->verticalHeader()->hide();
    // Fixed row heights and column widths: the view never measures the rows it does not show.
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    QHeaderView *columns = m_view->horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setStretchLastSection(true);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const int digit = m_view->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    columns->resizeSection(MidiMonitorModel::TimeColumn, digit * 13);
    columns->resizeSection(MidiMonitorModel::DirectionColumn, digit * 5);
    columns->resizeSection(MidiMonitorModel::DeviceColumn, digit * 24);
    columns->resizeSection(MidiMonitorModel::CommandColumn, digit * 23);

    auto *copyAction = new QAction(tr("Copy"), m_view);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setShortcutContext(Qt::WidgetShortcut);
    connect(copyAction, &QAction::triggered, this, &MidiMonitorWindow::copySelection);
    m_view->addAction(copyAction);

    m_status = new QLabel(this);

    auto *bar = new QHBoxLayout;
    bar->addWidget(new QLabel(tr("Device:"), this));
    bar->addWidget(m_deviceBox);
    bar->addSpacing(12);
    bar->addWidget(new QLabel(tr("Command:"), this));
    bar->addWidget(m_commandBox);
    bar->addStretch(1);
    bar->addWidget(m_pauseButton);
    bar->addWidget(clearButton);
    bar->addWidget(copyButton);
    bar->addWidget(saveButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_status);

    m_batchTimer = new QTimer(this);
    m_batchTimer->setInterval(kBatchMs);
    connect(m_batchTimer, &QTimer::timeout, this, &MidiMonitorWindow::takeUp);

    resize(1000, 560);
    updateStatus();
}

MidiMonitorWindow::~MidiMonitorWindow() {
    listen(false);
}

void MidiMonitorWindow::open(qint32 serialNo) {
    selectDevice(serialNo < 0 ? -1 : serialNo);
    show();
    raise();
    activateWindow();
}

void MidiMonitorWindow::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    // A window brought back from the task bar is shown again by the window system: it never stopped.
    if (event->spontaneous())
        return;
    listen(true);
    m_batchTimer->start();
    takeUp();
}

void MidiMonitorWindow::hideEvent(QHideEvent *event) {
    QWidget::hideEvent(event);
    // Minimised: still listening. Closed or hidden by the program: the link pays nothing further.
    if (event->spontaneous())
        return;
    listen(false);
    m_batchTimer->stop();
    takeUp();
}

void MidiMonitorWindow::listen(bool on) {
    disconnect(m_received);
    disconnect(m_sent);
    MIDI *link = on && m_host ? m_host->getMIDI() : nullptr;
    if (!link)
        return;
    auto record = [this](MonitorLog::Direction direction, const MidiMessage &message) {
        if (m_paused)
            ++m_skipped;
        else
            m_log->append(direction, message, QDateTime::currentMSecsSinceEpoch());
    };
    m_received = connect(link, &MIDI::messageReceived, this, [record](const MidiMessage &message) {
        record(MonitorLog::Direction::In, message);
    });
    m_sent = connect(link, &MIDI::messageSent, this,
                     [record](const MidiMessage &message) { record(MonitorLog::Direction::Out, message); });
}

void MidiMonitorWindow::takeUp() {
    QScrollBar *scroll = m_view->verticalScrollBar();
    const int value = scroll->value();
    const bool atEnd = value == scroll->maximum();
    const int before = m_model->rowCount();
    const int dropped = m_model->refresh();
    if (atEnd && m_model->rowCount() != before)
        m_view->scrollToBottom();
    else if (!atEnd && dropped > 0) // the rows being read stay where they are (one step a row)
        scroll->setValue(qMax(0, value - dropped));
    updateStatus();
}

void MidiMonitorWindow::setPaused(bool paused) {
    if (paused == m_paused)
        return;
    m_paused = paused;
    m_skipped = 0;
    if (m_pauseButton->isChecked() != paused)
        m_pauseButton->setChecked(paused);
    updateStatus();
}

void MidiMonitorWindow::clear() {
    m_model->clear();
    m_skipped = 0;
    updateStatus();
}

void MidiMonitorWindow::copySelection() {
    QModelIndexList rows = m_view->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QString text;
    for (const QModelIndex &index : rows)
        text += m_model->lineAt(index.row()) + QLatin1Char('\n');
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

bool MidiMonitorWindow::saveTo(const QString &path, QString *error) const {
    const bool sysEx = QFileInfo(path).suffix().compare(kSysExSuffix, Qt::CaseInsensitive) == 0;
    QByteArray bytes;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const MonitorLog::Entry *entry = m_model->entryAt(row);
        if (!entry)
            continue;
        if (sysEx)
            bytes.append(reinterpret_cast<const char *>(entry->bytes.data()), qsizetype(entry->bytes.size()));
        else
            bytes.append(m_log->line(*entry).toUtf8()).append('\n');
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() ||
        !file.flush()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

void MidiMonitorWindow::save() {
    const QString textFilter = tr("Text (*.txt)");
    const QString sysExFilter = tr("SysEx (*.syx)");
    QString filter = textFilter;
    QString path =
        QFileDialog::getSaveFileName(this, tr("Save MIDI monitor"), QStringLiteral("MIDI monitor.txt"),
                                     textFilter + QStringLiteral(";;") + sysExFilter, &filter);
    if (path.isEmpty())
        return;
    // The chosen filter decides; saveTo() goes by the file name.
    const QString suffix = QFileInfo(path).suffix();
    if (filter == sysExFilter && suffix.compare(kSysExSuffix, Qt::CaseInsensitive) != 0)
        path = (suffix == QLatin1String("txt") ? path.chopped(4) : path) + QStringLiteral(".syx");
    else if (suffix.isEmpty())
        path += QStringLiteral(".txt");
    QString error;
    if (!saveTo(path, &error))
        QMessageBox::warning(this, windowTitle(), tr("Could not write %1: %2").arg(path, error));
}

void MidiMonitorWindow::selectDevice(qint32 serialNo) {
    m_model->setDeviceFilter(serialNo);
    const int index = m_deviceBox->findData(m_model->deviceFilter());
    if (index < 0) {
        fillDeviceFilter(); // a device not met yet
    } else {
        const QSignalBlocker blocker(m_deviceBox);
        m_deviceBox->setCurrentIndex(index);
    }
    m_view->scrollToBottom();
    updateStatus();
}

void MidiMonitorWindow::fillDeviceFilter() {
    QMap<qint32, QString> devices = m_model->devices();
    const qint32 selected = m_model->deviceFilter();
    if (selected >= 0 && !devices.contains(selected))
        devices.insert(selected, QString());
    const DeviceRegistry *registry = m_host ? m_host->getRegistry() : nullptr;
    const QSignalBlocker blocker(m_deviceBox);
    m_deviceBox->clear();
    m_deviceBox->addItem(tr("All devices"), -1);
    for (auto it = devices.cbegin(); it != devices.cend(); ++it) {
        QString name = it.value();
        if (name.isEmpty() && registry)
            if (const TavikConfiguration *cfg = registry->getConfiguration(it.key()))
                name = QString::fromLatin1(cfg->getDeviceName());
        const QString code = MidiCodec::serialCode(it.key());
        m_deviceBox->addItem(name.isEmpty() ? code : code + QLatin1Char(' ') + name, it.key());
    }
    m_deviceBox->setCurrentIndex(qMax(0, m_deviceBox->findData(selected)));
}

void MidiMonitorWindow::updateStatus() {
    QString text = tr("%1 messages shown, %2 kept (at most %3)")
                       .arg(m_model->rowCount())
                       .arg(m_log->size())
                       .arg(m_log->capacity());
    if (m_paused)
        text += tr(" - paused, %1 messages passed unkept").arg(m_skipped);
    m_status->setText(text);
}
