// The real TavikRemote program against the device simulator over a private JACK server.
#include "JackServer.h"
#include "SimProcess.h"

#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <RtMidi.h>
#include <csignal>
#include <memory>
#include <sys/prctl.h>

class TestWindowsEndToEnd : public QObject {
    Q_OBJECT

private:
    // Index of the simulator's port, as the program will list it. The simulator's two ports may sit
    // on two clients ("tavik-sim:in", "tavik-sim-01:out"), so only the port part is exact.
    template <class Port> static int portIndex(const QString &port) {
        const QRegularExpression name("^tavik-sim[^:]*:" + port + "\\b");
        Port probe(RtMidi::UNIX_JACK, "TavikRemote test probe");
        for (unsigned int i = 0; i < probe.getPortCount(); ++i)
            if (name.match(QString::fromStdString(probe.getPortName(i))).hasMatch())
                return int(i);
        return -1;
    }
    static QStringList logLines(const QString &path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLocal8Bit(file.readAll()).split('\n');
    }
    static int count(const QStringList &lines, const QString &text) {
        int n = 0;
        for (const QString &line : lines)
            n += line.endsWith(text) ? 1 : 0;
        return n;
    }

private slots:
    void devicesAreAdmittedAndASilentOneIsDropped() {
        JackServer jack(JackServer::uniqueName("windows-e2e"));
        QVERIFY2(jack.start(), qPrintable(jack.diagnostics()));
        jack.applyToThisProcess();
        SimProcess sim(jack, {"--device", "neo:12345:Studio", "--device", "lux:1234:Stage"});
        QVERIFY2(sim.start(), qPrintable(sim.diagnostics()));

        // The program reads from the simulator's output and writes to its input.
        const int inPort = portIndex<RtMidiIn>("out");
        const int outPort = portIndex<RtMidiOut>("in");
        QVERIFY(inPort >= 0 && outPort >= 0);

        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QString config = home.filePath("config");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
        {
            QSettings settings("Kalvenso", "Kalvenso Remote");
            settings.setValue("midiInPortnumber", inPort);
            settings.setValue("midiOutPortnumber", outPort);
        }

        QProcessEnvironment env = jack.environment();
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", config);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        QProcess remote;
        remote.setProcessEnvironment(env);
        remote.setWorkingDirectory(home.path());
        remote.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        remote.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
        remote.start(TAVIK_REMOTE_PATH, {"--debug"});
        QVERIFY(remote.waitForStarted());
        const auto stopRemote = qScopeGuard([&remote] {
            remote.terminate();
            if (!remote.waitForFinished(3000))
                remote.kill();
            remote.waitForFinished(3000);
        });

        const QString log = home.filePath("log_messages.txt");
        const QString neoNew = "Tavik with sn= 12345, device type = 1 is new, adding it to collection!";
        const QString luxNew = "Tavik with sn= 1234, device type = 5 is new, adding it to collection!";
        QTRY_VERIFY_WITH_TIMEOUT(count(logLines(log), neoNew) == 1 && count(logLines(log), luxNew) == 1,
                                 20000);
        // Each newly found device was greeted with SEND_INFO.
        QVERIFY(sim.waitForLogLine(QRegularExpression("^RX F0 00 11 22 01 39 60 00 00 05 F7",
                                                      QRegularExpression::CaseInsensitiveOption),
                                   5000));
        QVERIFY(sim.waitForLogLine(QRegularExpression("^RX F0 00 11 22 01 52 09 00 00 05 F7",
                                                      QRegularExpression::CaseInsensitiveOption),
                                   5000));

        sim.command("silent 12345");
        const QString neoGone =
            "Removing device with serialno 12345 since we did not hear from it in 2 seconds.";
        QTRY_VERIFY_WITH_TIMEOUT(count(logLines(log), neoGone) == 1, 20000);
        const QStringList lines = logLines(log);
        QCOMPARE(
            count(lines, "Removing device with serialno 1234 since we did not hear from it in 2 seconds."),
            0);
        QCOMPARE(count(lines, neoNew), 1);
        QCOMPARE(count(lines, luxNew), 1);
        QCOMPARE(remote.state(), QProcess::Running);
    }
};

QTEST_GUILESS_MAIN(TestWindowsEndToEnd)

#include "test_windows_e2e.moc"
