#include "windows/MidiMonitorModel.h"

#include "model/DeviceRegistry.h"
#include "model/MessageDecoder.h"
#include "protocol/RevisionInfo.h"
#include "sysex/TavikSysEx.h"

#include <QBrush>
#include <QColor>

TAVIK_REVISION("MidiMonitorModel.cpp");

const QString MidiMonitorModel::kMalformed = QStringLiteral("malformed");

namespace {
// A cell shows no more than this (an oversized message's bytes would fill thousands); copy and saving
// take the whole text.
constexpr qsizetype kCellChars = 400;

QString cellText(const QString &text) {
    return text.size() <= kCellChars ? text : text.left(kCellChars) + QStringLiteral("...");
}
} // namespace

MidiMonitorModel::MidiMonitorModel(MonitorLog *log, QObject *parent)
    : QAbstractTableModel(parent), m_log(log), m_next(log->firstNumber()) {}

int MidiMonitorModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int MidiMonitorModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

const MonitorLog::Entry *MidiMonitorModel::entryAt(int row) const {
    if (row < 0 || row >= int(m_rows.size()))
        return nullptr;
    return m_log->entry(m_rows[size_t(row)]);
}

QString MidiMonitorModel::lineAt(int row) const {
    const MonitorLog::Entry *entry = entryAt(row);
    return entry ? m_log->line(*entry) : QString();
}

QVariant MidiMonitorModel::data(const QModelIndex &index, int role) const {
    const MonitorLog::Entry *entry = entryAt(index.row());
    if (!entry)
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        const MonitorLog::Text &t = m_log->text(*entry);
        switch (index.column()) {
        case TimeColumn:
            return t.time;
        case DirectionColumn:
            return t.direction;
        case DeviceColumn:
            return t.device;
        case CommandColumn:
            return t.command;
        case FieldsColumn:
            return cellText(t.fields);
        default:
            return {};
        }
    }
    case Qt::ToolTipRole:
        return cellText(index.column() == FieldsColumn ? m_log->text(*entry).fields
                                                       : MessageDecoder::hex(entry->bytes));
    case Qt::ForegroundRole:
        if (!m_log->text(*entry).wellFormed)
            return QBrush(QColor(0xB0, 0x00, 0x00));
        return {};
    case Qt::BackgroundRole:
        if (!m_log->text(*entry).wellFormed)
            return QBrush(QColor(0xFF, 0xE4, 0xE1));
        return {};
    default:
        return {};
    }
}

QVariant MidiMonitorModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case TimeColumn:
        return tr("Time");
    case DirectionColumn:
        return tr("Dir");
    case DeviceColumn:
        return tr("Device");
    case CommandColumn:
        return tr("Command");
    case FieldsColumn:
        return tr("Fields");
    default:
        return {};
    }
}

bool MidiMonitorModel::accepts(const MonitorLog::Entry &entry) const {
    if (m_device >= 0 && entry.serial != m_device && entry.serial != TavikSysEx::BroadcastSerial)
        return false;
    if (m_command.isEmpty())
        return true;
    // Only a command filter needs the message decoded before it is shown.
    const MonitorLog::Text &t = m_log->text(entry);
    if (m_command == kMalformed)
        return !t.wellFormed;
    return t.wellFormed && t.command == m_command;
}

bool MidiMonitorModel::noteDevice(const MonitorLog::Entry &entry) {
    if (entry.serial < DeviceRegistry::FirstDeviceSerial)
        return false;
    auto it = m_devices.find(entry.serial);
    if (it == m_devices.end()) {
        m_devices.insert(entry.serial, entry.name);
        return true;
    }
    if (it->isEmpty() && !entry.name.isEmpty()) {
        *it = entry.name;
        return true;
    }
    return false;
}

int MidiMonitorModel::refresh() {
    const qint64 first = m_log->firstNumber();
    size_t dropped = 0;
    while (dropped < m_rows.size() && m_rows[dropped] < first)
        ++dropped;
    if (dropped) {
        beginRemoveRows({}, 0, int(dropped) - 1);
        m_rows.erase(m_rows.begin(), m_rows.begin() + qsizetype(dropped));
        endRemoveRows();
    }
    std::vector<qint64> added;
    bool newDevices = false;
    for (qint64 n = qMax(m_next, first); n < m_log->endNumber(); ++n) {
        const MonitorLog::Entry &entry = *m_log->entry(n);
        newDevices |= noteDevice(entry);
        if (accepts(entry))
            added.push_back(n);
    }
    m_next = m_log->endNumber();
    if (!added.empty()) {
        beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + added.size()) - 1);
        m_rows.insert(m_rows.end(), added.begin(), added.end());
        endInsertRows();
    }
    // Once a batch: the window lists the devices anew.
    if (newDevices)
        emit devicesChanged();
    return int(dropped);
}

void MidiMonitorModel::clear() {
    beginResetModel();
    m_log->clear();
    m_rows.clear();
    m_next = m_log->endNumber();
    endResetModel();
}

void MidiMonitorModel::rebuild() {
    beginResetModel();
    m_rows.clear();
    for (qint64 n = m_log->firstNumber(); n < m_next && n < m_log->endNumber(); ++n)
        if (accepts(*m_log->entry(n)))
            m_rows.push_back(n);
    endResetModel();
}

void MidiMonitorModel::setDeviceFilter(qint32 serialNo) {
    serialNo = serialNo < 0 ? -1 : serialNo;
    if (serialNo == m_device)
        return;
    m_device = serialNo;
    rebuild();
}

void MidiMonitorModel::setCommandFilter(const QString &command) {
    if (command == m_command)
        return;
    m_command = command;
    rebuild();
}
