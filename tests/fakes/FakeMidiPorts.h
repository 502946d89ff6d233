// In-memory MIDI ports for in-process tests: scripted input queue, recorded output, injected failures.
#pragma once

#include "protocol/MidiPort.h"

#include <QStringList>
#include <deque>
#include <memory>
#include <vector>

struct FakeMidiState {
    std::vector<std::string> inputNames;
    std::vector<std::string> outputNames;
    std::deque<MidiMessage> incoming; // delivered one per getMessage, oldest first
    std::vector<MidiMessage> sent;    // every message given to sendMessage
    bool failCreateInput = false;
    bool failCreateOutput = false;
    bool failOpenInput = false;
    bool failOpenOutput = false;
    bool failSend = false;
    bool failPortCount = false;
    int openedIn = -1;
    int openedOut = -1;
    bool inOpen = false;
    bool outOpen = false;
    bool sysexIgnored = true;
    int inputsCreated = 0;
    int outputsCreated = 0;
    int closeCalls = 0;
};

class FakeMidiPortFactory : public MidiPortFactory {
public:
    explicit FakeMidiPortFactory(std::shared_ptr<FakeMidiState> state) : state(std::move(state)) {}
    std::unique_ptr<MidiInputPort> createInput(const std::string &clientName,
                                               unsigned int queueLimit) override;
    std::unique_ptr<MidiOutputPort> createOutput(const std::string &clientName) override;

private:
    std::shared_ptr<FakeMidiState> state;
};

// Installs a fake factory for every MIDI object created afterwards and returns its shared state.
std::shared_ptr<FakeMidiState> installFakeMidi(const QStringList &inputs = {QStringLiteral("Fake In")},
                                               const QStringList &outputs = {QStringLiteral("Fake Out")});

// Builds a message from hex text such as "F0 00 11 22 01 00 00 00 00 00 F7".
MidiMessage bytes(const char *hex);
// The message as upper-case hex text, bytes separated by single spaces.
QString hex(const MidiMessage &message);
