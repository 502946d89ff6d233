// Snapshots, sync marks and the context menu of the main window, in the real application on RtMidi
// ports of a private JACK server with tavik-sim as a Tavik Neo and a Tavik Lux.
#include "JackServer.h"
#include "MessageBoxCloser.h"
#include "SimProcess.h"
#include "TestAppEnvironment.h"
#include "app/MyApplication.h"
#include "model/DeviceClock.h"
#include "model/SnapshotFile.h"
#include "model/TavikConfiguration.h"
#include "protocol/MIDI.h"
#include "windows/CompareDialog.h"
#include "windows/DeviceActions.h"
#include "windows/MIDIConnectDialog.h"
#include "windows/MainDialog.h"
#include "windows/MidiMonitorWindow.h"
#include "windows/StackedTavikDialog.h"
#include "windows/SyncMarks.h"
#include "windows/TavikConfigurationDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>

namespace {
constexpr qint32 NeoSerial = 12345;
constexpr qint32 LuxSerial = 1234;
const QString NeoHeader = "F0 00 11 22 01 39 60 00 00";

// Calls answer once with the first visible top-level widget of type W; seen() tells whether it came.
template <class W> class Answer {
public:
    explicit Answer(std::function<void(W *)> answer) {
        QObject::connect(&m_timer, &QTimer::timeout, [this, answer] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *widget = qobject_cast<W *>(w); widget && widget->isVisible() && !m_seen) {
                    m_seen = true;
                    answer(widget);
                }
        });
        m_timer.start(20);
    }
    bool seen() const { return m_seen; }

private:
    QTimer m_timer;
    bool m_seen = false;
};

// Answers the file dialog with path and keeps the file name and folder it offered.
struct FileAnswer : Answer<QFileDialog> {
    explicit FileAnswer(const QString &path)
        : Answer([this, path](QFileDialog *d) {
              offered = QFileInfo(d->selectedFiles().value(0)).fileName();
              folder = d->directory().absolutePath();
              // Typed, as a user would: a file just written may not be listed yet.
              d->findChild<QLineEdit *>("fileNameEdit")->setText(path);
              QMetaObject::invokeMethod(d, "accept");
          }) {}
    QString offered, folder;
};
} // namespace

class TestDeviceActions : public QObject {
    Q_OBJECT

    std::unique_ptr<JackServer> server;
    std::unique_ptr<SimProcess> sim;
    std::unique_ptr<MainDialog> window;
    DeviceActions *actions = nullptr;
    MyApplication *app = MyApplication::instance();
    QTemporaryDir files;

    TavikConfiguration *cfg(qint32 serial) { return app->getConfiguration(serial); }
    QListWidget *list() { return window->getStackedDialog()->getDeviceList(); }
    int rowOf(qint32 serial) {
        for (int row = 0; row < list()->count(); ++row)
            if (actions->deviceOfRow(row) == serial)
                return row;
        return -1;
    }
    void show(qint32 serial) { list()->setCurrentRow(rowOf(serial)); }
    void press(Qt::Key key) {
        QTest::keyClick(window.get(), key, Qt::ControlModifier);
        QCoreApplication::processEvents();
    }
    // SET_VALUES to either device.
    int setValuesReceived() {
        return int(
            sim->logLines().filter(QRegularExpression("^RX F0 00 11 22 0[15] [0-9A-F ]{11} 01 ")).size());
    }
    // A snapshot of the Neo as it is, with values changed.
    struct Change {
        DeviceSnapshot::Group group;
        int slot;
        quint8 value;
    };
    QString neoFileWith(std::initializer_list<Change> changes, const QString &name) {
        QStringList errors;
        DeviceSnapshot snap =
            *DeviceSnapshot::fromConfiguration(*cfg(NeoSerial), QDateTime::currentDateTimeUtc(), &errors);
        DeviceSnapshot::Values values = snap.values();
        for (const Change &c : changes)
            DeviceSnapshot::setValueAt(values, c.group, c.slot, c.value);
        const QString path = files.filePath(name);
        QString error;
        DeviceSnapshot changed(snap.family(), snap.serial(), values);
        changed.setSaved(snap.saved());
        SnapshotFile::write(changed, path, &error);
        return path;
    }

private slots:
    void initTestCase() {
        server = std::make_unique<JackServer>(JackServer::uniqueName("tavik-actions"));
        QVERIFY2(server->start(), qPrintable(server->diagnostics()));
        server->applyToThisProcess();
        sim = std::make_unique<SimProcess>(*server, QStringList{"--device", "neo:12345:Studio", "--device",
                                                                "lux:1234:Stage", "--drop-ack-faders", "2"});
        QVERIFY2(sim->start(), qPrintable(sim->diagnostics()));
        window = std::make_unique<MainDialog>(*app);
        actions = new DeviceActions(window.get(), app);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        MIDIConnectDialog *panel = window->getStackedDialog()->getMIDIConnectDialog();
        if (app->getMIDI()->isConnected())
            app->getMIDI()->toggleConnectedStatus();
        panel->getInPortCombo()->setCurrentIndex(
            panel->getInPortCombo()->findText("^tavik-sim(-\\d+)?:out$", Qt::MatchRegularExpression));
        panel->getOutPortCombo()->setCurrentIndex(
            panel->getOutPortCombo()->findText("^tavik-sim(-\\d+)?:in$", Qt::MatchRegularExpression));
        panel->getConnectButton()->click();
        QVERIFY(QTest::qWaitFor(
            [this] { return rowOf(NeoSerial) > 0 && rowOf(LuxSerial) > 0 && cfg(NeoSerial)->getFrequency(); },
            5000));
        app->getSettings()->setValue(DeviceActions::kFolderKey, files.path());
    }
    void cleanupTestCase() {
        if (app->getMIDI()->isConnected())
            app->getMIDI()->toggleConnectedStatus();
        window.reset();
        sim->stop();
        server->stop();
    }

    void placeholderOffersOnlyTheMonitor() {
        list()->setCurrentRow(0);
        QCOMPARE(actions->shownDevice(), 0);
        FileAnswer answer(files.filePath("never.json"));
        for (Qt::Key key : {Qt::Key_S, Qt::Key_O, Qt::Key_D})
            press(key);
        QVERIFY(!answer.seen());
        QList<bool> enabled;
        for (QAction *action : actions->menuFor(0)->actions())
            enabled << action->isEnabled();
        QCOMPARE(enabled, (QList<bool>{false, false, false, true}));
    }

    void saveOffersTheDeviceNameAndWritesTheFile() {
        show(NeoSerial);
        const QString path = files.filePath("saved.json");
        FileAnswer answer(path);
        press(Qt::Key_S);
        QCOMPARE(answer.offered, QString("Studio 141-202-380.json"));
        QCOMPARE(answer.folder, files.path());
        QStringList errors;
        const std::optional<DeviceSnapshot> saved = SnapshotFile::read(path, &errors);
        QVERIFY2(saved, qPrintable(errors.join('\n')));
        QCOMPARE(saved->serial(), NeoSerial);
        QCOMPARE(saved->values().of(SettingTable::Faders),
                 DeviceSnapshot::valuesOf(*cfg(NeoSerial)).of(SettingTable::Faders));
    }

    void badFileSendsNothing() {
        show(NeoSerial);
        QFile bad(files.filePath("bad.json"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        QFile saved(files.filePath("saved.json"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        bad.write(saved.readAll().replace("\"version\": 1", "\"version\": 7"));
        bad.close();
        const int before = setValuesReceived();
        MessageBoxCloser boxes;
        FileAnswer answer(bad.fileName());
        press(Qt::Key_O);
        QVERIFY(QTest::qWaitFor([&] { return !boxes.texts.isEmpty(); }, 3000));
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY2(boxes.texts[0].contains("version") && boxes.texts[0].contains('7'),
                 qPrintable(boxes.texts[0]));
        QTest::qWait(300);
        QCOMPARE(setValuesReceived(), before);
    }

    void loadSendsOnlyTheDifferingGroupAndTheDeviceConfirmsIt() {
        show(NeoSerial);
        const quint8 rate = cfg(NeoSerial)->getFrequency();
        const QString path = neoFileWith({{SettingTable::RateAndSync, 1, 2}}, "adat.json");
        const int before = setValuesReceived();
        MessageBoxCloser boxes;
        FileAnswer answer(path);
        press(Qt::Key_O);
        const QString sent =
            NeoHeader + QString(" 01 00 %1 02 F7").arg(int(rate), 2, 16, QChar('0')).toUpper();
        QVERIFY(
            sim->waitForLogLine(QRegularExpression("^RX " + QRegularExpression::escape(sent) + "$"), 3000));
        // The whole check runs; nothing is wrong, so nothing is shown.
        QTest::qWait(DeviceActions::kLoadCheckMs + 300);
        QCOMPARE(boxes.texts, QStringList());
        QCOMPARE(setValuesReceived(), before + 1);
        QCOMPARE(int(cfg(NeoSerial)->getSync()), 2);
        QCOMPARE(actions->syncMarks()->shownState(NeoSerial), SyncMarks::InSync);
    }

    void compareListsEveryDifferenceInThePagesWords() {
        show(NeoSerial);
        const quint8 fader = cfg(NeoSerial)->getFaderValue(2), smux = cfg(NeoSerial)->getSMUX(0);
        const QString path = neoFileWith({{SettingTable::Lock, 0, quint8(cfg(NeoSerial)->getLock() ? 0 : 1)},
                                          {SettingTable::Smux, 0, quint8(smux ? 0 : 1)},
                                          {SettingTable::Faders, 2, quint8(fader ? fader - 1 : 1)}},
                                         "changed.json");
        QStringList rows, same;
        Answer<CompareDialog> read([&](CompareDialog *d) {
            for (int i = 0; i < d->rows()->topLevelItemCount(); ++i)
                rows << d->rows()->topLevelItem(i)->text(0);
            if (const QString dir = qEnvironmentVariable("TAVIK_SCREENSHOT_DIR"); !dir.isEmpty())
                d->grab().save(dir + "/tavikremote-compare.png");
            d->reject();
        });
        FileAnswer answer(path);
        press(Qt::Key_D);
        QCOMPARE(rows, (QStringList{"Locked", "SMUX MADI 44.1", "Output channel 3"}));
        // The Lux against a Neo file: routing is not compared, the rest differs only where it does.
        FileAnswer again(files.filePath("saved.json"));
        Answer<CompareDialog> other([&](CompareDialog *d) {
            same << d->findChild<QLabel *>("compareNotCompared")->text();
            d->reject();
        });
        actions->compareWithSnapshot(LuxSerial);
        QVERIFY2(same.value(0).contains("Routing"), qPrintable(same.value(0)));
    }

    void contextMenuOpensTheMonitorForTheDeviceUnderTheMouse() {
        QListWidgetItem *lux = list()->item(rowOf(LuxSerial));
        emit list()->customContextMenuRequested(list()->visualItemRect(lux).center());
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QStringList texts;
        for (QAction *action : menu->actions())
            texts << action->text();
        QCOMPARE(texts, (QStringList{"Save snapshot\u2026", "Load snapshot\u2026",
                                     "Compare with snapshot\u2026", "MIDI monitor"}));
        menu->actions().last()->trigger();
        menu->close();
        QVERIFY(QTest::qWaitFor([&] { return actions->monitor() && actions->monitor()->isVisible(); }, 3000));
        QCOMPARE(actions->monitor()->windowTitle(), QString("Kalvenso Remote - MIDI monitor"));
        QCOMPARE(actions->monitor()->deviceFilter()->currentData().toInt(), LuxSerial);
        actions->monitor()->close();
    }

    void markShowsWaitingThenNotAnswering() {
        const QImage plain = list()->item(rowOf(LuxSerial))->icon().pixmap(list()->iconSize()).toImage();
        // The simulator drops every second ACK FADERS: the second change waits, until the lost
        // acknowledgement is given up and the faders are sent again.
        MIDI *link = app->getMIDI();
        for (int round = 0; round < 2; ++round) {
            cfg(LuxSerial)->setFaderValue(0, quint32(10 + round));
            link->sendFadersFlowControlled(LuxSerial);
            if (round == 0)
                QVERIFY(QTest::qWaitFor([&] { return !cfg(LuxSerial)->isFaderSendPending(); }, 3000));
        }
        QVERIFY(QTest::qWaitFor(
            [&] { return actions->syncMarks()->shownState(LuxSerial) == SyncMarks::Waiting; }, 3000));
        QListWidgetItem *item = list()->item(rowOf(LuxSerial));
        QVERIFY2(item->toolTip().startsWith("Waiting for the device to acknowledge since "),
                 qPrintable(item->toolTip()));
        QVERIFY(item->icon().pixmap(list()->iconSize()).toImage() != plain);
        if (const QString dir = qEnvironmentVariable("TAVIK_SCREENSHOT_DIR"); !dir.isEmpty())
            list()->grab().save(dir + "/tavikremote-sync-mark.png");
        QVERIFY(QTest::qWaitFor(
            [&] { return actions->syncMarks()->shownState(LuxSerial) == SyncMarks::InSync; }, 5000));
        QCOMPARE(item->icon().pixmap(list()->iconSize()).toImage(), plain);

        // A version reply late by a few hundred milliseconds is jitter; a query not answered at all is not.
        TavikConfiguration quiet(4321);
        const QDateTime now = DeviceClock::now();
        quiet.setLastResponseTime(now.addMSecs(-1400));
        QCOMPARE(SyncMarks::stateOf(quiet, now), SyncMarks::InSync);
        quiet.setLastResponseTime(now.addMSecs(-1900));
        QCOMPARE(SyncMarks::stateOf(quiet, now), SyncMarks::NotAnswering);

        sim->command("silent 1234");
        QVERIFY(QTest::qWaitFor(
            [&] { return actions->syncMarks()->shownState(LuxSerial) == SyncMarks::NotAnswering; }, 3000));
        QVERIFY2(list()->item(rowOf(LuxSerial))->toolTip().startsWith("Not answering since "),
                 qPrintable(item->toolTip()));
        sim->command("resume 1234");
    }
};

int main(int argc, char **argv) {
    TestAppEnvironment environment("Kalvenso Remote Device Actions");
    MyApplication application(argc, argv);
    TestDeviceActions test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_device_actions.moc"
