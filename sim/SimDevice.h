// One simulated Tavik device: turns each received message into the messages it sends back.
#pragma once

#include "sim/LivelyInputs.h"
#include "sim/LogoReceiver.h"
#include "sim/SysExFrame.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class SimDevice {
public:
    enum Family : uint8_t { Neo = TavikSysEx::FamilyNeo, Lux = TavikSysEx::FamilyLux };
    // The command codes under the names the device's code uses; UPDATE and ACK_UPDATE are
    // named only, the simulated device neither handles the one nor sends the other.
    enum Command : uint8_t {
        SEND_VERSION = TavikSysEx::SEND_VERSION,
        SET_VALUES = TavikSysEx::SET_VALUES,
        SET_FADERS = TavikSysEx::SET_FADERS,
        PICTURE_CHUNK = TavikSysEx::PICTURE_CHUNK,
        UPDATE = TavikSysEx::UPDATE,
        SEND_INFO = TavikSysEx::SEND_INFO,
        GET_VERSION = TavikSysEx::GET_VERSION,
        ACK_VALUES = TavikSysEx::ACK_VALUES,
        ACK_FADERS = TavikSysEx::ACK_FADERS,
        ACK_PIC = TavikSysEx::ACK_PIC,
        ACK_UPDATE = TavikSysEx::ACK_UPDATE,
        ACK_INFO = TavikSysEx::ACK_INFO,
        GET_CONFIG = TavikSysEx::GET_CONFIG,
        GET_STATUS = TavikSysEx::GET_STATUS,
        GET_FADERS = TavikSysEx::GET_FADERS,
    };
    static constexpr uint8_t Version1 = 1;
    static constexpr uint8_t Version2 = 7;
    static constexpr int MaxNameLength = 16;
    static constexpr int FaderCount = 32;
    static constexpr uint8_t MaxFaderValue = 28;

    // Settings the device keeps and reports in GET_CONFIG.
    struct Config {
        uint8_t frequency = 3; // 48 kHz
        uint8_t sync = 0;      // its own clock
        uint8_t lock = 0;
        uint8_t statusScreen = 0;
        std::array<uint8_t, 4> smux{};
        std::array<uint8_t, 12> routing{};
    };

    // A logo block that arrived complete (all 64 chunks).
    struct ReceivedLogo {
        bool decoded = false; // size and pixel stream were valid
        bool crcOk = false;
        QString name;
        std::vector<uint16_t> pixels; // 220 x 176, or none for an empty logo
    };

    // What handling one message produced.
    struct Result {
        std::vector<SysExMessage> messages; // to send, in order
        QStringList events;                 // notes for the log
        std::optional<ReceivedLogo> logo;
    };

    SimDevice(uint8_t family, uint32_t serial, const QString &name);

    uint8_t family() const { return m_family; }
    uint32_t serial() const { return m_serial; }
    QString name() const { return m_name; }
    const Config &config() const { return m_config; }
    const std::array<uint8_t, FaderCount> &faders() const { return m_faders; }

    // Gives the digital inputs the device does not sync to a status of their own that changes
    // now and then (see LivelyInputs); without it they carry no signal.
    void setLivelyInputs(uint32_t seed);
    const LivelyInputs *livelyInputs() const { return m_lively ? &*m_lively : nullptr; }
    // Carries out the input changes due by nowMs (ms since the start); a log line for each.
    QStringList advanceInputs(int64_t nowMs);

    // Every dropEvery-th ACK FADERS is not sent, nor the fader report after it (0 sends all).
    void setDropAckFaders(int dropEvery) { m_dropAckFaders = dropEvery; }

    // Whether the message is meant for this device: its serial number (or 0 for the version
    // request) and family byte 1 or its own family.
    bool isAddressedTo(const SysExMessage &msg) const;
    // Handles any received bytes; what is not a valid message for this device yields nothing.
    Result handle(const SysExMessage &msg);

    SysExMessage versionReport() const;
    SysExMessage configReport() const;
    SysExMessage statusReport() const;
    SysExMessage fadersReport() const;
    SysExMessage ack(uint8_t command) const;

    // The status follows the settings: the input chosen as clock source carries a signal at
    // the set rate and, when it has a lock flag, is locked; the device is then locked at that
    // rate. Its own clock (sync 0) runs locked at the set rate. A Tavik Lux has no MADI input.
    // With lively inputs the other inputs show their own status.
    struct Status {
        uint8_t bncRate = 0, madiRate = 0, adatARate = 0, adatBRate = 0, lockedRate = 0;
        uint8_t flags = 0;
    };
    Status status() const;

private:
    void handleSetValues(const SysExMessage &msg, Result &result);
    void handleSetFaders(const SysExMessage &msg, Result &result);
    void handlePictureChunk(const SysExMessage &msg, Result &result);
    QString tag() const;
    unsigned syncedInputs() const; // bits (1 << LivelyInputs::Input) of the clock source's inputs

    uint8_t m_family;
    uint32_t m_serial;
    QString m_name;
    Config m_config;
    std::array<uint8_t, FaderCount> m_faders{};
    int m_dropAckFaders = 0;
    int m_ackFadersCount = 0;
    LogoReceiver m_logo;
    std::optional<LivelyInputs> m_lively;
};
