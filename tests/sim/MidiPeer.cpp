// The test's own end of the MIDI link: RtMidi ports on JACK connected to a running simulator.
#include "MidiPeer.h"

#include "SysExMessages.h"

#include <QDeadlineTimer>
#include <RtMidi.h>

MidiPeer::MidiPeer() = default;

MidiPeer::~MidiPeer() {
    if (m_in)
        m_in->cancelCallback();
}

void MidiPeer::onMessage(double, std::vector<unsigned char> *msg, void *self) {
    auto *peer = static_cast<MidiPeer *>(self);
    QMutexLocker lock(&peer->m_mutex);
    peer->m_received.emplace_back(msg->begin(), msg->end());
}

bool MidiPeer::connectTo(const QString &simClient, int timeoutMs, QString *error) {
    QDeadlineTimer deadline(timeoutMs);
    try {
        m_in = std::make_unique<RtMidiIn>(RtMidi::UNIX_JACK, "test-peer", 1000);
        m_out = std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, "test-peer");
        m_in->ignoreTypes(false, false, false);
        m_in->setCallback(&MidiPeer::onMessage, this);

        auto find = [&simClient](RtMidi &midi, const QString &port) -> int {
            for (unsigned i = 0; i < midi.getPortCount(); ++i) {
                const QString name = QString::fromStdString(midi.getPortName(i));
                const QString client = name.section(QLatin1Char(':'), 0, 0);
                if (name.endsWith(QLatin1Char(':') + port) &&
                    (client == simClient || client.startsWith(simClient + QLatin1Char('-'))))
                    return int(i);
            }
            return -1;
        };
        const int simOut = find(*m_in, QStringLiteral("out"));
        const int simIn = find(*m_out, QStringLiteral("in"));
        if (simOut < 0 || simIn < 0) {
            *error = QStringLiteral("ports of client %1 not found").arg(simClient);
            return false;
        }
        m_in->openPort(unsigned(simOut), "from-sim");
        m_out->openPort(unsigned(simIn), "to-sim");
    } catch (const RtMidiError &e) {
        *error = QString::fromStdString(e.getMessage());
        return false;
    }
    const Message version = TestSysEx::message(TavikSysEx::FamilyNeo, 0, TavikSysEx::SEND_VERSION);
    const auto answer = [](const Message &m) { return m.size() == 29 && m[9] == 0x20; };
    if (!QTest::qWaitFor(
            [&] {
                send(version);
                return takeFirst(answer, 200, nullptr);
            },
            int(deadline.remainingTime()))) {
        *error = QStringLiteral("no answer to the version request");
        return false;
    }
    QTest::qWait(50); // let the answers of the other devices arrive before clearing
    clear();
    return true;
}

void MidiPeer::send(const Message &msg) {
    m_out->sendMessage(msg.data(), msg.size());
}

std::vector<MidiPeer::Message> MidiPeer::waitFor(size_t count, int timeoutMs) {
    // What arrived by then is returned either way.
    (void)QTest::qWaitFor(
        [&] {
            QMutexLocker lock(&m_mutex);
            return m_received.size() >= count;
        },
        timeoutMs);
    QMutexLocker lock(&m_mutex);
    return std::vector<Message>(m_received.begin(), m_received.end());
}

std::vector<MidiPeer::Message> MidiPeer::takeAll() {
    QMutexLocker lock(&m_mutex);
    std::vector<Message> all(m_received.begin(), m_received.end());
    m_received.clear();
    return all;
}

void MidiPeer::clear() {
    QMutexLocker lock(&m_mutex);
    m_received.clear();
}
