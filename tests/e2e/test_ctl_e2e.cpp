// tavikctl as a user runs it: the real program, a private JACK server, tavik-sim as two devices,
// no display and no settings of TavikRemote's.
#include "JackServer.h"
#include "SimProcess.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
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
        sim = new SimProcess(*server, {"--device", "neo:12345:Studio", "--device", "lux:777:Booth"});
        ASSERT_TRUE(sim->start()) << sim->diagnostics().toStdString();
    }
    static void TearDownTestSuite() {
        delete sim;
        delete server;
    }

    CtlRun ctl(const QStringList &args) {
        QProcessEnvironment env = server->environment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "TAVIK_IN", "TAVIK_OUT"})
            env.remove(QLatin1String(name));
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
        QProcess process;
        process.setProcessEnvironment(env);
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
    EXPECT_EQ(text.out, QStringLiteral("070-000-740  lux  Booth  1.7\n141-202-380  neo  Studio  1.7\n"));

    const CtlRun json = ctl({"--in", "OUT", "--out", "sim:in", "--json", "list", "--wait", "2"});
    EXPECT_EQ(json.code, 0) << json.err.toStdString();
    const QJsonArray list = QJsonDocument::fromJson(json.out.toUtf8()).array();
    ASSERT_EQ(list.size(), 2) << json.out.toStdString();
    const QJsonObject neo = list[1].toObject();
    EXPECT_EQ(neo.value("serial").toInt(), 12345);
    EXPECT_EQ(neo.value("serial_text").toString(), QStringLiteral("141-202-380"));
    EXPECT_EQ(neo.value("family").toString(), QStringLiteral("neo"));
    EXPECT_EQ(neo.value("name").toString(), QStringLiteral("Studio"));
    EXPECT_EQ(list[0].toObject().value("family").toString(), QStringLiteral("lux"));
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
    const CtlRun help = ctl({"help", "list"});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("Example: tavikctl"))) << help.out.toStdString();
}

TEST(CtlProgram, LoadsNoGuiLibrary) {
    QProcess ldd;
    ldd.start(QStringLiteral("ldd"), {QStringLiteral(TAVIK_CTL_PATH)});
    ASSERT_TRUE(ldd.waitForFinished(30000));
    const QString libraries = QString::fromLocal8Bit(ldd.readAllStandardOutput());
    ASSERT_TRUE(libraries.contains(QStringLiteral("libQt6Core"))) << libraries.toStdString();
    EXPECT_FALSE(libraries.contains(QStringLiteral("libQt6Gui"))) << libraries.toStdString();
    EXPECT_FALSE(libraries.contains(QStringLiteral("libQt6Widgets"))) << libraries.toStdString();
}

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
