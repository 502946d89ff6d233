// The device list and page stack of the main window, with devices admitted through the real dispatcher.
#include "FakeMidiPorts.h"
#include "SysExMessages.h"
#include "TestAppEnvironment.h"
#include "app/MyApplication.h"
#include "model/TavikConfiguration.h"
#include "protocol/MIDI.h"
#include "protocol/MidiCodec.h"
#include "windows/MIDIConnectDialog.h"
#include "windows/MainDialog.h"
#include "windows/StackedTavikDialog.h"
#include "windows/TavikConfigurationDialog.h"

#include "pages/AudioLevelsDialog.h"
#include "pages/InfoDialog.h"
#include "pages/LockDialog.h"
#include "pages/LogoDialog.h"
#include "pages/RoutingDialog.h"
#include "pages/SMuxDialog.h"
#include "pages/SettingsDialog.h"
#include "pages/StatusDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QtTest>
#include <memory>

class TestDeviceList : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MainDialog> window;
    StackedTavikDialog *stack() const { return window->getStackedDialog(); }
    QListWidget *list() const { return stack()->getDeviceList(); }
    QStringList labels() const {
        QStringList texts;
        for (int row = 0; row < list()->count(); ++row)
            texts << list()->item(row)->text();
        return texts;
    }
    QString shownLabel() const {
        return qobject_cast<TavikConfigurationDialog *>(stack()->getPageStack()->currentWidget())->getLabel();
    }
    static void admit(unsigned char family, qint32 serialNo, const char *name) {
        MidiMessage reply = TestSysEx::version(family, quint32(serialNo), name, 1, 2);
        MyApplication::instance()->getMIDI()->parseMsg(0.0, &reply);
    }
    static QString label(qint32 serialNo, const QString &name) {
        const QString code = MidiCodec::serialCode(serialNo);
        return name.isEmpty() ? code : name + "\n(" + code + ")";
    }

private slots:
    void init() {
        MyApplication::instance()->getSettings()->setValue("ExtFunctionsEnabled", 0);
        window = std::make_unique<MainDialog>(*MyApplication::instance());
    }
    void cleanup() {
        MyApplication::instance()->removeAllDevices();
        window.reset();
        // A device record left without a window (no page stack to remove it from).
        MyApplication::instance()->removeConfiguration(12345);
    }

    void placeholderFillsTheEmptyWindow() {
        QCOMPARE(labels(), QStringList{QString()});
        auto *placeholder = MyApplication::instance()->getConfigurationDialog(1);
        QVERIFY(placeholder);
        QCOMPARE(stack()->getPageStack()->currentWidget(), placeholder);
        QVERIFY(placeholder->getLogoDialog()->isEnabled());
        QVERIFY(placeholder->getInfoDialog()->isEnabled());
        for (QWidget *page :
             {(QWidget *)placeholder->getAudioLevelsDialog(), (QWidget *)placeholder->getStatusDialog(),
              (QWidget *)placeholder->getSettingsDialog(), (QWidget *)placeholder->getSMuxDialog(),
              (QWidget *)placeholder->getRoutingDialog(), (QWidget *)placeholder->getLockDialog()})
            QVERIFY(!page->isEnabled());
    }

    void firstDeviceIsSelectedLaterOnesKeepTheSelection() {
        admit(1, 12345, "Studio");
        QCOMPARE(labels(), (QStringList{QString(), label(12345, "Studio")}));
        QCOMPARE(list()->currentRow(), 1);
        QCOMPARE(shownLabel(), label(12345, "Studio"));
        QVERIFY(!list()->item(1)->icon().isNull());
        QVERIFY(MyApplication::instance()->getConfigurationDialog(12345)->getRoutingDialog()->isEnabled());

        // Sorts before the first device: takes row 1, but the selection stays where it was.
        admit(5, 1234, "Alpha");
        QCOMPARE(list()->item(1)->text(), label(1234, "Alpha"));
        QCOMPARE(list()->currentItem()->text(), label(12345, "Studio"));
        QCOMPARE(shownLabel(), label(12345, "Studio"));
        QVERIFY(!MyApplication::instance()->getConfigurationDialog(1234)->getRoutingDialog()->isEnabled());

        // Selecting an entry shows its window.
        list()->setCurrentRow(1);
        QCOMPARE(shownLabel(), label(1234, "Alpha"));
    }

    void listIsSortedByLabelWhateverTheOrderOfDiscovery() {
        const QStringList expected{QString(), label(777, ""), label(300, "A"), label(200, "B")};
        admit(1, 200, "B");
        admit(5, 777, "");
        admit(1, 300, "A");
        QCOMPARE(labels(), expected);
        MyApplication::instance()->removeAllDevices();
        QCOMPARE(labels(), QStringList{QString()});
        admit(1, 300, "A");
        admit(1, 200, "B");
        admit(5, 777, "");
        QCOMPARE(labels(), expected);
    }

    void labelsShowNameAndSerialCode() {
        TavikConfiguration unnamed(12345);
        TavikConfigurationDialog plain(&unnamed, *MyApplication::instance(), nullptr);
        QCOMPARE(plain.getLabel(), QString("141-202-380"));
        QCOMPARE(QByteArray(plain.getSerialCode()), QByteArray("141-202-380"));
        TavikConfiguration named(12345);
        const char name[17] = "Studio"; // the record copies a whole 17-byte name buffer
        named.setDeviceName(name);
        TavikConfigurationDialog withName(&named, *MyApplication::instance(), nullptr);
        QCOMPARE(withName.getLabel(), QString("Studio\n(141-202-380)"));
    }

    void removingAWindowTakesOnlyItsEntry() {
        admit(1, 12345, "Studio");
        admit(5, 1234, "Stage");
        stack()->removePage(999); // unknown: nothing goes
        QCOMPARE(labels().size(), 3);
        QCOMPARE(stack()->getPageStack()->count(), 3);

        // Removing the selected device moves the selection, and the shown window follows it.
        QCOMPARE(list()->currentItem()->text(), label(12345, "Studio"));
        stack()->removePage(12345);
        QCOMPARE(labels(), (QStringList{QString(), label(1234, "Stage")}));
        QCOMPARE(stack()->getPageStack()->count(), 2);
        QCOMPARE(shownLabel(), list()->currentItem()->text());
        QVERIFY(!MyApplication::instance()->getConfigurationDialog(12345));
    }

    void invalidArgumentsAreRefusedWithoutEndingTheProgram() {
        QIcon icon;
        QTest::ignoreMessage(QtWarningMsg, "addPage() got an invalid widget-pointer, aborting program!");
        stack()->addPage(nullptr, &icon);
        QCOMPARE(list()->count(), 1);

        TavikConfiguration configuration(4321);
        auto *page = new TavikConfigurationDialog(&configuration, *MyApplication::instance(), stack());
        QTest::ignoreMessage(QtWarningMsg, "addPage() got an invalid icon-pointer, aborting program!");
        stack()->addPage(page, nullptr);
        QCOMPARE(list()->count(), 2);
        QVERIFY(list()->item(1)->icon().isNull());
        stack()->removePage(4321);

        stack()->changePage(nullptr, nullptr);
        QListWidgetItem stray("no such device");
        stack()->changePage(&stray, nullptr);
        QCOMPARE(stack()->getPageStack()->count(), 1);
    }

    void extendedFunctionsReachRealDevicesAndAreRemembered() {
        admit(1, 12345, "Studio");
        auto *placeholder = MyApplication::instance()->getConfigurationDialog(1);
        stack()->setExtFunctionsEnabled(true);
        QCOMPARE(MyApplication::instance()->getSettings()->value("ExtFunctionsEnabled").toInt(), 1);
        QVERIFY(MyApplication::instance()
                    ->getConfigurationDialog(12345)
                    ->getSettingsDialog()
                    ->getExtFunctionsBox()
                    ->isChecked());
        QVERIFY(!placeholder->getSettingsDialog()->getExtFunctionsBox()->isChecked());
        admit(5, 1234, "Stage"); // a device found later gets the stored flag
        QVERIFY(MyApplication::instance()
                    ->getConfigurationDialog(1234)
                    ->getSettingsDialog()
                    ->getExtFunctionsBox()
                    ->isChecked());

        MyApplication::instance()->removeAllDevices();
        window = std::make_unique<MainDialog>(*MyApplication::instance()); // the next start reads it back
        QVERIFY(stack()->isExtFunctionsEnabled());
        stack()->setExtFunctionsEnabled(false);
        QCOMPARE(MyApplication::instance()->getSettings()->value("ExtFunctionsEnabled").toInt(), 0);
    }

    void aClosedWindowIsNoLongerReachable() {
        window.reset();
        QVERIFY(!MyApplication::instance()->getMainDialog());
        admit(1, 12345, "Studio"); // finds no page stack, and must not touch the destroyed one
        QVERIFY(!MyApplication::instance()->getConfigurationDialog(12345));
    }

    void windowHasFixedSizeAndPlaces() {
        window->show();
        window->resize(1600, 900);
        QCOMPARE(window->size(), QSize(1249, 616));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QCOMPARE(stack()->geometry(), QRect(4, 8, 1247, 609));
        QCOMPARE(list()->geometry(), QRect(0, 37, 229, 421));
        QCOMPARE(stack()->getPageStack()->geometry(), QRect(233, 0, 1010, 605));
        auto *panel = stack()->getMIDIConnectDialog();
        QCOMPARE(panel->geometry(), QRect(0, 462, 229, 143));
        QCOMPARE(panel->getInPortCombo()->geometry(), QRect(28, 41, 172, 20));
        QCOMPARE(panel->getOutPortCombo()->geometry(), QRect(28, 82, 172, 20));
        QCOMPARE(panel->getConnectButton()->geometry(), QRect(56, 112, 117, 20));
    }
};

int main(int argc, char **argv) {
    TestAppEnvironment environment("Kalvenso Remote");
    auto fake = installFakeMidi({"In A", "In B"}, {"Out A", "Out B"});
    MyApplication app(argc, argv);
    TestDeviceList test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_device_list.moc"
