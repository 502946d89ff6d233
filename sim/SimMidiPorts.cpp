// The simulator's virtual MIDI input and output ports, over ALSA or JACK through RtMidi.
#include "sim/SimMidiPorts.h"

#include "jackwatch/JackServerWatch.h"

#include <RtMidi.h>
#include <unistd.h>

namespace {

void errorCallback(RtMidiError::Type type, const std::string &text, void *sink) {
    auto *errors = static_cast<SimMidiPorts::ErrorSink *>(sink);
    if (*errors)
        (*errors)(QStringLiteral("midi %1: %2")
                      .arg(type == RtMidiError::WARNING || type == RtMidiError::DEBUG_WARNING
                               ? QStringLiteral("warning")
                               : QStringLiteral("error"),
                           QString::fromStdString(text).trimmed()));
}

} // namespace

SimMidiPorts::SimMidiPorts(Receiver receiver, ErrorSink errors)
    : m_receiver(std::move(receiver)), m_errors(std::move(errors)) {}

SimMidiPorts::~SimMidiPorts() {
    close();
}

void SimMidiPorts::onMessage(double, std::vector<unsigned char> *message, void *self) {
    auto *ports = static_cast<SimMidiPorts *>(self);
    if (message && ports->m_receiver)
        ports->m_receiver(SysExMessage(message->begin(), message->end()));
}

bool SimMidiPorts::openWith(int rtApi, const QString &clientName, QString *error) {
    const auto api = RtMidi::Api(rtApi);
    try {
        // A large input queue limit: the simulator takes every message through its callback.
        auto in = std::make_unique<RtMidiIn>(api, clientName.toStdString(), 1000);
        in->ignoreTypes(false, false, false);
        in->setCallback(&SimMidiPorts::onMessage, this);
        in->openVirtualPort("in");
        if (api == RtMidi::UNIX_JACK) {
            // libjack drops the removal notices that reach a process while its first client is
            // still opening, so the slot of a client that left just then stays tied to that
            // client's wake-up word here; a second client that the server puts in that slot is
            // never run. Closing a client clears its own slot: the output client is opened once
            // and closed before the one that is kept.
            RtMidiOut once(api, clientName.toStdString());
        }
        auto out = std::make_unique<RtMidiOut>(api, clientName.toStdString());
        out->openVirtualPort("out");
        // From here on the library reports through the callback instead of throwing.
        in->setErrorCallback(errorCallback, &m_errors);
        out->setErrorCallback(errorCallback, &m_errors);
        m_in = std::move(in);
        m_out = std::move(out);
        m_apiName = QString::fromStdString(RtMidi::getApiName(api));
        return true;
    } catch (const RtMidiError &e) {
        *error = QStringLiteral("%1: %2").arg(QString::fromStdString(RtMidi::getApiName(api)),
                                              QString::fromStdString(e.getMessage()).trimmed());
        return false;
    }
}

bool SimMidiPorts::open(SimOptions::Api api, const QString &clientName, QString *error) {
    close();
    QStringList failures;
    std::vector<int> apis;
    // Without the ALSA sequencer's device node "auto" goes to JACK straight away, and JACK's
    // objects are made only when a server runs: the libraries' failure lines stay off the terminal.
    if (api == SimOptions::Api::Alsa || (api == SimOptions::Api::Auto && access("/dev/snd/seq", F_OK) == 0))
        apis.push_back(RtMidi::LINUX_ALSA);
    if (api == SimOptions::Api::Jack || api == SimOptions::Api::Auto)
        apis.push_back(RtMidi::UNIX_JACK);
    for (int candidate : apis) {
        QString why = QStringLiteral("jack: no JACK server running");
        if (candidate == RtMidi::UNIX_JACK && !JackServerWatch::instance().running()) {
            failures << why;
            continue;
        }
        if (openWith(candidate, clientName, &why)) {
            m_skipped = failures.join(QStringLiteral("; "));
            return true;
        }
        failures << why;
    }
    *error = failures.join(QStringLiteral("; "));
    return false;
}

void SimMidiPorts::close() {
    try {
        if (m_in) {
            m_in->cancelCallback();
            m_in->closePort();
        }
        if (m_out)
            m_out->closePort();
    } catch (const RtMidiError &) {
        // Closing at exit: nothing left to do about a failure.
    }
    m_in.reset();
    m_out.reset();
}

bool SimMidiPorts::send(const SysExMessage &msg, QString *error) {
    if (!m_out) {
        *error = QStringLiteral("output port not open");
        return false;
    }
    try {
        m_out->sendMessage(msg.data(), msg.size());
        return true;
    } catch (const RtMidiError &e) {
        *error = QString::fromStdString(e.getMessage()).trimmed();
        return false;
    }
}
