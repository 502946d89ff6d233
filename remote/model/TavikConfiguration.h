// The program's mirror of one device: what it last reported plus the bookkeeping around it.
#pragma once

#include "model/SettingTable.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <array>

class TavikConfiguration : public QObject {
    Q_OBJECT

public:
    explicit TavikConfiguration(qint32 serialNo);
    ~TavikConfiguration() override;

    // Display names of the rate codes 0..6 and the clock-source codes 0..3; empty outside the tables.
    static QString frequencyName(int code);
    static QString syncName(int code);

    qint32 getSerialNo() const { return serialNo; }

    QDateTime getLastResponseTime() const { return lastResponseTime; }
    void setLastResponseTime(const QDateTime &time) { lastResponseTime = time; }

    const char *getDeviceName() const { return deviceName; }
    // Takes a whole 17-byte name buffer (so a shorter string cannot be read past its end);
    // returns true when the name was already the same (and nothing changed).
    bool setDeviceName(const char (&name)[17]);

    qint32 getVersion1() const { return version1; }
    void setVersion1(quint8 value) { version1 = value; }
    qint32 getVersion2() const { return version2; }
    void setVersion2(quint8 value) { version2 = value; }

    // Every value the device reports or takes, by its row of the settings table. A value above
    // the row's range is not stored (false).
    quint8 value(const SettingTable::Setting &setting) const;
    bool setValue(const SettingTable::Setting &setting, quint32 value);

    quint8 getFrequency() const { return get("rate"); }
    void setFrequency(quint8 value) { set("rate", value); }
    quint8 getSync() const { return get("sync"); }
    void setSync(quint8 value) { set("sync", value); }
    quint8 getLock() const { return get("lock"); }
    void setLock(quint8 value) { set("lock", value); }
    quint8 getStatusScreen() const { return get("status_screen"); }
    void setStatusScreen(quint8 value) { set("status_screen", value); }

    quint8 getSMUX(quint8 index) const { return value(*SettingTable::at(SettingTable::Smux, index & 3)); }
    void setSMUX(quint8 index, quint8 value);
    quint8 getRouting(quint8 index) const;
    void setRouting(quint8 index, quint8 value);

    quint8 getBncRate() const { return get("input.bnc.rate"); }
    void setBncRate(quint8 value) { set("input.bnc.rate", value); }
    quint8 getAdatARate() const { return get("input.adat_a.rate"); }
    void setAdatARate(quint8 value) { set("input.adat_a.rate", value); }
    quint8 getAdatBRate() const { return get("input.adat_b.rate"); }
    void setAdatBRate(quint8 value) { set("input.adat_b.rate", value); }
    quint8 getMadiRate() const { return get("input.madi.rate"); }
    void setMadiRate(quint8 value) { set("input.madi.rate", value); }
    quint8 getLockedRate() const { return get("locked_rate"); }
    void setLockedRate(quint8 value) { set("locked_rate", value); }
    quint8 getStatusNibble() const { return get("status_nibble"); }
    void setStatusNibble(quint8 value) { set("status_nibble", value); }
    // The signal and lock flags of the digital inputs, as one byte.
    quint8 getStatusFlags() const { return statusImage[StatusFlagsAt]; }
    void setStatusFlags(quint8 value) { statusImage[StatusFlagsAt] = value; }

    quint8 getFaderValue(int index) const { return value(*SettingTable::at(SettingTable::Faders, index & 31)); }
    void setFaderValue(quint32 index, quint32 value);

    quint8 getDeviceType() const { return deviceType; }
    void setDeviceType(quint8 value) { deviceType = value; }

    bool isFaderSendPending() const { return faderSendPending; }
    void setFaderSendPending(bool pending);
    bool isFaderResendNeeded() const { return faderResendNeeded; }
    void setFaderResendNeeded(bool needed) { faderResendNeeded = needed; }
    // When the pending fader message went out; used to recover from a lost acknowledgement.
    QDateTime getFaderSendTime() const { return faderSendTime; }

    // When the oldest SET_VALUES not yet acknowledged went out; null when every one was.
    QDateTime getValuesSendTime() const { return m_valuesSendTime; }
    void noteValuesSent(const QDateTime &time) {
        if (m_valuesSendTime.isNull())
            m_valuesSendTime = time;
    }
    void noteValuesAcknowledged() { m_valuesSendTime = QDateTime(); }

    // SET_FADERS messages sent and not acknowledged yet, and when the latest went out. A fader
    // report that arrives while one is out may hold older levels than the record.
    int getUnacknowledgedFaderSends() const { return m_unacknowledgedFaderSends; }
    QDateTime getLastFaderSendTime() const { return m_lastFaderSendTime; }
    void countFaderSend();
    void countFaderAcknowledgement(); // one fewer, never below none
    void clearUnacknowledgedFaderSends() { m_unacknowledgedFaderSends = 0; }

private:
    quint8 get(const char *key) const { return value(SettingTable::named(key)); }
    void set(const char *key, quint32 value) { setValue(SettingTable::named(key), value); }
    std::array<quint8, 32> &imageOf(SettingTable::Report report);
    const std::array<quint8, 32> &imageOf(SettingTable::Report report) const;

    // The payload of each report (from byte 10) as the record holds it.
    static constexpr int StatusFlagsAt = 3;
    std::array<quint8, 32> configImage = {};
    std::array<quint8, 32> statusImage = {};
    std::array<quint8, 32> faderImage = {};
    bool faderSendPending = false;
    bool faderResendNeeded = false;
    qint32 serialNo;
    QDateTime lastResponseTime;
    char deviceName[17] = {};
    qint32 version1 = 0;
    qint32 version2 = 0;
    quint8 deviceType = 0;
    QDateTime faderSendTime;
    QDateTime m_valuesSendTime;


    int m_unacknowledgedFaderSends = 0;
    QDateTime m_lastFaderSendTime;
};
