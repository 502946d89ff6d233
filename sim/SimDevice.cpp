// One simulated Tavik device: turns each received message into the messages it sends back.
#include "sim/SimDevice.h"

#include "sim/LogoBlockDecoder.h"

namespace {

constexpr uint8_t MaxRate = 6;
constexpr uint8_t MaxSync = 3;
enum Sync : uint8_t { Master = 0, MadiSync = 1, AdatSync = 2, BncSync = 3 };
enum Flag : uint8_t {
    MadiSignal = 1 << 0,
    AdatASignal = 1 << 1,
    AdatBSignal = 1 << 2,
    BncSignal = 1 << 3,
    MadiLock = 1 << 4,
    AdatALock = 1 << 5,
    AdatBLock = 1 << 6,
};

// Largest SMUX value per group: the 44.1 kHz groups know single and double speed, the 48 kHz
// groups also quad speed.
constexpr std::array<uint8_t, 4> MaxSmux = {1, 2, 1, 2};

// A routing value selects one of n MADI blocks or the alternative n; n is 4, 2 and 1 for the
// three rate ranges (index mod 3).
uint8_t maxRouting(size_t index) {
    static constexpr uint8_t blocks[3] = {4, 2, 1};
    return blocks[index % 3];
}

uint8_t nibbles(uint8_t low, uint8_t high) {
    return uint8_t((low & 0x0F) | ((high & 0x07) << 4));
}

QString hexByte(uint8_t b) {
    return QStringLiteral("0x") + QString::number(b, 16).toUpper().rightJustified(2, QLatin1Char('0'));
}

} // namespace

SimDevice::SimDevice(uint8_t family, uint32_t serial, const QString &name)
    : m_family(family), m_serial(serial), m_name(name.left(MaxNameLength)) {
    // Distinct starting levels, so a fader shown in the wrong place is easy to see.
    for (int i = 0; i < FaderCount; ++i)
        m_faders[size_t(i)] = uint8_t(i % (MaxFaderValue + 1));
}

QString SimDevice::tag() const {
    return QStringLiteral("%1 %2:")
        .arg(m_family == Lux ? QStringLiteral("lux") : QStringLiteral("neo"))
        .arg(m_serial);
}

bool SimDevice::isAddressedTo(const SysExMessage &msg) const {
    if (!SysExFrame::isValid(msg))
        return false;
    const uint8_t family = SysExFrame::family(msg);
    if (family != Neo && family != m_family)
        return false;
    const uint32_t serial = SysExFrame::serial(msg);
    return serial == m_serial || (serial == 0 && SysExFrame::command(msg) == SEND_VERSION);
}

SimDevice::Result SimDevice::handle(const SysExMessage &msg) {
    Result result;
    if (!isAddressedTo(msg))
        return result;

    const uint8_t command = SysExFrame::command(msg);
    auto expectSize = [&](size_t size, const char *what) {
        if (msg.size() == size)
            return true;
        result.events << QStringLiteral("%1 ignored %2 of %3 bytes (expected %4)")
                             .arg(tag(), QLatin1String(what))
                             .arg(msg.size())
                             .arg(size);
        return false;
    };

    switch (command) {
    case SEND_VERSION:
        if (expectSize(11, "SEND_VERSION"))
            result.messages.push_back(versionReport());
        break;
    case SEND_INFO:
        if (expectSize(11, "SEND_INFO")) {
            result.messages.push_back(ack(ACK_INFO));
            result.messages.push_back(configReport());
            result.messages.push_back(statusReport());
            result.messages.push_back(fadersReport());
        }
        break;
    case SET_VALUES:
        handleSetValues(msg, result);
        break;
    case SET_FADERS:
        handleSetFaders(msg, result);
        break;
    case PICTURE_CHUNK:
        handlePictureChunk(msg, result);
        break;
    default:
        result.events << QStringLiteral("%1 ignored unknown command %2").arg(tag(), hexByte(command));
        break;
    }
    return result;
}

void SimDevice::handleSetValues(const SysExMessage &msg, Result &result) {
    if (msg.size() < 12) {
        result.events << QStringLiteral("%1 ignored SET_VALUES without start index").arg(tag());
        return;
    }
    const uint8_t start = msg[TavikSysEx::PayloadIndex];
    const size_t count = TavikSysEx::setValuesCount(start);
    if (count == 0) {
        result.events
            << QStringLiteral("%1 ignored SET_VALUES with unknown start index %2").arg(tag()).arg(start);
        return;
    }
    if (msg.size() != 12 + count) {
        result.events << QStringLiteral("%1 ignored SET_VALUES start %2 of %3 bytes (expected %4)")
                             .arg(tag())
                             .arg(start)
                             .arg(msg.size())
                             .arg(12 + count);
        return;
    }

    const uint8_t *v = msg.data() + 11;
    QStringList refused;
    auto apply = [&refused](uint8_t &field, uint8_t value, uint8_t max, const QString &what) {
        if (value <= max)
            field = value;
        else
            refused << QStringLiteral("%1=%2").arg(what).arg(value);
    };
    switch (start) {
    case TavikSysEx::StartRateAndSync:
        apply(m_config.frequency, v[0], MaxRate, QStringLiteral("frequency"));
        apply(m_config.sync, v[1], MaxSync, QStringLiteral("sync"));
        break;
    case TavikSysEx::StartLock:
        apply(m_config.lock, v[0], 1, QStringLiteral("lock"));
        break;
    case TavikSysEx::StartSmux:
        for (size_t i = 0; i < 4; ++i)
            apply(m_config.smux[i], v[i], MaxSmux[i], QStringLiteral("smux[%1]").arg(i));
        break;
    case TavikSysEx::StartRouting:
        for (size_t i = 0; i < 12; ++i)
            apply(m_config.routing[i], v[i], maxRouting(i), QStringLiteral("routing[%1]").arg(i));
        break;
    }
    QString event = QStringLiteral("%1 SET_VALUES start %2 applied").arg(tag()).arg(start);
    if (!refused.isEmpty())
        event += QStringLiteral(", out of range and ignored: ") + refused.join(QLatin1Char(' '));
    result.events << event;
    result.messages.push_back(ack(ACK_VALUES));
    result.messages.push_back(configReport());
}

void SimDevice::handleSetFaders(const SysExMessage &msg, Result &result) {
    if (msg.size() != 44 || msg[TavikSysEx::PayloadIndex] != TavikSysEx::StartFaders) {
        result.events << QStringLiteral("%1 ignored SET_FADERS of %2 bytes").arg(tag()).arg(msg.size());
        return;
    }
    QStringList refused;
    for (size_t i = 0; i < FaderCount; ++i) {
        const uint8_t value = msg[11 + i];
        if (value <= MaxFaderValue)
            m_faders[i] = value;
        else
            refused << QStringLiteral("fader[%1]=%2").arg(i).arg(value);
    }
    if (!refused.isEmpty())
        result.events << QStringLiteral("%1 SET_FADERS out of range and ignored: %2")
                             .arg(tag(), refused.join(QLatin1Char(' ')));
    ++m_ackFadersCount;
    // A dropped acknowledgement takes the fader report after it along.
    if (m_dropAckFaders >= 2 && m_ackFadersCount % m_dropAckFaders == 0) {
        result.events << QStringLiteral("%1 dropped ACK FADERS #%2").arg(tag()).arg(m_ackFadersCount);
        return;
    }
    result.messages.push_back(ack(ACK_FADERS));
    result.messages.push_back(fadersReport());
}

void SimDevice::handlePictureChunk(const SysExMessage &msg, Result &result) {
    QString why;
    const LogoReceiver::Outcome outcome = m_logo.addChunk(msg, &why);
    if (outcome == LogoReceiver::Outcome::Rejected) {
        result.events << QStringLiteral("%1 ignored %2").arg(tag(), why);
        return;
    }
    if (outcome == LogoReceiver::Outcome::Incomplete) {
        result.events
            << QStringLiteral("%1 logo incomplete: %2 chunks missing").arg(tag()).arg(m_logo.missingChunks());
    } else if (outcome == LogoReceiver::Outcome::Completed) {
        ReceivedLogo logo;
        logo.decoded = LogoBlockDecoder::unpackBlock(m_logo.block(), logo.name, logo.pixels, logo.crcOk);
        // Like a real device, it goes by the name it was just given.
        if (logo.decoded && logo.crcOk)
            m_name = logo.name.left(16);
        if (!logo.decoded)
            result.events
                << QStringLiteral("%1 logo block does not decode (bad size or pixel stream)").arg(tag());
        result.logo = std::move(logo);
    }
    result.messages.push_back(ack(ACK_PIC));
}

SysExMessage SimDevice::ack(uint8_t command) const {
    return SysExFrame::bare(m_family, m_serial, command);
}

SysExMessage SimDevice::versionReport() const {
    SysExMessage msg = SysExFrame::header(m_family, m_serial, GET_VERSION);
    msg.push_back(Version1);
    msg.push_back(Version2);
    const QByteArray name = m_name.toLatin1();
    for (int i = 0; i < MaxNameLength; ++i)
        msg.push_back(i < name.size() ? uint8_t(name[i]) & 0x7F : 0x7F);
    msg.push_back(SysExFrame::End);
    return msg;
}

SysExMessage SimDevice::configReport() const {
    SysExMessage msg = SysExFrame::header(m_family, m_serial, GET_CONFIG);
    msg.push_back(nibbles(m_config.frequency, m_config.sync));
    msg.push_back(nibbles(m_config.lock, m_config.statusScreen));
    for (size_t i = 0; i < 4; i += 2)
        msg.push_back(nibbles(m_config.smux[i], m_config.smux[i + 1]));
    for (size_t i = 0; i < 12; i += 2)
        msg.push_back(nibbles(m_config.routing[i], m_config.routing[i + 1]));
    msg.push_back(SysExFrame::End);
    return msg;
}

SimDevice::Status SimDevice::status() const {
    Status s;
    const uint8_t rate = m_config.frequency;
    const bool locked = rate != 0;
    switch (m_config.sync) {
    case Master:
        s.lockedRate = rate;
        break;
    case MadiSync:
        if (m_family == Neo) {
            s.madiRate = rate;
            s.flags = uint8_t(MadiSignal | (locked ? MadiLock : 0));
            s.lockedRate = rate;
        }
        break;
    case AdatSync:
        s.adatARate = s.adatBRate = rate;
        s.flags = uint8_t(AdatASignal | AdatBSignal | (locked ? AdatALock | AdatBLock : 0));
        s.lockedRate = rate;
        break;
    case BncSync:
        s.bncRate = rate;
        s.flags = BncSignal; // word clock has no lock flag of its own
        s.lockedRate = rate;
        break;
    }
    if (!m_lively)
        return s;
    struct Place {
        uint8_t Status::*rate;
        uint8_t signal, lock;
    };
    static constexpr Place places[LivelyInputs::InputCount] = {{&Status::bncRate, BncSignal, 0},
                                                               {&Status::madiRate, MadiSignal, MadiLock},
                                                               {&Status::adatARate, AdatASignal, AdatALock},
                                                               {&Status::adatBRate, AdatBSignal, AdatBLock}};
    const unsigned synced = syncedInputs();
    for (int i = 0; i < LivelyInputs::InputCount; ++i) {
        if (synced & (1u << i) || !m_lively->hasInput(i))
            continue;
        const LivelyInputs::State &in = m_lively->state(i);
        s.*places[i].rate = in.rate;
        if (in.signal)
            s.flags |= places[i].signal;
        if (in.locked)
            s.flags |= places[i].lock;
    }
    return s;
}

void SimDevice::setLivelyInputs(uint32_t seed) {
    m_lively.emplace(seed, m_serial, m_family == Neo);
}

unsigned SimDevice::syncedInputs() const {
    switch (m_config.sync) {
    case MadiSync:
        return 1u << LivelyInputs::Madi;
    case AdatSync:
        return 1u << LivelyInputs::AdatA | 1u << LivelyInputs::AdatB;
    case BncSync:
        return 1u << LivelyInputs::Bnc;
    default:
        return 0;
    }
}

QStringList SimDevice::advanceInputs(int64_t nowMs) {
    QStringList lines;
    if (!m_lively)
        return lines;
    const unsigned all = (1u << LivelyInputs::InputCount) - 1;
    for (const QString &line : m_lively->advanceTo(nowMs, all & ~syncedInputs()))
        lines << tag() + QLatin1Char(' ') + line;
    return lines;
}

SysExMessage SimDevice::statusReport() const {
    const Status s = status();
    SysExMessage msg = SysExFrame::header(m_family, m_serial, GET_STATUS);
    msg.push_back(nibbles(s.bncRate, s.madiRate));
    msg.push_back(nibbles(s.adatARate, s.adatBRate));
    msg.push_back(nibbles(s.lockedRate, 0));
    msg.push_back(s.flags & 0x7F);
    msg.push_back(SysExFrame::End);
    return msg;
}

SysExMessage SimDevice::fadersReport() const {
    SysExMessage msg = SysExFrame::header(m_family, m_serial, GET_FADERS);
    msg.insert(msg.end(), m_faders.begin(), m_faders.end());
    msg.push_back(SysExFrame::End);
    return msg;
}
