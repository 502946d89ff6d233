// The MIDI monitor window fed through the link's message signals: decoded rows, filters, copy, saving,
// pause, the 10,000-message ring and silence once closed.
#include "FakeMidiPorts.h"
#include "SysExMessages.h"
#include "TestAppEnvironment.h"
#include "app/MyApplication.h"
#include "model/MonitorLog.h"
#include "protocol/MIDI.h"
#include "protocol/MidiCodec.h"
#include "windows/MidiMonitorModel.h"
#include "windows/MidiMonitorWindow.h"

#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace TavikSysEx;

namespace {
MIDI *link() {
    return MyApplication::instance()->getMIDI();
}
void in(const MidiMessage &m) {
    emit link()->messageReceived(m);
}
void out(const MidiMessage &m) {
    emit link()->messageSent(m);
}
MidiMessage status(quint32 serial) {
    return TestSysEx::report(FamilyLux, serial, GET_STATUS);
}
} // namespace

class TestMidiMonitor : public QObject {
    Q_OBJECT

    std::unique_ptr<MidiMonitorWindow> window;
    MidiMonitorModel *model() const { return window->model(); }
    QStringList row(int r) const {
        QStringList cells;
        for (int c = 0; c < MidiMonitorModel::ColumnCount; ++c)
            cells << model()->index(r, c).data().toString();
        return cells.mid(1); // the time aside
    }
    QStringList commands() const {
        QStringList names;
        for (int r = 0; r < model()->rowCount(); ++r)
            names << model()->index(r, MidiMonitorModel::CommandColumn).data().toString();
        return names;
    }
    // Two devices, one of them named by its record, a broadcast and a malformed report.
    void feedMixed() {
        MidiMessage version = TestSysEx::version(FamilyNeo, 12345, "Studio");
        link()->parseMsg(0.0, &version); // registers the record
        in(version);
        out(TestSysEx::message(FamilyNeo, BroadcastSerial, SEND_INFO));
        in(TestSysEx::report(FamilyNeo, 12345, GET_FADERS));
        in(status(1234));
        in(TestSysEx::message(FamilyNeo, 12345, GET_STATUS, {0, 0})); // short
        window->takeUp();
    }

private slots:
    void init() {
        window = std::make_unique<MidiMonitorWindow>(MyApplication::instance());
        window->open();
    }
    void cleanup() {
        window.reset();
        MyApplication::instance()->removeConfiguration(12345);
        MyApplication::instance()->removeConfiguration(1234);
    }

    void rowsAreDecodedAndMalformedOnesMarked() {
        QCOMPARE(window->windowTitle(), QStringLiteral("Kalvenso Remote - MIDI monitor"));
        feedMixed();
        QCOMPARE(model()->rowCount(), 5);
        QCOMPARE(row(0), (QStringList{"in", "141-202-380 Studio", "GET_VERSION", "Studio, version 1.7"}));
        QCOMPARE(row(1), (QStringList{"out", "all", "SEND_INFO", ""}));
        QVERIFY(row(2)[3].startsWith("out1 "));
        QCOMPARE(row(3).mid(0, 3), (QStringList{"in", "030-101-260", "GET_STATUS"}));
        MidiMessage version = TestSysEx::version(FamilyLux, 1234, "Stage");
        link()->parseMsg(0.0, &version); // named once its record is there
        QCOMPARE(row(3)[1], "030-101-260 Stage");
        QCOMPARE(row(4).mid(0, 3), (QStringList{"in", "141-202-380 Studio", "malformed GET_STATUS"}));
        QCOMPARE(row(4)[3], "13 bytes (expected 15)  [F0 00 11 22 01 39 60 00 00 41 00 00 F7]");
        const QModelIndex bad = model()->index(4, 0), good = model()->index(3, 0);
        QVERIFY(bad.data(Qt::BackgroundRole).isValid() && !good.data(Qt::BackgroundRole).isValid());
        // A line as `tavikctl monitor` prints it.
        QVERIFY(
            QRegularExpression(
                "^in   \\d\\d:\\d\\d:\\d\\d\\.\\d{3}  141-202-380 Studio  GET_VERSION  Studio, version 1.7$")
                .match(model()->lineAt(0))
                .hasMatch());
        // Anything at all is kept: an empty message and one that is not SysEx.
        in({});
        in({0x90, 0x40, 0x7F});
        window->takeUp();
        QCOMPARE(commands().mid(5), (QStringList{"malformed", "malformed"}));
    }

    void filtersByDeviceAndCommand() {
        feedMixed();
        const QComboBox *devices = window->deviceFilter();
        QCOMPARE(devices->count(), 3);
        QCOMPARE(devices->itemText(1), "030-101-260");
        QCOMPARE(devices->itemText(2), "141-202-380 Studio");
        window->open(12345); // its rows and the broadcast
        QCOMPARE(devices->currentData().toInt(), 12345);
        QCOMPARE(commands(), (QStringList{"GET_VERSION", "SEND_INFO", "GET_FADERS", "malformed GET_STATUS"}));
        window->model()->setCommandFilter("GET_STATUS"); // well-formed ones only
        QCOMPARE(model()->rowCount(), 0);
        in(status(12345));
        in(status(1234));
        window->takeUp();
        QCOMPARE(commands(), QStringList{"GET_STATUS"});
        window->model()->setCommandFilter(MidiMonitorModel::kMalformed);
        QCOMPARE(commands(), QStringList{"malformed GET_STATUS"});
        window->open(); // every device
        QCOMPARE(devices->currentIndex(), 0);
        window->model()->setCommandFilter("GET_STATUS");
        QCOMPARE(model()->rowCount(), 3);
        window->open(777); // not met yet: listed at once
        QCOMPARE(devices->currentText(), MidiCodec::serialCode(777));
        QCOMPARE(model()->rowCount(), 0);
    }

    void copiesAndSavesTheRowsShown() {
        feedMixed();
        window->model()->setDeviceFilter(1234);
        QCOMPARE(model()->rowCount(), 2); // broadcast and status
        window->view()->selectAll();
        window->copySelection();
        const QStringList lines = QGuiApplication::clipboard()->text().split('\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], model()->lineAt(0));
        QCOMPARE(lines[1], model()->lineAt(1));
        QVERIFY(lines[1].endsWith("  030-101-260  GET_STATUS  ADAT A --- no signal unlocked, "
                                  "ADAT B --- no signal unlocked, BNC --- no signal"));

        QTemporaryDir dir;
        QVERIFY(window->saveTo(dir.filePath("m.syx")));
        QFile syx(dir.filePath("m.syx"));
        QVERIFY(syx.open(QIODevice::ReadOnly));
        MidiMessage expected = TestSysEx::message(FamilyNeo, BroadcastSerial, SEND_INFO);
        const MidiMessage second = status(1234);
        expected.insert(expected.end(), second.begin(), second.end());
        QCOMPARE(syx.readAll(), QByteArray(reinterpret_cast<const char *>(expected.data()), expected.size()));
        QVERIFY(window->saveTo(dir.filePath("m.txt")));
        QFile txt(dir.filePath("m.txt"));
        QVERIFY(txt.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(txt.readAll()), lines.join('\n'));
        QString error;
        QVERIFY(!window->saveTo(dir.filePath("none/m.txt"), &error));
        QVERIFY(!error.isEmpty());
        // Through the button: the chosen filter decides the kind of file and its suffix.
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->selectNameFilter("SysEx (*.syx)");
            dialog->selectFile(dir.filePath("picked.txt"));
            static_cast<QDialog *>(dialog)->accept();
        });
        for (QPushButton *button : window->findChildren<QPushButton *>())
            if (button->text() == "Save...")
                button->click();
        QFile picked(dir.filePath("picked.syx"));
        QVERIFY(picked.open(QIODevice::ReadOnly));
        QCOMPARE(picked.size(), qint64(expected.size()));
    }

    void pauseKeepsTheListAndClearEmptiesIt() {
        in(status(1234));
        window->setPaused(true);
        in(status(1235));
        window->takeUp();
        QCOMPARE(model()->rowCount(), 1);
        window->pauseButton()->click(); // resumes
        QVERIFY(!window->isPaused());
        in(status(1236));
        window->takeUp();
        QCOMPARE(window->log()->size(), 2);
        QCOMPARE(model()->entryAt(1)->serial, 1236);
        window->clear();
        QCOMPARE(model()->rowCount(), 0);
        QCOMPARE(window->log()->size(), 0);
    }

    void keepsTheLastTenThousand() {
        const int total = 10050;
        for (int i = 0; i < 10000; ++i)
            in(status(quint32(2 + i)));
        QTRY_COMPARE(model()->rowCount(), 10000); // taken up by the window's own timer
        QScrollBar *scroll = window->view()->verticalScrollBar();
        scroll->setValue(100); // someone reading: the rows stay in place as the oldest are dropped
        for (int i = 10000; i < total; ++i)
            in(status(quint32(2 + i)));
        window->takeUp();
        QCOMPARE(model()->rowCount(), 10000);
        QCOMPARE(window->log()->size(), MonitorLog::kCapacity);
        QCOMPARE(model()->entryAt(0)->serial, 2 + 50);
        QCOMPARE(model()->entryAt(9999)->serial, 2 + total - 1);
        QCOMPARE(model()->index(0, MidiMonitorModel::DeviceColumn).data().toString(), "050-000-020");
        QCOMPARE(model()->entryAt(scroll->value())->serial, 2 + 100);
    }

    void aClosedMonitorNoLongerListens() {
        window->close();
        in(status(1234));
        out(status(1234));
        window->takeUp();
        QCOMPARE(window->log()->size(), 0);
        window->open();
        in(status(1234));
        window->takeUp();
        QCOMPARE(model()->rowCount(), 1);
    }
};

int main(int argc, char **argv) {
    TestAppEnvironment environment("Kalvenso Remote");
    auto fake = installFakeMidi();
    MyApplication app(argc, argv);
    TestMidiMonitor test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_midi_monitor.moc"
