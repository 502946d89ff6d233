// The MIDI connection panel: reconnecting to remembered ports at start-up, connecting and disconnecting.
#include "FakeMidiPorts.h"
#include "SysExMessages.h"
#include "TestAppEnvironment.h"
#include "app/MyApplication.h"
#include "protocol/MIDI.h"
#include "windows/MIDIConnectDialog.h"
#include "windows/MainDialog.h"
#include "windows/MidiLinkView.h"
#include "windows/StackedTavikDialog.h"

#include <QComboBox>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QtTest>
#include <memory>

class TestMidiConnect : public QObject {
    Q_OBJECT

public:
    explicit TestMidiConnect(std::shared_ptr<FakeMidiState> fake) : fake(std::move(fake)) {}

private:
    std::shared_ptr<FakeMidiState> fake;

    static MIDI *midi() { return MyApplication::instance()->getMIDI(); }
    static void checkPanel(MIDIConnectDialog *panel, bool connected) {
        QCOMPARE(midi()->isConnected(), connected);
        QCOMPARE(panel->getConnectButton()->text(), connected ? QString("Disconnect!") : QString("Connect!"));
        QCOMPARE(panel->getInPortCombo()->isEnabled(), !connected);
        QCOMPARE(panel->getOutPortCombo()->isEnabled(), !connected);
    }

private slots:
    void init() {
        // Each case starts like a fresh program run: disconnected, no port chosen.
        if (midi()->isConnected())
            midi()->toggleConnectedStatus();
        midi()->setPortNumberIn(-1);
        midi()->setPortNumberOut(-1);
        MyApplication::instance()->getSettings()->clear();
    }

    void jumpStartUsesRememberedPorts_data() {
        QTest::addColumn<QVariant>("storedIn");
        QTest::addColumn<QVariant>("storedOut");
        QTest::addColumn<bool>("connects");
        QTest::newRow("none") << QVariant() << QVariant() << false;
        QTest::newRow("both") << QVariant(1) << QVariant(0) << true;
        QTest::newRow("input only") << QVariant(1) << QVariant() << false;
        QTest::newRow("output only") << QVariant() << QVariant(0) << false;
        QTest::newRow("output gone") << QVariant(0) << QVariant(5) << false;
    }
    void jumpStartUsesRememberedPorts() {
        QFETCH(QVariant, storedIn);
        QFETCH(QVariant, storedOut);
        QFETCH(bool, connects);
        QSettings *settings = MyApplication::instance()->getSettings();
        if (storedIn.isValid())
            settings->setValue("midiInPortnumber", storedIn);
        if (storedOut.isValid())
            settings->setValue("midiOutPortnumber", storedOut);

        MainDialog window(*MyApplication::instance());
        MIDIConnectDialog *panel = window.getStackedDialog()->getMIDIConnectDialog();
        checkPanel(panel, connects);
        if (connects) {
            // Listing the ports must not overwrite the remembered numbers before they are read.
            QCOMPARE(fake->openedIn, 1);
            QCOMPARE(fake->openedOut, 0);
            QCOMPARE(panel->getInPortCombo()->currentIndex(), 1);
            QCOMPARE(panel->getOutPortCombo()->currentIndex(), 0);
            panel->getConnectButton()->click();
            checkPanel(panel, false);
            QVERIFY(!fake->inOpen);
        }
    }

    void userPicksPortsConnectsAndDisconnects() {
        MainDialog window(*MyApplication::instance());
        MIDIConnectDialog *panel = window.getStackedDialog()->getMIDIConnectDialog();
        checkPanel(panel, false);
        panel->getInPortCombo()->setCurrentIndex(1);
        panel->getOutPortCombo()->setCurrentIndex(1);
        QCOMPARE(midi()->getPortNumberIn(), 1);
        QCOMPARE(midi()->getPortNumberOut(), 1);

        panel->getConnectButton()->click();
        checkPanel(panel, true);
        QCOMPARE(fake->openedIn, 1);
        QCOMPARE(fake->openedOut, 1);
        QCOMPARE(MyApplication::instance()->getSettings()->value("midiInPortnumber").toInt(), 1);

        // A device answering on the input is found by the poll tick.
        fake->incoming.push_back(TestSysEx::version(1, 12345, "Studio", 1, 2));
        QListWidget *list = window.getStackedDialog()->getDeviceList();
        QTRY_COMPARE(list->count(), 2);

        // Disconnecting drops the device and frees the lists again.
        panel->getConnectButton()->click();
        checkPanel(panel, false);
        QCOMPARE(list->count(), 1);
        QVERIFY(!MyApplication::instance()->getConfiguration(12345));
    }

    // While the link is open the lists hold this program's own ports, which close with it: the port
    // boxes enabled by Disconnect! must not offer them, or the next Connect! waits for a port that
    // never comes. And the notice of a missing port takes keys while the main window runs modal.
    void disconnectOffersOnlyPortsThatExistAndTheNoticeCanBeClosed() {
        MainDialog window(*MyApplication::instance());
        window.setWindowModality(Qt::ApplicationModal); // as exec() runs it
        window.show();
        MIDIConnectDialog *panel = window.getStackedDialog()->getMIDIConnectDialog();
        panel->getInPortCombo()->setCurrentIndex(1);
        panel->getOutPortCombo()->setCurrentIndex(1);
        panel->getConnectButton()->click();
        fake->inputNames.push_back("Own Out");
        midi()->checkPortLists();
        QCOMPARE(panel->getInPortCombo()->count(), 3);
        fake->inputNames.pop_back();
        panel->getConnectButton()->click();
        checkPanel(panel, false);
        QCOMPARE(panel->getInPortCombo()->count(), 2);

        panel->getConnectButton()->click();
        fake->inputNames.pop_back(); // "In B" goes while in use
        midi()->checkPortLists();
        checkPanel(panel, false);
        QMessageBox *notice = MyApplication::instance()->getMIDIView()->portNotice();
        QVERIFY(notice && notice->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(notice));
        QTest::keyClick(notice->windowHandle(), Qt::Key_Escape);
        QTRY_VERIFY(!notice->isVisible());
        fake->inputNames.push_back("In B");
    }
};

int main(int argc, char **argv) {
    TestAppEnvironment environment("Kalvenso Remote");
    auto fake = installFakeMidi({"In A", "In B"}, {"Out A", "Out B"});
    MyApplication app(argc, argv);
    TestMidiConnect test(fake);
    return QTest::qExec(&test, argc, argv);
}

#include "test_midi_connect.moc"
