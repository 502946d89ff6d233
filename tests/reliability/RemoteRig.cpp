// One TavikRemote inside the test process: application, main window and the link over a private
// JACK server, with tavik-sim as the device peer.
#include "RemoteRig.h"

#include "app/MyApplication.h"
#include "protocol/MIDI.h"
#include "windows/MIDIConnectDialog.h"
#include "windows/MainDialog.h"
#include "windows/MidiLinkView.h"
#include "windows/StackedTavikDialog.h"

#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {
std::unique_ptr<JackServer> server;
std::unique_ptr<QTemporaryDir> config;
MyApplication *application = nullptr;
MainDialog *window = nullptr;

MIDIConnectDialog *panel() {
    return window->getStackedDialog()->getMIDIConnectDialog();
}
} // namespace

bool RemoteRig::setUp(int &argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    config = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config->path()));
    // A client of a dead server must not start a server of its own.
    qputenv("JACK_NO_START_SERVER", "1");
    QCoreApplication::setOrganizationName(QStringLiteral("Kalvenso"));
    QCoreApplication::setApplicationName(QStringLiteral("Kalvenso Remote Reliability"));
    server = std::make_unique<JackServer>(JackServer::uniqueName(QStringLiteral("tavik-rel")));
    if (!server->start()) {
        qWarning("%s", qPrintable(server->diagnostics()));
        return false;
    }
    server->applyToThisProcess();
    application = new MyApplication(argc, argv);
    window = new MainDialog(*application);
    return true;
}

void RemoteRig::tearDown() {
    disconnect();
    delete window;
    window = nullptr;
    if (application)
        application->setMainDialog(nullptr);
    delete application;
    application = nullptr;
    if (server)
        server->stop();
    server.reset();
    config.reset();
}

MyApplication *RemoteRig::app() {
    return application;
}

MainDialog *RemoteRig::mainDialog() {
    return window;
}

MIDI *RemoteRig::midi() {
    return application->getMIDI();
}

JackServer &RemoteRig::jack() {
    return *server;
}

std::unique_ptr<SimProcess> RemoteRig::startSim(const QStringList &args) {
    auto sim = std::make_unique<SimProcess>(*server, args);
    if (!sim->start()) {
        qWarning("%s", qPrintable(sim->diagnostics()));
        return nullptr;
    }
    return sim;
}

int RemoteRig::simPort(bool input, const QString &suffix) {
    QComboBox *combo = input ? panel()->getInPortCombo() : panel()->getOutPortCombo();
    for (int i = 0; i < combo->count(); ++i)
        if (combo->itemText(i).startsWith(QStringLiteral("tavik-sim")) && combo->itemText(i).endsWith(suffix))
            return i;
    return -1;
}

bool RemoteRig::connectToSim() {
    disconnect();
    application->getMIDIView()->enumeratePorts(panel()->getInPortCombo(), panel()->getOutPortCombo());
    const int in = simPort(true, QStringLiteral(":out"));
    const int out = simPort(false, QStringLiteral(":in"));
    if (in < 0 || out < 0)
        return false;
    panel()->getInPortCombo()->setCurrentIndex(in);
    panel()->getOutPortCombo()->setCurrentIndex(out);
    midi()->setPortNumberIn(in);
    midi()->setPortNumberOut(out);
    midi()->toggleConnectedStatus();
    panel()->updateButtonText();
    return midi()->isConnected();
}

void RemoteRig::disconnect() {
    if (application && midi()->isConnected()) {
        midi()->toggleConnectedStatus();
        panel()->updateButtonText();
    }
}

int RemoteRig::deviceListCount() {
    return window->getStackedDialog()->getDeviceList()->count();
}

TavikConfiguration *RemoteRig::waitForDevice(qint32 serial, int timeoutMs) {
    const auto admitted = [&] { return application->getConfiguration(serial) != nullptr; };
    return QTest::qWaitFor(admitted, timeoutMs) ? application->getConfiguration(serial) : nullptr;
}
