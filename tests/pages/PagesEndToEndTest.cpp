// The device pages end to end: real widgets in the real application on RtMidi ports of a private JACK
// server, with tavik-sim as a Tavik Neo and a Tavik Lux. The simulator's log shows the bytes the devices
// received; the pages show what the devices reported back.
#include "JackServer.h"
#include "PageTestHarness.h"
#include "SimProcess.h"
#include "TestAppEnvironment.h"
#include "app/MyApplication.h"
#include "model/TavikConfiguration.h"
#include "pages/AudioLevelsDialog.h"
#include "pages/InfoDialog.h"
#include "pages/LockDialog.h"
#include "pages/LogoDialog.h"
#include "pages/QRoutingRadioButton.h"
#include "pages/RoutingDialog.h"
#include "pages/SMuxDialog.h"
#include "pages/SettingsDialog.h"
#include "pages/StatusDialog.h"
#include "pages/TavikFader.h"
#include "protocol/DeviceControl.h"
#include "protocol/MIDI.h"
#include "protocol/MidiMessage.h"
#include "windows/MIDIConnectDialog.h"
#include "windows/MainDialog.h"
#include "windows/StackedTavikDialog.h"
#include "windows/TavikConfigurationDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTest>
#include <QWindow>

namespace {

constexpr qint32 NeoSerial = 12345;
constexpr qint32 LuxSerial = 1234;
const QString NeoHeader = "F0 00 11 22 01 39 60 00 00";
const QString LuxHeader = "F0 00 11 22 05 52 09 00 00";

QImage resource(const char *name) {
    return QPixmap(QString(":/images/gui/") + name).toImage();
}

bool shows(QLabel *cell, const char *name) {
    return cell && !cell->pixmap().isNull() && cell->pixmap().toImage() == resource(name);
}

void clickAt(QWidget *widget, QPoint pos) {
    PageTestHarness::clickAt(widget, pos);
}

} // namespace

class PagesEndToEndTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<JackServer> server;
    std::unique_ptr<SimProcess> sim;
    std::unique_ptr<MainDialog> mainDialog;
    MyApplication *app = MyApplication::instance();

    TavikConfigurationDialog *window(qint32 serial) { return app->getConfigurationDialog(serial); }
    TavikConfiguration *cfg(qint32 serial) { return app->getConfiguration(serial); }
    // The first count values of a kind the Neo's record holds, as read by get(record, index).
    template <class Get> std::vector<int> neoValues(int count, Get get) {
        std::vector<int> values;
        for (int i = 0; i < count; ++i)
            values.push_back(get(cfg(NeoSerial), i));
        return values;
    }

    void select(qint32 serial) {
        TavikConfigurationDialog *dialog = window(serial);
        QVERIFY(dialog);
        QListWidget *list = mainDialog->getStackedDialog()->getDeviceList();
        const QList<QListWidgetItem *> items = list->findItems(dialog->getLabel(), Qt::MatchExactly);
        QVERIFY(!items.isEmpty());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualItemRect(items.first()).center());
        QCOMPARE(mainDialog->getStackedDialog()->getPageStack()->currentWidget(), dialog);
    }

    // True once the simulator logged that it received exactly these bytes.
    bool received(const QString &hex, int timeoutMs = 3000) {
        return sim->waitForLogLine(QRegularExpression("^RX " + QRegularExpression::escape(hex) + "$"),
                                   timeoutMs);
    }
    int receivedCount(const QString &hex) { return int(sim->logLines().count("RX " + hex)); }

    // Waits until the app has handled everything the device sent so far. The device's version replies
    // arrive in order with its reports, and at most one is under way at any time: so the second
    // refresh of its last-response time from now on comes from a reply sent after now.
    bool settle(qint32 serial) {
        for (int refresh = 0; refresh < 2; ++refresh) {
            const QDateTime before = cfg(serial)->getLastResponseTime();
            if (!QTest::qWaitFor([&] { return cfg(serial)->getLastResponseTime() > before; }, 3000))
                return false;
        }
        return true;
    }

    // Waits until the device answered the latest value command with a configuration report, and the app
    // has handled it.
    bool answered(qint32 serial) {
        const QString header = serial == NeoSerial ? NeoHeader : LuxHeader;
        const bool reported = QTest::qWaitFor(
            [&] {
                const QStringList lines = sim->logLines();
                int lastCommand = -1;
                for (int i = 0; i < lines.size(); ++i) {
                    if (lines[i].startsWith("RX " + header + " 01 "))
                        lastCommand = i;
                }
                for (int i = lastCommand + 1; i < lines.size(); ++i) {
                    if (lines[i].startsWith("TX " + header + " 40 "))
                        return true;
                }
                return false;
            },
            3000);
        return reported && settle(serial);
    }

    void setExtendedFunctions(bool on) {
        SettingsDialog *settings = window(NeoSerial)->getSettingsDialog();
        if (settings->getExtFunctionsBox()->isChecked() != on) {
            select(NeoSerial);
            clickAt(window(NeoSerial), QPoint(551 + 101 + 6, 185 + 129 + 6));
        }
        QCOMPARE(settings->getExtFunctionsBox()->isChecked(), on);
    }

private slots:
    void initTestCase() {
        QVERIFY(app);
        server = std::make_unique<JackServer>(JackServer::uniqueName("tavik-pages"));
        QVERIFY2(server->start(), qPrintable(server->diagnostics()));
        server->applyToThisProcess();
        sim = std::make_unique<SimProcess>(
            *server, QStringList{"--device", "neo:12345:Studio", "--device", "lux:1234:Stage"});
        QVERIFY2(sim->start(), qPrintable(sim->diagnostics()));

        mainDialog = std::make_unique<MainDialog>(*app);
        mainDialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(mainDialog.get()));
        MIDIConnectDialog *panel = mainDialog->getStackedDialog()->getMIDIConnectDialog();
        QPushButton *connectButton = panel->getConnectButton();
        // The panel may have connected at once to the first ports; start from the simulator's.
        if (app->getMIDI()->isConnected())
            clickAt(connectButton, connectButton->rect().center());
        QVERIFY(!app->getMIDI()->isConnected());
        // JACK may give the simulator's client a numbered name ("tavik-sim-01").
        const int in =
            panel->getInPortCombo()->findText("^tavik-sim(-\\d+)?:out$", Qt::MatchRegularExpression);
        const int out =
            panel->getOutPortCombo()->findText("^tavik-sim(-\\d+)?:in$", Qt::MatchRegularExpression);
        QVERIFY2(in >= 0 && out >= 0, "the simulator's ports are not listed");
        panel->getInPortCombo()->setCurrentIndex(in);
        panel->getOutPortCombo()->setCurrentIndex(out);
        clickAt(connectButton, connectButton->rect().center());
        QVERIFY(app->getMIDI()->isConnected());

        QVERIFY(QTest::qWaitFor([this] { return window(NeoSerial) && window(LuxSerial); }, 5000));
        // Both devices have reported their configuration, status and faders.
        QVERIFY(QTest::qWaitFor(
            [this] {
                return window(NeoSerial)->getInfoDialog()->getInfoText() != "" &&
                       window(LuxSerial)->getInfoDialog()->getInfoText() != "";
            },
            3000));
    }

    void cleanupTestCase() {
        if (app->getMIDI()->isConnected())
            app->getMIDI()->toggleConnectedStatus();
        mainDialog.reset();
        if (sim)
            sim->stop();
        if (server)
            server->stop();
    }

    void statusAndInfoShowTheReportedStatus() {
        // The simulated devices start at 48 kHz on their own clock: locked at 48 kHz, no input signal.
        for (qint32 serial : {NeoSerial, LuxSerial}) {
            StatusDialog *status = window(serial)->getStatusDialog();
            for (int i = 0; i < StatusDialog::CellCount; ++i) {
                if (status->getCell(i))
                    QVERIFY(shows(status->getCell(i), "in_ko.png"));
            }
        }
        QCOMPARE(window(NeoSerial)->getInfoDialog()->getInfoText(),
                 QString("selected:  Tavik Neo, 48kHz, locked"));
        QCOMPARE(window(LuxSerial)->getInfoDialog()->getInfoText(),
                 QString("selected:  Tavik Lux, 48kHz, locked"));
        QVERIFY(!window(LuxSerial)->getStatusDialog()->getCell(0));
    }

    void settingsReachTheDeviceAndItsStatusFollows() {
        setExtendedFunctions(true);
        TavikConfigurationDialog *neo = window(NeoSerial);
        clickAt(neo, QPoint(551 + 16 + 6, 185 + 127 + 6)); // 96 kHz
        QVERIFY(received(NeoHeader + " 01 00 05 00 F7"));
        clickAt(neo, QPoint(551 + 126 + 6, 185 + 87 + 6)); // ADAT
        QVERIFY(received(NeoHeader + " 01 00 05 02 F7"));
        QVERIFY(answered(NeoSerial));

        // The device now runs from its ADAT inputs at 96 kHz and says so.
        StatusDialog *status = neo->getStatusDialog();
        QVERIFY(QTest::qWaitFor([&] { return shows(status->getCell(3), "in_96.png"); }, 3000));
        QVERIFY(shows(status->getCell(6), "in_96.png"));
        for (int lamp : {4, 5, 7, 8})
            QVERIFY(shows(status->getCell(lamp), "in_ok.png"));
        for (int lamp : {1, 2, 10})
            QVERIFY(shows(status->getCell(lamp), "in_ko.png"));
        QVERIFY(shows(status->getCell(9), "in_ko.png"));
        QCOMPARE(neo->getInfoDialog()->getInfoText(), QString("selected:  Tavik Neo, 96kHz, locked"));
        QVERIFY(neo->getSettingsDialog()->getRateButton(4)->isChecked());
        QVERIFY(neo->getSettingsDialog()->getSyncButton(2)->isChecked());
        QCOMPARE(int(cfg(NeoSerial)->getFrequency()), 5);
        QCOMPARE(int(cfg(NeoSerial)->getSync()), 2);

        // On the Lux, 192 kHz stays out of reach; 44.1 kHz with word clock goes through.
        select(LuxSerial);
        TavikConfigurationDialog *lux = window(LuxSerial);
        QVERIFY(lux->getSettingsDialog()->getExtFunctionsBox()->isChecked());
        clickAt(lux, QPoint(551 + 16 + 6, 185 + 147 + 6));
        clickAt(lux, QPoint(551 + 16 + 6, 185 + 67 + 6));
        clickAt(lux, QPoint(551 + 126 + 6, 185 + 107 + 6));
        QVERIFY(received(LuxHeader + " 01 00 02 00 F7"));
        QVERIFY(received(LuxHeader + " 01 00 02 03 F7"));
        QCOMPARE(receivedCount(LuxHeader + " 01 00 06 00 F7"), 0);
        QVERIFY(answered(LuxSerial));
        StatusDialog *luxStatus = lux->getStatusDialog();
        QVERIFY(QTest::qWaitFor([&] { return shows(luxStatus->getCell(9), "in_441.png"); }, 3000));
        QVERIFY(shows(luxStatus->getCell(10), "in_ok.png"));
        QCOMPARE(lux->getInfoDialog()->getInfoText(), QString("selected:  Tavik Lux, 44.1kHz, locked"));
        setExtendedFunctions(false);
    }

    void routingClickReachesTheDevice() {
        select(NeoSerial);
        TavikConfigurationDialog *neo = window(NeoSerial);
        std::vector<int> routing = neoValues(12, [](auto *c, int i) { return c->getRouting(quint8(i)); });
        // Last button of the analog-output row at 32/44.1/48 kHz: fed from the ADAT inputs.
        clickAt(neo, QPoint(785 + 91 + 6, 37 + 77 + 6));
        routing[6] = 4;
        QVERIFY(received(NeoHeader + " 01 20 " + TestSysEx::hex(routing) + " F7"));
        QVERIFY(answered(NeoSerial));
        // The ADAT-output row at 88.2/96 kHz fed from the analog inputs.
        clickAt(neo, QPoint(785 + 91 + 6, 37 + 321 + 6));
        routing[10] = 2;
        QVERIFY(received(NeoHeader + " 01 20 " + TestSysEx::hex(routing) + " F7"));
        // The device reports the routing back; the page keeps showing it.
        QVERIFY(answered(NeoSerial));
        QCOMPARE(int(cfg(NeoSerial)->getRouting(10)), 2);
        RoutingDialog *page = neo->getRoutingDialog();
        QVERIFY(page->getButton(4)->isChecked());
        QVERIFY(page->getButton(25)->isChecked());
        QCOMPARE(int(page->getRoutingShown(6)), 4);
        QVERIFY(!window(LuxSerial)->getRoutingDialog()->isEnabled());
    }

    void smuxClickReachesTheDevice() {
        select(NeoSerial);
        TavikConfigurationDialog *neo = window(NeoSerial);
        std::vector<int> smux = neoValues(4, [](auto *c, int i) { return c->getSMUX(quint8(i)); });
        const int before = int(sim->logLines().size());
        clickAt(neo, QPoint(551 + 16 + 6, 360 + 147 + 6)); // MADI 48 -> 192 kHz
        smux[1] = 2;
        QVERIFY(received(NeoHeader + " 01 10 " + TestSysEx::hex(smux) + " F7"));
        QVERIFY(answered(NeoSerial));
        QVERIFY(neo->getSMuxDialog()->getButton(4)->isChecked());
        // The same click again changes nothing and sends nothing.
        clickAt(neo, QPoint(551 + 16 + 6, 360 + 147 + 6));
        clickAt(neo, QPoint(551 + 126 + 6, 360 + 67 + 6)); // ADAT 44.1 -> 88.2 kHz
        smux[2] = 1;
        QVERIFY(received(NeoHeader + " 01 10 " + TestSysEx::hex(smux) + " F7"));
        int smuxMessages = 0;
        for (const QString &line : sim->logLines().mid(before))
            smuxMessages += line.startsWith("RX " + NeoHeader + " 01 10") ? 1 : 0;
        QCOMPARE(smuxMessages, 2);
        QVERIFY(answered(NeoSerial));
        QCOMPARE(int(cfg(NeoSerial)->getSMUX(2)), 1);
        SMuxDialog *page = neo->getSMuxDialog();
        QVERIFY(page->getButton(4)->isChecked() && page->getButton(6)->isChecked());
    }

    void lockClickReachesTheDevice() {
        select(LuxSerial);
        TavikConfigurationDialog *lux = window(LuxSerial);
        QCheckBox *box = lux->getLockDialog()->getLockBox();
        QVERIFY(!box->isChecked());
        clickAt(lux, QPoint(5 + 6, 540 + box->height() / 2));
        QVERIFY(received(LuxHeader + " 01 02 01 F7"));
        QVERIFY(answered(LuxSerial));
        QCOMPARE(int(cfg(LuxSerial)->getLock()), 1);
        QVERIFY(box->isChecked());
        clickAt(lux, QPoint(5 + 6, 540 + box->height() / 2));
        QVERIFY(received(LuxHeader + " 01 02 00 F7"));
    }

    void faderDragEndsWithTheLatestValuesOnTheDevice() {
        select(NeoSerial);
        TavikConfigurationDialog *neo = window(NeoSerial);
        // Input fader 3 from where the device has it to the top.
        auto *slider = qobject_cast<QSlider *>(neo->childAt(QPoint(11 + 33 * 2 + 16, 37 + 40 + 100)));
        QVERIFY2(slider, "no fader at the place of input fader 3");
        PageTestHarness::dragKnobToTop(slider, 8, 2);

        TavikFader *moved = neo->getAudioLevelsDialog()->getTavikFader(18);
        QCOMPARE(moved->getSlider()->value(), 28);
        QCOMPARE(moved->getValueLabel()->text(), QString("+10.0"));
        const std::vector<int> values = neoValues(32, [](auto *c, int i) { return c->getFaderValue(i); });
        QCOMPARE(values[18], 28);
        // However the moves were merged, the last message the device got carries the final values.
        QVERIFY(QTest::qWaitFor(
            [&] {
                QString last;
                for (const QString &line : sim->logLines()) {
                    if (line.startsWith("RX " + NeoHeader + " 02 "))
                        last = line;
                }
                return last == "RX " + NeoHeader + " 02 20 " + TestSysEx::hex(values) + " F7";
            },
            3000));
        QVERIFY(QTest::qWaitFor([&] { return !cfg(NeoSerial)->isFaderSendPending(); }, 3000));
    }

    // A change made by code that knows no window, as a network front end would make it, is on the
    // pages at once, and drawing it sends nothing: the device gets the change's messages alone.
    void changeFromElsewhereIsDrawnAndNotSentBack() {
        DeviceControl elsewhere(app->getMIDI(), app->getRegistry());
        QVERIFY(elsewhere.origin() != app->getDeviceControl()->origin());
        std::vector<int> smux = neoValues(4, [](auto *c, int i) { return c->getSMUX(quint8(i)); });
        std::vector<int> faders = neoValues(32, [](auto *c, int i) { return c->getFaderValue(i); });
        smux[2] = 1 - smux[2];
        faders[16] = faders[16] == 5 ? 6 : 5;
        const int before = int(sim->logLines().size());
        QVERIFY(elsewhere.set(NeoSerial,
                              {{SettingTable::find("smux.adat_44.1"), quint8(smux[2])},
                               {SettingTable::find("fader.in.1"), quint8(faders[16])}},
                              DeviceControl::Check::Acknowledgements, 3000));
        TavikConfigurationDialog *neo = window(NeoSerial);
        QVERIFY(neo->getSMuxDialog()->getButton(5 + smux[2])->isChecked());
        QCOMPARE(neo->getAudioLevelsDialog()->getTavikFader(16)->getSlider()->value(), faders[16]);
        QVERIFY(received(NeoHeader + " 01 10 " + TestSysEx::hex(smux) + " F7"));
        QVERIFY(received(NeoHeader + " 02 20 " + TestSysEx::hex(faders) + " F7"));
        QVERIFY(answered(NeoSerial));
        QVERIFY(QTest::qWaitFor([&] { return !cfg(NeoSerial)->isFaderSendPending(); }, 3000));
        QStringList commands;
        for (const QString &line : sim->logLines().mid(before))
            if (line.startsWith("RX " + NeoHeader + " 01 ") || line.startsWith("RX " + NeoHeader + " 02 "))
                commands << line;
        QCOMPARE(commands.size(), 2);
    }

    void logoOpensTheAboutWindow() {
        TavikConfigurationDialog *neo = window(NeoSerial);
        clickAt(neo, QPoint(870 + 60, 4 + 16));
        QDialog *splash = neo->getLogoDialog()->getSplashWindow();
        QVERIFY(splash && splash->isVisible());
        QCOMPARE(splash->size(), QSize(489, 228));
        splash->close();
    }

    void screenshots() {
        const QString dir = qEnvironmentVariable("TAVIK_SCREENSHOT_DIR");
        if (dir.isEmpty())
            QSKIP("TAVIK_SCREENSHOT_DIR not set");
        QDir().mkpath(dir);
        setExtendedFunctions(true);
        for (qint32 serial : {NeoSerial, LuxSerial}) {
            select(serial);
            QTest::qWait(600); // one more status report from the device
            const QString name =
                serial == NeoSerial ? "tavikremote-neo-window.png" : "tavikremote-lux-window.png";
            QVERIFY(mainDialog->grab().save(dir + "/" + name));
        }
        setExtendedFunctions(false);
    }
};

int main(int argc, char **argv) {
    TestAppEnvironment environment("Kalvenso Remote Page End To End");
    MyApplication application(argc, argv);
    PagesEndToEndTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "PagesEndToEndTest.moc"
