#include "FakeMidiPorts.h"

#include "SysExMessages.h"
#include "protocol/MIDI.h"

#include <RtMidi.h>

namespace {
class FakeInput : public MidiInputPort {
public:
    explicit FakeInput(std::shared_ptr<FakeMidiState> s) : state(std::move(s)) {}
    unsigned int getPortCount() override {
        if (state->failPortCount)
            throw RtMidiError("fake: cannot count input ports");
        return unsigned(state->inputNames.size());
    }
    std::string getPortName(unsigned int n) override {
        if (n >= state->inputNames.size())
            throw RtMidiError("fake: no such input port");
        return state->inputNames[n];
    }
    void openPort(unsigned int n, const std::string &) override {
        if (state->failOpenInput || n >= state->inputNames.size())
            throw RtMidiError("fake: cannot open input port");
        state->openedIn = int(n);
        state->inOpen = true;
    }
    void closePort() override {
        state->inOpen = false;
        state->closeCalls++;
    }
    void ignoreTypes(bool sysex, bool, bool) override { state->sysexIgnored = sysex; }
    double getMessage(MidiMessage *message) override {
        message->clear();
        if (!state->inOpen || state->incoming.empty())
            return 0.0;
        *message = state->incoming.front();
        state->incoming.pop_front();
        return 0.001;
    }

private:
    std::shared_ptr<FakeMidiState> state;
};

class FakeOutput : public MidiOutputPort {
public:
    explicit FakeOutput(std::shared_ptr<FakeMidiState> s) : state(std::move(s)) {}
    unsigned int getPortCount() override {
        if (state->failPortCount)
            throw RtMidiError("fake: cannot count output ports");
        return unsigned(state->outputNames.size());
    }
    std::string getPortName(unsigned int n) override {
        if (n >= state->outputNames.size())
            throw RtMidiError("fake: no such output port");
        return state->outputNames[n];
    }
    void openPort(unsigned int n, const std::string &) override {
        if (state->failOpenOutput || n >= state->outputNames.size())
            throw RtMidiError("fake: cannot open output port");
        state->openedOut = int(n);
        state->outOpen = true;
    }
    void closePort() override {
        state->outOpen = false;
        state->closeCalls++;
    }
    void sendMessage(const MidiMessage *message) override {
        if (state->failSend)
            throw RtMidiError("fake: send failed");
        state->sent.push_back(*message);
    }

private:
    std::shared_ptr<FakeMidiState> state;
};
} // namespace

std::unique_ptr<MidiInputPort> FakeMidiPortFactory::createInput(const std::string &, unsigned int) {
    if (state->failCreateInput)
        throw RtMidiError("fake: no input handler");
    state->inputsCreated++;
    return std::make_unique<FakeInput>(state);
}

std::unique_ptr<MidiOutputPort> FakeMidiPortFactory::createOutput(const std::string &) {
    if (state->failCreateOutput)
        throw RtMidiError("fake: no output handler");
    state->outputsCreated++;
    return std::make_unique<FakeOutput>(state);
}

std::shared_ptr<FakeMidiState> installFakeMidi(const QStringList &inputs, const QStringList &outputs) {
    auto state = std::make_shared<FakeMidiState>();
    for (const QString &name : inputs)
        state->inputNames.push_back(name.toStdString());
    for (const QString &name : outputs)
        state->outputNames.push_back(name.toStdString());
    MIDI::setPortFactory(std::make_shared<FakeMidiPortFactory>(state));
    return state;
}

MidiMessage bytes(const char *hexText) {
    MidiMessage message;
    const QStringList parts = QString::fromLatin1(hexText).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &part : parts)
        message.push_back(static_cast<unsigned char>(part.toUInt(nullptr, 16)));
    return message;
}

QString hex(const MidiMessage &message) {
    return TestSysEx::hex(message);
}
