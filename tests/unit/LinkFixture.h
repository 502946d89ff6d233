// A connected MIDI link on in-memory ports under the headless host, with an application object
// for its timers; feed() hands it a message as if it came in.
#pragma once

#include "FakeMidiPorts.h"
#include "HeadlessHost.h"
#include "protocol/MIDI.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

class LinkFixture : public ::testing::Test {
protected:
    void SetUp() override {
        state = installFakeMidi();
        midi.enumeratePorts();
        midi.setPortNumberIn(0);
        midi.setPortNumberOut(0);
        midi.toggleConnectedStatus();
    }
    template <class Bytes> void feed(const Bytes &bytes) {
        MidiMessage m(bytes.begin(), bytes.end());
        midi.parseMsg(0.0, &m);
    }

    int argc = 1;
    char name[5] = "test";
    char *argv[2] = {name, nullptr};
    QCoreApplication app{argc, argv};
    std::shared_ptr<FakeMidiState> state;
    HeadlessHost host;
    MIDI midi{host};
};
