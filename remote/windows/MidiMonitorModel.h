// The rows of the MIDI monitor: the messages of a MonitorLog that pass the device and command filters,
// taken up in batches (refresh()) so that a busy link never waits for the view.
#pragma once

#include "model/MonitorLog.h"

#include <QAbstractTableModel>
#include <QMap>

#include <deque>

class MidiMonitorModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { TimeColumn, DirectionColumn, DeviceColumn, CommandColumn, FieldsColumn, ColumnCount };
    // The command filter that keeps only the malformed messages.
    static const QString kMalformed;

    explicit MidiMonitorModel(MonitorLog *log, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Drops the rows of messages the log no longer holds and adds those that came since the last call;
    // returns how many rows it dropped (from the top).
    int refresh();
    // Forgets every message (the log's too).
    void clear();

    // -1: every device. A device's rows include the broadcasts, which are meant for it too.
    void setDeviceFilter(qint32 serialNo);
    qint32 deviceFilter() const { return m_device; }
    // Empty: every command; kMalformed: the malformed messages only; else the command's name.
    void setCommandFilter(const QString &command);
    QString commandFilter() const { return m_command; }

    // The message shown in a row, or null.
    const MonitorLog::Entry *entryAt(int row) const;
    // A row as a line of `tavikctl monitor`.
    QString lineAt(int row) const;
    // The devices met so far and their names where known (serial numbers 2 and up).
    const QMap<qint32, QString> &devices() const { return m_devices; }

signals:
    // refresh() met devices for the first time, or learnt their names.
    void devicesChanged();

private:
    bool accepts(const MonitorLog::Entry &entry) const;
    // True when the device is new or its name became known.
    bool noteDevice(const MonitorLog::Entry &entry);
    void rebuild();

    MonitorLog *m_log;
    // The numbers of the messages shown, oldest first.
    std::deque<qint64> m_rows;
    // Messages of this number and later are still to be looked at by refresh().
    qint64 m_next = 0;
    qint32 m_device = -1;
    QString m_command;
    QMap<qint32, QString> m_devices;
};
