#include "FakeMidiPorts.h"

#include "SysExMessages.h"
#include "protocol/MIDI.h"

#include <RtMidi.h>

namespace {
// The members of the state that belong to one direction, and the word for it in error texts.
struct Side {
    const char *word;
    std::vector<std::string> FakeMidiState::*names;
    bool FakeMidiState::*failOpen;
    int FakeMidiState::*opened;
    bool FakeMidiState::*open;
};
const Side InputSide = {"input", &FakeMidiState::inputNames, &FakeMidiState::failOpenInput,
                        &FakeMidiState::openedIn, &FakeMidiState::inOpen};
const Side OutputSide = {"output", &FakeMidiState::outputNames, &FakeMidiState::failOpenOutput,
                         &FakeMidiState::openedOut, &FakeMidiState::outOpen};

// The port list, opening and closing, alike for both directions; Port is MidiInputPort or MidiOutputPort.
template <class Port> class FakePort : public Port {
public:
    FakePort(std::shared_ptr<FakeMidiState> s, const Side &which) : state(std::move(s)), side(which) {}
    unsigned int getPortCount() override {
        if (state->failPortCount)
            throw RtMidiError(std::string("fake: cannot count ") + side.word + " ports");
        return unsigned(names().size());
    }
    std::string getPortName(unsigned int n) override {
        if (n >= names().size())
            throw RtMidiError(std::string("fake: no such ") + side.word + " port");
        return names()[n];
    }
    void openPort(unsigned int n, const std::string &) override {
        if ((*state).*side.failOpen || n >= names().size())
            throw RtMidiError(std::string("fake: cannot open ") + side.word + " port");
        (*state).*side.opened = int(n);
        (*state).*side.open = true;
    }
    void closePort() override {
        (*state).*side.open = false;
        state->closeCalls++;
    }

protected:
    std::shared_ptr<FakeMidiState> state;

private:
    const std::vector<std::string> &names() const { return (*state).*side.names; }
    const Side &side;
};

class FakeInput : public FakePort<MidiInputPort> {
public:
    explicit FakeInput(std::shared_ptr<FakeMidiState> s) : FakePort(std::move(s), InputSide) {}
    void ignoreTypes(bool sysex, bool, bool) override { state->sysexIgnored = sysex; }
    double getMessage(MidiMessage *message) override {
        message->clear();
        if (!state->inOpen || state->incoming.empty())
            return 0.0;
        *message = state->incoming.front();
        state->incoming.pop_front();
        return 0.001;
    }
};

class FakeOutput : public FakePort<MidiOutputPort> {
public:
    explicit FakeOutput(std::shared_ptr<FakeMidiState> s) : FakePort(std::move(s), OutputSide) {}
    void sendMessage(const MidiMessage *message) override {
        if (state->failSend)
            throw RtMidiError("fake: send failed");
        state->sent.push_back(*message);
    }
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
