// The MIDI input and output ports as the link uses them; library errors are thrown as RtMidiError.
#pragma once

#include "protocol/MidiMessage.h"

#include <memory>
#include <string>

class MidiInputPort {
public:
    virtual ~MidiInputPort() = default;
    virtual unsigned int getPortCount() = 0;
    virtual std::string getPortName(unsigned int portNumber) = 0;
    virtual void openPort(unsigned int portNumber, const std::string &portName) = 0;
    virtual void closePort() = 0;
    virtual void ignoreTypes(bool midiSysex, bool midiTime, bool midiSense) = 0;
    // Takes the oldest queued message (empty when none) and returns its time stamp.
    virtual double getMessage(MidiMessage *message) = 0;
    // True once the MIDI server this object was attached to has stopped or was replaced by a new
    // one: the object then still lists the old ports and can no longer open any.
    virtual bool serverGone() { return false; }
};

class MidiOutputPort {
public:
    virtual ~MidiOutputPort() = default;
    virtual unsigned int getPortCount() = 0;
    virtual std::string getPortName(unsigned int portNumber) = 0;
    virtual void openPort(unsigned int portNumber, const std::string &portName) = 0;
    virtual void closePort() = 0;
    virtual void sendMessage(const MidiMessage *message) = 0;
    // As for the input port.
    virtual bool serverGone() { return false; }
};

// Creates the port objects; the default one uses RtMidi, tests plug in fakes.
class MidiPortFactory {
public:
    virtual ~MidiPortFactory() = default;
    virtual std::unique_ptr<MidiInputPort> createInput(const std::string &clientName,
                                                       unsigned int queueLimit) = 0;
    virtual std::unique_ptr<MidiOutputPort> createOutput(const std::string &clientName) = 0;
};
