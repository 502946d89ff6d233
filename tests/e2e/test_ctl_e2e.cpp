// tavikctl as a user runs it: the real program, a private JACK server, tavik-sim as two devices,
// no display and no settings of TavikRemote's.
#include "JackServer.h"
#include "NoGuiLibrary.h"
#include "SimProcess.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
struct CtlRun {
    int code = -1;
    QString out;
    QString err;
};

class CtlE2e : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server = new JackServer(JackServer::uniqueName(QStringLiteral("ctl")));
        ASSERT_TRUE(server->start()) << server->diagnostics().toStdString();
        sim = new SimProcess(*server, {"--device", "neo:12345:Studio", "--device", "lux:777:Booth",
                                       "--device", "neo:4242:Stage", "--status-interval", "0"});
        ASSERT_TRUE(sim->start()) << sim->diagnostics().toStdString();
    }
    static void TearDownTestSuite() {
        delete sim;
        delete server;
    }

    // server: another JACK server's name than the test's.
    QProcessEnvironment environment(const QString &server = {}) const {
        QProcessEnvironment env = CtlE2e::server->environment();
        if (!server.isEmpty())
            env.insert(QStringLiteral("JACK_DEFAULT_SERVER"), server);
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "TAVIK_IN", "TAVIK_OUT"})
            env.remove(QLatin1String(name));
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
        return env;
    }

    CtlRun ctl(const QStringList &args, const QString &server = {}) {
        QProcess process;
        process.setProcessEnvironment(environment(server));
        process.start(QStringLiteral(TAVIK_CTL_PATH), args);
        EXPECT_TRUE(process.waitForFinished(30000)) << args.join(' ').toStdString();
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromLocal8Bit(process.readAllStandardOutput()),
                QString::fromLocal8Bit(process.readAllStandardError())};
    }

    QTemporaryDir home;
    static JackServer *server;
    static SimProcess *sim;
};
JackServer *CtlE2e::server = nullptr;
SimProcess *CtlE2e::sim = nullptr;
} // namespace

TEST_F(CtlE2e, ListsPortsAndDevices) {
    const CtlRun ports = ctl({"ports"});
    EXPECT_EQ(ports.code, 0) << ports.err.toStdString();
    EXPECT_TRUE(ports.out.contains(QStringLiteral("MIDI input ports:\n  0: tavik-sim")))
        << ports.out.toStdString();

    // The only port pair is the default; the devices come sorted by serial number.
    const CtlRun text = ctl({"list"});
    EXPECT_EQ(text.code, 0) << text.err.toStdString();
    EXPECT_EQ(text.out, QStringLiteral("070-000-740  lux  Booth  1.7\n040-404-240  neo  Stage  1.7\n"
                                       "141-202-380  neo  Studio  1.7\n"));

    const CtlRun json = ctl({"--in", "OUT", "--out", "sim:in", "--json", "list", "--wait", "2"});
    EXPECT_EQ(json.code, 0) << json.err.toStdString();
    const QJsonArray list = QJsonDocument::fromJson(json.out.toUtf8()).array();
    ASSERT_EQ(list.size(), 3) << json.out.toStdString();
    const QJsonObject neo = list[2].toObject();
    EXPECT_EQ(neo.value("serial").toInt(), 12345);
    EXPECT_EQ(neo.value("serial_text").toString(), QStringLiteral("141-202-380"));
    EXPECT_EQ(neo.value("family").toString(), QStringLiteral("neo"));
    EXPECT_EQ(neo.value("name").toString(), QStringLiteral("Studio"));
    EXPECT_EQ(list[0].toObject().value("family").toString(), QStringLiteral("lux"));

    // The monitor names both directions; by the second broadcast the devices have their names.
    const CtlRun monitor = ctl({"monitor", "--seconds", "3.5"});
    EXPECT_EQ(monitor.code, 0) << monitor.err.toStdString();
    EXPECT_TRUE(monitor.out.contains(
        QRegularExpression("^out  \\S+  all  SEND_VERSION$", QRegularExpression::MultilineOption)))
        << monitor.out.toStdString();
    EXPECT_TRUE(monitor.out.contains(
        QRegularExpression("^in   \\S+  141-202-380 Studio  GET_VERSION  Studio, version 1.7$",
                           QRegularExpression::MultilineOption)))
        << monitor.out.toStdString();
}

TEST_F(CtlE2e, SaysWhatIsWrongWithTheExitCodeOfIt) {
    const CtlRun noPort = ctl({"--in", "nonesuch", "list"});
    EXPECT_EQ(noPort.code, 3);
    EXPECT_TRUE(noPort.err.contains(
        QStringLiteral("no port name contains \"nonesuch\"; the ports are:\n  0: tavik-sim")))
        << noPort.err.toStdString();
    EXPECT_EQ(ctl({"--in", "7", "list"}).code, 3);
    EXPECT_EQ(ctl({}).code, 2);
    EXPECT_EQ(ctl({"list", "--wait", "-1"}).code, 2);
    EXPECT_EQ(ctl({"frobnicate"}).code, 2);
    // No MIDI system at all: one line says so, in plain words.
    const CtlRun none = ctl({"list"}, QStringLiteral("tavik-no-such-server"));
    EXPECT_EQ(none.code, 3);
    EXPECT_TRUE(none.err.startsWith(QStringLiteral("tavikctl: no ALSA sequencer to use and no JACK server "
                                                   "running; MIDI ports appear once a JACK server starts\n"
                                                   "tavikctl: which MIDI in port?")))
        << none.err.toStdString();
    const CtlRun help = ctl({"help", "list"});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("Example: tavikctl"))) << help.out.toStdString();
}

// The messages the simulator received for a device (its serial bytes after the header), in order.
QStringList received(SimProcess *sim, const QString &serialBytes) {
    return sim->logLines().filter(QStringLiteral("RX F0 00 11 22 0")).filter(serialBytes);
}

// A command's arguments, the exit code and a pattern of what it says, and a file's content.
struct Case {
    QStringList args;
    int code;
    const char *says;
    QByteArray content = {};
};

// How many SET_VALUES and SET_FADERS the device received.
qsizetype setsReceived(SimProcess *sim, const QString &serialBytes) {
    return received(sim, serialBytes)
        .filter(QRegularExpression(serialBytes + QStringLiteral("0[12] ")))
        .size();
}

TEST_F(CtlE2e, SetsSavesLoadsAndCompares) {
    const QString studio = QStringLiteral(" 39 60 00 00 "), stage = QStringLiteral(" 12 21 00 00 ");
    const CtlRun set = ctl({"set", "Studio", "rate=96k", "sync=adat", "fader.in.3=+1.5"});
    EXPECT_EQ(set.code, 0) << set.err.toStdString();
    // One SET_VALUES for the rate and sync (start 0), one SET_FADERS with all 32, as TavikRemote sends.
    const QStringList sent = received(sim, studio).filter(QRegularExpression(" 00 0[12] (00|20) "));
    ASSERT_GE(sent.size(), 2) << sent.join('\n').toStdString();
    EXPECT_TRUE(sent.contains(QStringLiteral("RX F0 00 11 22 01 39 60 00 00 01 00 05 02 F7")))
        << sent.join('\n').toStdString();
    EXPECT_TRUE(sent.last().startsWith(QStringLiteral("RX F0 00 11 22 01 39 60 00 00 02 20 00 01 02 ")));

    // Refused before anything is sent: a value the family lacks, an unknown key, a bad value.
    const QString booth = QStringLiteral(" 09 06 00 00 ");
    const qsizetype boothSets = setsReceived(sim, booth);
    for (const QStringList &args :
         {QStringList{"set", "Booth", "rate=192k"}, QStringList{"set", "Booth", "sync=madi"},
          QStringList{"set", "Booth", "routing.32-48k.analog_in=M1"},
          QStringList{"set", "Booth", "fader.in.3=+1.3"}, QStringList{"set", "Booth", "bogus=1"}})
        EXPECT_EQ(ctl(args).code, 2) << args.join(' ').toStdString();
    EXPECT_EQ(ctl({"show", "Nobody"}).code, 1);

    QTemporaryDir files;
    const QString json = files.filePath("Studio.json"), syx = files.filePath("Studio.syx");
    ASSERT_EQ(ctl({"save", "Studio", json}).code, 0);
    ASSERT_EQ(ctl({"save", "141-202-380", syx}).code, 0);
    EXPECT_EQ(ctl({"diff", "Stage", "Studio"}).code, 1);
    const CtlRun load = ctl({"load", "Stage", json});
    EXPECT_EQ(load.code, 0) << load.err.toStdString();
    EXPECT_EQ(ctl({"diff", "Stage", "Studio"}).code, 0);
    EXPECT_EQ(ctl({"diff", json, "4242"}).code, 0);
    const CtlRun dry = ctl({"load", "Stage", syx, "--all", "--dry-run"});
    EXPECT_EQ(dry.code, 0);
    EXPECT_EQ(dry.out.count('\n'), 5) << dry.out.toStdString(); // four SET_VALUES and the SET_FADERS
    EXPECT_TRUE(dry.out.startsWith(QStringLiteral("F0 00 11 22 01 12 21 00 00 01 00 05 02 F7\n")));

    // A bad file: exit 5, nothing sent, field and value named; a Neo's into a Lux: a warning.
    QFile saved(json);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QString snapshot = QString::fromUtf8(saved.readAll());
    const auto edited = [&](const char *pattern, const char *replacement) {
        return QString(snapshot).replace(QRegularExpression(pattern), replacement).toUtf8();
    };
    const Case cases[] = {
        {{"Stage"}, 5, "bad.json", "not json"},
        {{"Stage"}, 5, "version", R"({"format":"tavik-snapshot","version":2})"},
        {{"Stage"}, 5, "bad.json", QByteArray::fromHex("F000112201122100000107F7")},
        {{"Stage"}, 5, "settings.lock: missing", edited("\"lock\": \"off\",", "")},
        {{"Stage"}, 5, "settings.lock: 1 is not a text", edited("\"lock\": \"off\"", "\"lock\": 1")},
        {{"Stage"}, 5, "faders_db.input\\[0\\]: 12.5 dB", edited("(\"input\": \\[\\s*)[-.\\d]+", "\\1 12.5")},
        {{"Stage"}, 5, "smux.madi_48: 88.2", edited("\"madi_48\": \\d+", "\"madi_48\": 88.2")},
        {{"Booth"},
         0,
         "warning: the snapshot is of a Tavik Neo(.|\n)*a Tavik Lux has no routing",
         snapshot.toUtf8()},
    };
    EXPECT_EQ(setsReceived(sim, booth), boothSets);
    const QString bad = files.filePath("bad.json");
    for (const Case &c : cases) {
        QFile file(bad);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.content);
        file.close();
        const QString &serial = c.args[0] == "Stage" ? stage : booth;
        const qsizetype before = setsReceived(sim, serial);
        const CtlRun run = ctl({"load", c.args[0], bad});
        EXPECT_EQ(run.code, c.code) << c.content.toStdString() << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QRegularExpression(c.says))) << run.err.toStdString();
        EXPECT_EQ(setsReceived(sim, serial) == before, c.code != 0) << c.content.toStdString();
    }
}

TEST_F(CtlE2e, UploadsALogoAndRefusesBeforeSendingWhatCannotGo) {
    QTemporaryDir files;
    const QString picture = files.filePath("logo.png"), noise = files.filePath("noise.png");
    QImage image(300, 200, QImage::Format_RGB32);
    image.fill(QColor(30, 90, 200));
    ASSERT_TRUE(image.save(picture));
    // Neighbours that differ leave the run-length code nothing to shorten: too large for the device.
    QRandomGenerator random(14);
    for (int i = 0; i < image.width() * image.height(); ++i)
        image.setPixel(i % image.width(), i / image.width(), random.generate() | 0xFF000000u);
    ASSERT_TRUE(image.save(noise));

    const auto chunks = [this] {
        return sim->logLines().filter(QRegularExpression("^RX F0 (\\S+ ){8}03 ")).size();
    };
    const qsizetype none = chunks();
    const Case refusals[] = {
        {{"Stage", noise}, 5, "takes \\d{5} bytes, the device has room for 32735"},
        {{"Stage", TAVIK_CTL_PATH}, 5, "is not a picture"},
        {{"Stage", files.filePath("missing.png")}, 5, "no picture file"},
        {{"Booth", picture}, 2, "070-000-740 Booth is a Tavik Lux"},
        {{"Stage", picture, "--name", "Seventeen letters"}, 2, "at most 16"},
        {{"Stage", picture, "--name", "Caf\u00e9"}, 2, "not plain ASCII"},
    };
    for (const Case &r : refusals) {
        const CtlRun run = ctl(QStringList{"logo"} + r.args);
        EXPECT_EQ(run.code, r.code) << r.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QRegularExpression(r.says))) << run.err.toStdString();
    }
    EXPECT_EQ(chunks(), none);

    // One line a chunk when not on a terminal; not even ALSA's complaints on standard error.
    const CtlRun upload = ctl({"logo", "4242", picture});
    EXPECT_EQ(upload.code, 0);
    EXPECT_EQ(upload.err.toStdString(), "");
    EXPECT_EQ(upload.out.count(QStringLiteral(" of 64 acknowledged\n")), 64) << upload.out.toStdString();
    EXPECT_TRUE(
        upload.out.endsWith(QStringLiteral("logo and name \"Stage\" uploaded to 040-404-240 Stage\n")));
    EXPECT_TRUE(sim->waitForLogLine(QRegularExpression("^# logo crc ok name \"Stage\" serial 4242"), 5000))
        << sim->logLines().join('\n').toStdString();
    // Studio, a Tavik Neo as well, shares the ports.
    EXPECT_EQ(sim->logLines().filter("logo incomplete").join('\n').toStdString(), "");
}

// get and show print what set stored, get as set takes the values; the monitor ends on SIGTERM as
// on Ctrl+C, with exit 0.
TEST_F(CtlE2e, GetsAndShowsWhatSetStoredAndTheMonitorEndsOnSigterm) {
    ASSERT_EQ(ctl({"set", "Stage", "rate=96k", "fader.out.2=-6"}).code, 0);
    const CtlRun get = ctl({"get", "Stage", "rate", "fader.out.2", "input.madi.lock"});
    EXPECT_EQ(get.code, 0) << get.err.toStdString();
    EXPECT_EQ(get.out.toStdString(), "96k\n-6.0\nno\n");
    const QJsonObject json =
        QJsonDocument::fromJson(ctl({"--json", "get", "Stage", "rate", "fader.out.2"}).out.toUtf8()).object();
    EXPECT_EQ(json, (QJsonObject{{"rate", "96k"}, {"fader.out.2", -6}}));
    EXPECT_EQ(ctl({"get", "Booth", "routing.32-48k.analog_in"}).code, 2);

    const CtlRun show = ctl({"show", "Stage"});
    EXPECT_EQ(show.code, 0) << show.err.toStdString();
    for (const char *line :
         {"^040-404-240  neo  Stage  1.7$", "^Sample rate +96 kHz$", "^Output channel 2 +-6.0 dB$",
          "^Digital input MADI +---, signal no, not locked$"})
        EXPECT_TRUE(show.out.contains(QRegularExpression(line, QRegularExpression::MultilineOption)))
            << line << "\n"
            << show.out.toStdString();
    const QJsonObject shown = QJsonDocument::fromJson(ctl({"--json", "show", "Stage"}).out.toUtf8()).object();
    EXPECT_EQ(shown.value("values").toObject().value("fader.out.2"), -6);
    EXPECT_EQ(shown.value("inputs").toArray().size(), 4);

    // Once it has heard a device, its handler is in place.
    QProcess monitor;
    monitor.setProcessEnvironment(environment());
    monitor.start(QStringLiteral(TAVIK_CTL_PATH), {"monitor"});
    QByteArray out;
    while (!out.contains("\nin   ") && monitor.waitForReadyRead(10000))
        out += monitor.readAllStandardOutput();
    ASSERT_TRUE(out.contains("\nin   ")) << out.toStdString();
    monitor.terminate();
    ASSERT_TRUE(monitor.waitForFinished(10000));
    EXPECT_EQ(monitor.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(monitor.exitCode(), 0);
}

// With two port pairs the default is the pair TavikRemote remembered; without that it is an error.
TEST_F(CtlE2e, DefaultPortsAreTheOnesTavikRemoteRemembered) {
    SimProcess spare(*server, {"--client", "spare", "--device", "neo:999:Spare", "--status-interval", "0"});
    ASSERT_TRUE(spare.start()) << spare.diagnostics().toStdString();
    const CtlRun unclear = ctl({"list"});
    EXPECT_EQ(unclear.code, 3);
    EXPECT_TRUE(unclear.err.contains(QStringLiteral("which MIDI in port?"))) << unclear.err.toStdString();

    const QJsonObject ports = QJsonDocument::fromJson(ctl({"--json", "ports"}).out.toUtf8()).object();
    QSettings remembered(home.filePath("Kalvenso/Kalvenso Remote.conf"), QSettings::IniFormat);
    for (const char *direction : {"input", "output"}) {
        const QStringList spare = ports.value(direction).toVariant().toStringList().filter("spare");
        ASSERT_EQ(spare.size(), 1) << direction;
        remembered.setValue(direction[0] == 'i' ? "midiInPortname" : "midiOutPortname", spare[0]);
    }
    remembered.sync();
    const CtlRun list = ctl({"list"});
    EXPECT_EQ(list.code, 0) << list.err.toStdString();
    EXPECT_TRUE(list.out.contains(QRegularExpression("^\\S+  neo  Spare  1.7\n$"))) << list.out.toStdString();
}

// Qt Gui for the logo command's pictures, never Qt Widgets; every run above had no display.
TEST(CtlProgram, LoadsNoWidgetsLibrary) {
    expectNoGuiLibrary(QStringLiteral(TAVIK_CTL_PATH), QtGui::Allowed);
}

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
