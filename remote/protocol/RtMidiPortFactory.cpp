#include "RtMidiPortFactory.h"

#include "RevisionInfo.h"

#include <RtMidi.h>

TAVIK_REVISION("RtMidiPortFactory.cpp");

namespace {
class RtInput : public MidiInputPort {
public:
    explicit RtInput(std::unique_ptr<RtMidiIn> in) : in(std::move(in)) {}
    unsigned int getPortCount() override { return in->getPortCount(); }
    std::string getPortName(unsigned int n) override { return in->getPortName(n); }
    void openPort(unsigned int n, const std::string &name) override { in->openPort(n, name); }
    void closePort() override { in->closePort(); }
    void ignoreTypes(bool sysex, bool time, bool sense) override { in->ignoreTypes(sysex, time, sense); }
    double getMessage(MidiMessage *message) override { return in->getMessage(message); }

private:
    std::unique_ptr<RtMidiIn> in;
};

class RtOutput : public MidiOutputPort {
public:
    explicit RtOutput(std::unique_ptr<RtMidiOut> out) : out(std::move(out)) {}
    unsigned int getPortCount() override { return out->getPortCount(); }
    std::string getPortName(unsigned int n) override { return out->getPortName(n); }
    void openPort(unsigned int n, const std::string &name) override { out->openPort(n, name); }
    void closePort() override { out->closePort(); }
    void sendMessage(const MidiMessage *message) override { out->sendMessage(message); }

private:
    std::unique_ptr<RtMidiOut> out;
};

// Tries the default API first, then each compiled API in turn; rethrows the first error when all fail.
template <typename Port, typename Make> std::unique_ptr<Port> createWithFallback(Make make) {
    try {
        return make(RtMidi::UNSPECIFIED);
    } catch (const RtMidiError &first) {
        std::vector<RtMidi::Api> apis;
        RtMidi::getCompiledApi(apis);
        for (RtMidi::Api api : apis) {
            if (api == RtMidi::RTMIDI_DUMMY)
                continue;
            try {
                return make(api);
            } catch (const RtMidiError &) {
            }
        }
        throw;
    }
}
} // namespace

std::unique_ptr<MidiInputPort> RtMidiPortFactory::createInput(const std::string &clientName,
                                                              unsigned int queueLimit) {
    auto in = createWithFallback<RtMidiIn>(
        [&](RtMidi::Api api) { return std::make_unique<RtMidiIn>(api, clientName, queueLimit); });
    return std::make_unique<RtInput>(std::move(in));
}

std::unique_ptr<MidiOutputPort> RtMidiPortFactory::createOutput(const std::string &clientName) {
    auto out = createWithFallback<RtMidiOut>(
        [&](RtMidi::Api api) { return std::make_unique<RtMidiOut>(api, clientName); });
    return std::make_unique<RtOutput>(std::move(out));
}
