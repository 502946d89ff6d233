// TavikRemote protocol cost: handling each device report and building each command, with a device window
// present and logging off and on, against the time the message takes on a 31250-baud MIDI cable.
#include "BenchTable.h"
#include "CollectingReporter.h"
#include "FakeMidiPorts.h"
#include "SysExMessages.h"
#include "app/MessageLog.h"
#include "app/MyApplication.h"
#include "model/TavikConfiguration.h"
#include "protocol/LogSwitch.h"
#include "protocol/MIDI.h"
#include "windows/MainDialog.h"
#include "windows/StackedTavikDialog.h"
#include "windows/TavikConfigurationDialog.h"

#include <QDir>
#include <QIcon>
#include <QSettings>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr qint32 Serial = 12345;
constexpr int ManyDevices = 64;
// The serial of the last of the many devices, so every lookup walks the whole registry.
constexpr qint32 LastSerial = Serial + ManyDevices - 1;

double wireNanoseconds(size_t bytes) {
    // 10 bits a byte (start, 8 data, stop) at 31250 baud.
    return double(bytes) * 10.0 * 1e9 / 31250.0;
}

QByteArray faderValues(int offset) {
    QByteArray values;
    for (int i = 0; i < 32; ++i)
        values.append(char((i + offset) % 29));
    return values;
}

// Two variants of a report: the same values every time (a device in steady state) or two alternating
// sets (every report changes every field).
struct Report {
    std::string name;
    MidiMessage a;
    MidiMessage b;
};

std::vector<Report> reportsFor(qint32 serial) {
    return {
        {"GET_VERSION", TestSysEx::version(1, serial, "Studio"), TestSysEx::version(1, serial, "Studio")},
        {"GET_CONFIG",
         TestSysEx::report(1, serial, TavikSysEx::GET_CONFIG,
                           QByteArray("\x23\x01\x10\x21\x10\x01\x21\x10\x01\x10", 10)),
         TestSysEx::report(1, serial, TavikSysEx::GET_CONFIG,
                           QByteArray("\x15\x00\x01\x12\x04\x32\x12\x23\x10\x01", 10))},
        {"GET_STATUS", TestSysEx::report(1, serial, TavikSysEx::GET_STATUS, {0x33, 0x33, 0x13, 0x7F}),
         TestSysEx::report(1, serial, TavikSysEx::GET_STATUS, {0x25, 0x41, 0x05, 0x15})},
        {"GET_FADERS", TestSysEx::report(1, serial, TavikSysEx::GET_FADERS, faderValues(0)),
         TestSysEx::report(1, serial, TavikSysEx::GET_FADERS, faderValues(7))},
    };
}

struct Sender {
    std::string name;
    size_t bytes;
    std::function<void(MIDI *)> send;
};

std::vector<Sender> senders() {
    return {
        {"sendMsgSEND_VERSION", 11, [](MIDI *m) { m->sendMsgSEND_VERSION(0, 1); }},
        {"sendMsgSEND_INFO", 11, [](MIDI *m) { m->sendMsgSEND_INFO(Serial); }},
        {"sendMsgSET_VALUES(0)", 14, [](MIDI *m) { m->sendMsgSET_VALUES(Serial, 0); }},
        {"sendMsgSET_VALUES(2)", 13, [](MIDI *m) { m->sendMsgSET_VALUES(Serial, 2); }},
        {"sendMsgSET_VALUES(16)", 16, [](MIDI *m) { m->sendMsgSET_VALUES(Serial, 16); }},
        {"sendMsgSET_VALUES(32)", 24, [](MIDI *m) { m->sendMsgSET_VALUES(Serial, 32); }},
        {"sendMsgSET_FADERS", 44, [](MIDI *m) { m->sendMsgSET_FADERS(Serial); }},
    };
}

std::string logName(bool on) {
    return on ? "log on" : "log off";
}

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    // The log file and the settings go to a scratch folder.
    QTemporaryDir scratch;
    QDir::setCurrent(scratch.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch.path());
    QCoreApplication::setOrganizationName(QStringLiteral("Kalvenso"));
    QCoreApplication::setApplicationName(QStringLiteral("bench_protocol"));

    std::shared_ptr<FakeMidiState> ports = installFakeMidi();
    MyApplication app(argc, argv);
    MainDialog mainDialog(app);
    mainDialog.show();
    MIDI *midi = app.getMIDI();
    if (!midi->isConnected()) {
        std::fprintf(stderr, "bench_protocol: the link did not connect to the in-memory ports\n");
        return 1;
    }

    CollectingReporter reporter;
    // The received message is handed over as the input queue does it: copied into the receive buffer.
    MidiMessage inBuffer;
    inBuffer.reserve(1024);
    auto copyBaseline = [&inBuffer](benchmark::State &state, const MidiMessage &msg) {
        for (auto _ : state) {
            inBuffer = msg;
            benchmark::DoNotOptimize(inBuffer.data());
            benchmark::ClobberMemory();
        }
    };
    // The program returns to its event loop after every poll tick, which then carries out what the
    // handler posted (layout and repaint requests). "parse" times the handler alone and carries out the
    // posted work outside the timing; "handle" times both, as the program spends them per report.
    auto parse = [midi, &inBuffer](benchmark::State &state, const Report *report, bool changing, bool log,
                                   bool withPosted) {
        LogSwitch::setOn(log);
        QCoreApplication::sendPostedEvents();
        bool second = false;
        for (auto _ : state) {
            inBuffer = (changing && second) ? report->b : report->a;
            second = !second;
            midi->parseMsg(0.0, &inBuffer);
            if (withPosted) {
                QCoreApplication::sendPostedEvents();
            } else {
                state.PauseTiming();
                QCoreApplication::sendPostedEvents();
                state.ResumeTiming();
            }
        }
        LogSwitch::setOn(false);
    };
    auto send = [midi, ports](benchmark::State &state, const Sender *sender, bool log) {
        LogSwitch::setOn(log);
        size_t n = 0;
        for (auto _ : state) {
            sender->send(midi);
            // The in-memory port keeps every message; keep its record short.
            if (++n % 1024 == 0)
                ports->sent.clear();
        }
        LogSwitch::setOn(false);
        ports->sent.clear();
    };

    // Phase 1: one device with its window.
    MidiMessage version = TestSysEx::version(1, Serial, "Studio");
    midi->parseMsg(0.0, &version);
    if (!app.getConfiguration(Serial)) {
        std::fprintf(stderr, "bench_protocol: the device was not admitted\n");
        return 1;
    }
    const std::vector<Report> reports = reportsFor(Serial);
    const std::vector<Sender> sends = senders();
    for (const Report &r : reports) {
        benchmark::RegisterBenchmark(("copy/" + r.name).c_str(), copyBaseline, r.a);
        for (bool log : {false, true})
            for (bool posted : {false, true}) {
                const std::string kind = posted ? "handle/" : "parse/";
                benchmark::RegisterBenchmark((kind + r.name + "/same/" + logName(log)).c_str(), parse, &r,
                                             false, log, posted);
                if (r.name != "GET_VERSION")
                    benchmark::RegisterBenchmark((kind + r.name + "/changing/" + logName(log)).c_str(), parse,
                                                 &r, true, log, posted);
            }
    }
    for (const Sender &s : sends)
        for (bool log : {false, true})
            benchmark::RegisterBenchmark(("send/" + s.name + "/" + logName(log)).c_str(), send, &s, log);

    // Admission of a new device: its version reply creates the record and the device window. The
    // device is removed again outside the timing.
    StackedTavikDialog *stacked = mainDialog.getStackedDialog();
    auto removeDevice = [&app, stacked](qint32 serial) {
        stacked->removePage(serial);
        app.removeConfiguration(serial);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    benchmark::RegisterBenchmark("admit/parseMsg", [&](benchmark::State &state) {
        MidiMessage reply = TestSysEx::version(1, 777, "Booth");
        for (auto _ : state) {
            midi->parseMsg(0.0, &reply);
            QCoreApplication::sendPostedEvents();
            state.PauseTiming();
            removeDevice(777);
            ports->sent.clear();
            state.ResumeTiming();
        }
    })->Iterations(40);
    // The window step alone, built beside the page stack (as now) or inside it: a window that is moved
    // into the stack afterwards has its style worked out twice.
    auto window = [&](benchmark::State &state, bool insideStack) {
        for (auto _ : state) {
            state.PauseTiming();
            auto *cfg = new TavikConfiguration(777);
            cfg->setDeviceType(1);
            app.addConfiguration(777, cfg);
            state.ResumeTiming();
            auto *dialog = new TavikConfigurationDialog(
                cfg, app, insideStack ? static_cast<QWidget *>(stacked->getPageStack()) : stacked);
            QIcon icon(QStringLiteral(":/images/gui/tavik_icon_neo.png"));
            stacked->addPage(dialog, &icon);
            QCoreApplication::sendPostedEvents();
            state.PauseTiming();
            removeDevice(777);
            state.ResumeTiming();
        }
    };
    benchmark::RegisterBenchmark("admit/window beside the stack", window, false)->Iterations(40);
    benchmark::RegisterBenchmark("admit/window inside the stack", window, true)->Iterations(40);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::ClearRegisteredBenchmarks();

    // Phase 2: 64 devices; the report is for the one with the highest serial number.
    for (qint32 s = Serial + 1; s <= LastSerial; ++s) {
        MidiMessage v = TestSysEx::version(1, s, "Studio");
        midi->parseMsg(0.0, &v);
    }
    ports->sent.clear();
    const std::vector<Report> manyReports = reportsFor(LastSerial);
    for (const Report &r : manyReports)
        benchmark::RegisterBenchmark(("handle64/" + r.name + "/same/log off").c_str(), parse, &r, false,
                                     false, true);
    benchmark::RunSpecifiedBenchmarks(&reporter);

    // The table: every figure against the message's time on the cable (goal: under 1/1000 with
    // logging off) and beside the plain copy of the same bytes measured above.
    for (const Report &r : reports) {
        const double wire = wireNanoseconds(r.a.size());
        const double copy = reporter.nanoseconds("copy/" + r.name);
        std::vector<std::string> variants = {"/same/log off", "/same/log on"};
        if (r.name != "GET_VERSION")
            variants = {"/same/log off", "/changing/log off", "/same/log on", "/changing/log on"};
        for (const std::string &v : variants) {
            const double ns = reporter.nanoseconds("handle/" + r.name + v);
            const double alone = reporter.nanoseconds("parse/" + r.name + v);
            if (ns < 0) // filtered out on the command line
                continue;
            const bool logOff = v.find("log off") != std::string::npos;
            BenchTable::row(
                "1 protocol",
                "report " + r.name + " (" + std::to_string(r.a.size()) + " B)" + v +
                    ": parseMsg + posted work",
                BenchTable::duration(ns) + " (parseMsg alone " + BenchTable::duration(alone) + ")",
                "wire " + BenchTable::duration(wire) + ", copy " + BenchTable::duration(copy),
                BenchTable::fixed(ns / wire * 1000.0, 3, "/1000 of wire"), logOff ? "< 1/1000 of wire" : "-",
                logOff ? BenchTable::verdict(ns < wire / 1000.0) : "-");
        }
    }
    for (const Report &r : manyReports) {
        const double wire = wireNanoseconds(r.a.size());
        const double ns = reporter.nanoseconds("handle64/" + r.name + "/same/log off");
        const double one = reporter.nanoseconds("handle/" + r.name + "/same/log off");
        if (ns < 0)
            continue;
        BenchTable::row("1 protocol",
                        "report " + r.name + " for the last of 64 devices (not on screen), log off",
                        BenchTable::duration(ns), "1 device " + BenchTable::duration(one),
                        BenchTable::fixed(ns / wire * 1000.0, 3, "/1000 of wire"), "< 1/1000 of wire",
                        BenchTable::verdict(ns < wire / 1000.0));
    }
    for (const Sender &s : sends) {
        const double wire = wireNanoseconds(s.bytes);
        for (bool log : {false, true}) {
            const double ns = reporter.nanoseconds("send/" + s.name + "/" + logName(log));
            if (ns < 0)
                continue;
            BenchTable::row("1 protocol", s.name + " (" + std::to_string(s.bytes) + " B), " + logName(log),
                            BenchTable::duration(ns), "wire " + BenchTable::duration(wire),
                            BenchTable::fixed(ns / wire * 1000.0, 3, "/1000 of wire"),
                            log ? "-" : "< 1/1000 of wire",
                            log ? "-" : BenchTable::verdict(ns < wire / 1000.0));
        }
    }
    const double admit = reporter.nanoseconds("admit/parseMsg");
    if (admit >= 0)
        BenchTable::row("1 protocol", "admission of a new device (version reply -> window in the list)",
                        BenchTable::duration(admit), "goal 10 ms",
                        BenchTable::fixed(admit / 1e7, 2, "x goal"), "< 10 ms",
                        BenchTable::verdict(admit < 1e7));
    const double beside = reporter.nanoseconds("admit/window beside the stack");
    const double inside = reporter.nanoseconds("admit/window inside the stack");
    if (beside >= 0 && inside >= 0)
        BenchTable::row("1 protocol", "device window built beside the page stack, then moved into it",
                        BenchTable::duration(beside),
                        "built inside the stack " + BenchTable::duration(inside),
                        BenchTable::fixed(beside / inside, 2, "x inside"), "-", "-");
    MessageLog::close();
    return 0;
}
