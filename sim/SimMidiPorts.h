// The simulator's virtual MIDI input and output ports, over ALSA or JACK through RtMidi.
#pragma once

#include "sim/SimOptions.h"
#include "sim/SysExFrame.h"

#include <QString>

#include <functional>
#include <memory>

class RtMidiIn;
class RtMidiOut;

class SimMidiPorts {
public:
    // Called on the MIDI library's own thread for every received message.
    using Receiver = std::function<void(const SysExMessage &)>;
    // Called, possibly on the MIDI library's thread, with the library's warnings and errors.
    using ErrorSink = std::function<void(const QString &)>;

    SimMidiPorts(Receiver receiver, ErrorSink errors);
    ~SimMidiPorts();

    // Opens the virtual ports "in" and "out" of client `clientName`. Api::Auto tries ALSA,
    // then JACK. On failure `error` tells what each API answered.
    bool open(SimOptions::Api api, const QString &clientName, QString *error);
    void close();
    // Name of the API in use ("alsa" or "jack").
    QString apiName() const { return m_apiName; }
    // What the APIs tried before the one in use answered (empty when the first one worked).
    QString skippedApis() const { return m_skipped; }
    // Sends one message as it is; false (and the library's text in `error`) when it fails.
    bool send(const SysExMessage &msg, QString *error);

private:
    bool openWith(int rtApi, const QString &clientName, QString *error);
    static void onMessage(double stamp, std::vector<unsigned char> *message, void *self);

    Receiver m_receiver;
    ErrorSink m_errors;
    std::unique_ptr<RtMidiIn> m_in;
    std::unique_ptr<RtMidiOut> m_out;
    QString m_apiName;
    QString m_skipped;
};
