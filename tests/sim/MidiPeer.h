// The test's own end of the MIDI link: RtMidi ports on JACK connected to a running simulator.
#pragma once

#include <QMutex>
#include <QString>

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

class RtMidiIn;
class RtMidiOut;

class MidiPeer {
public:
    using Message = std::vector<uint8_t>;

    MidiPeer();
    ~MidiPeer();

    // Connects to the simulator's "out" and "in" ports of client `simClient` (JACK may add a
    // suffix such as "-01" to the second port's client) and waits until a version request is
    // answered, so nothing sent afterwards is lost to a connection still being made.
    bool connectTo(const QString &simClient, int timeoutMs, QString *error);
    void send(const Message &msg);
    // Waits until `count` messages have arrived (or timeoutMs passed) and returns them all.
    std::vector<Message> waitFor(size_t count, int timeoutMs);
    // The first received message for which `accept` holds, removed from the queue.
    template <class Predicate> bool takeFirst(Predicate accept, int timeoutMs, Message *out);
    std::vector<Message> takeAll();
    void clear();

private:
    static void onMessage(double, std::vector<unsigned char> *msg, void *self);

    std::unique_ptr<RtMidiIn> m_in;
    std::unique_ptr<RtMidiOut> m_out;
    QMutex m_mutex;
    std::deque<Message> m_received;
};

#include <QTest>

template <class Predicate> bool MidiPeer::takeFirst(Predicate accept, int timeoutMs, Message *out) {
    return QTest::qWaitFor(
        [&] {
            QMutexLocker lock(&m_mutex);
            for (auto it = m_received.begin(); it != m_received.end(); ++it)
                if (accept(*it)) {
                    if (out)
                        *out = *it;
                    m_received.erase(it);
                    return true;
                }
            return false;
        },
        timeoutMs);
}
