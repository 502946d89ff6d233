// Feeds arbitrary byte strings to TavikRemote's inbound dispatcher: the device core alone, with
// three devices admitted and the link connected on in-memory ports (so replies and fader re-sends
// are built and sent too). The windows' reactions to the link's signals have tests of their own.
#include "FakeMidiPorts.h"
#include "HeadlessHost.h"
#include "SysExMessages.h"
#include "model/TavikConfiguration.h"
#include "protocol/LogSwitch.h"
#include "protocol/MIDI.h"

#include <QCoreApplication>
#include <QEvent>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {
void require(bool condition) {
    if (!condition)
        std::abort();
}

void quietHandler(QtMsgType, const QMessageLogContext &, const QString &) {}

const qint32 BaseDevices[] = {12345, 1234, 268435455};

struct Harness {
    std::shared_ptr<FakeMidiState> ports;
    QCoreApplication *app = nullptr;
    HeadlessHost host;
    MIDI *midi = nullptr;

    Harness() {
        ports = installFakeMidi();
        static int argc = 1;
        static char name[] = "fuzz_parse_msg";
        static char *argv[] = {name, nullptr};
        app = new QCoreApplication(argc, argv);
        qInstallMessageHandler(quietHandler);
        midi = new MIDI(host);
        host.midi = midi;
        midi->enumeratePorts();
        midi->setPortNumberIn(0);
        midi->setPortNumberOut(0);
        midi->toggleConnectedStatus();
        require(midi->isConnected());
        MidiMessage neo = TestSysEx::version(1, 12345, "Studio");
        MidiMessage lux = TestSysEx::version(5, 1234, "Stage");
        MidiMessage top = TestSysEx::version(1, 268435455, "0123456789ABCDEF");
        midi->parseMsg(0.0, &neo);
        midi->parseMsg(0.0, &lux);
        midi->parseMsg(0.0, &top);
        for (qint32 serial : BaseDevices)
            require(host.registry.getConfiguration(serial) != nullptr);
    }

    // Devices the input admitted are dropped again, so memory stays bounded across runs.
    void dropNewDevices() {
        const QList<qint32> serials = host.registry.getDevices().keys();
        for (qint32 serial : serials) {
            if (std::find(std::begin(BaseDevices), std::end(BaseDevices), serial) == std::end(BaseDevices))
                host.registry.removeConfiguration(serial);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ports->sent.clear();
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static Harness harness;
    MIDI *midi = harness.midi;
    // One input in eight (by its length) runs with the debug log on, so every dump and log line is
    // built from fuzzed bytes too (and dropped by the quiet handler); building them costs six times
    // the rest, so the others run without.
    LogSwitch::setOn(size % 8 == 0);
    // The input is cut into messages after every 0xF7; the last one may lack its end byte.
    size_t start = 0;
    while (start < size) {
        const uint8_t *end = static_cast<const uint8_t *>(std::memchr(data + start, 0xF7, size - start));
        const size_t length = end ? size_t(end - (data + start)) + 1 : size - start;
        MidiMessage message(data + start, data + start + length);
        midi->parseMsg(double(length), &message);
        start += length;
    }
    // Every message the dispatcher sent in reply is a complete frame.
    for (const MidiMessage &sent : harness.ports->sent) {
        require(sent.size() >= 11);
        require(sent.front() == 0xF0 && sent.back() == 0xF7);
        for (size_t i = 1; i + 1 < sent.size(); ++i)
            require(sent[i] < 0x80);
    }
    for (qint32 serial : BaseDevices) {
        TavikConfiguration *cfg = harness.host.registry.getConfiguration(serial);
        require(cfg != nullptr);
        for (int i = 0; i < 32; ++i)
            require(cfg->getFaderValue(i) <= 28);
        require(cfg->getFrequency() <= 6 && cfg->getSync() <= 3);
    }
    harness.dropNewDevices();
    return 0;
}
