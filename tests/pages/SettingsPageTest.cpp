// Settings page: enabled state by device type, the extended-functions switch across windows, sends.
#include "PageTest.h"

#include "app/MyApplication.h"
#include "model/TavikConfiguration.h"
#include "pages/SettingsDialog.h"
#include "protocol/LogSwitch.h"
#include "windows/TavikConfigurationDialog.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QSettings>
#include <QTest>

namespace {

const QPoint SettingsPage(551, 185);
const QPoint BoxPlace(101, 129);

QPoint ratePlace(int i) {
    return {16, 47 + 20 * i};
}
QPoint syncPlace(int i) {
    return {126, 47 + 20 * i};
}

QList<bool> enabledStates(SettingsDialog *page) {
    QList<bool> states;
    for (int i = 0; i < 6; ++i)
        states << page->getRateButton(i)->isEnabled();
    for (int i = 0; i < 4; ++i)
        states << page->getSyncButton(i)->isEnabled();
    return states;
}

const QList<bool> allOff(10, false);
const QList<bool> neoOn(10, true);
const QList<bool> luxOn = {true, true, true, true, true, false, true, false, true, true};

} // namespace

class SettingsPageTest : public PageTest {
    Q_OBJECT

    TavikConfigurationDialog *neo = nullptr;
    TavikConfigurationDialog *lux = nullptr;

    void click(TavikConfigurationDialog *window, const QPoint &place) {
        h.select(window);
        PageTestHarness::clickAt(window, SettingsPage + place + QPoint(6, 6));
    }

private slots:
    void init() {
        neo = openDevice(1, NeoSerial);
        lux = h.addDevice(5, LuxSerial, "Stage");
        h.select(neo);
    }
    void cleanup() {
        SettingsDialog *page = h.app()->getConfigurationDialog(NeoSerial)->getSettingsDialog();
        page->setAllSettingsDialogEnabled(false);
        LogSwitch::setOn(false);
    }

    void newPageIsReadOnly() {
        SettingsDialog *page = neo->getSettingsDialog();
        QVERIFY(page->getRateButton(0)->isChecked());
        QVERIFY(page->getSyncButton(0)->isChecked());
        QVERIFY(!page->getExtFunctionsBox()->isChecked());
        QCOMPARE(enabledStates(page), allOff);
        QVERIFY(page->getExtFunctionsBox()->isEnabled());
        for (int i = 0; i < 6; ++i)
            QCOMPARE(page->getRateButton(i)->pos(), ratePlace(i));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(page->getSyncButton(i)->pos(), syncPlace(i));
        QCOMPARE(page->getExtFunctionsBox()->pos(), BoxPlace);

        LogSwitch::setOn(true);
        QTest::ignoreMessage(QtDebugMsg,
                             "Switching accessibility of settings dialog to: false for Tavik serialNo = 777");
        h.app()->addConfiguration(777, new TavikConfiguration(777));
        {
            SettingsDialog standalone(777, *h.app(), nullptr);
            QCOMPARE(enabledStates(&standalone), allOff);
        }
        h.app()->removeConfiguration(777);
    }

    void boxActsOnEveryRealWindowAndIsRemembered() {
        LogSwitch::setOn(true);
        QTest::ignoreMessage(QtDebugMsg, "Switching accessibility of ALL settings dialog to: true");
        QTest::ignoreMessage(
            QtDebugMsg, "Switching accessibility of settings dialog to: true for Tavik serialNo = 12345");
        QTest::ignoreMessage(QtDebugMsg,
                             "Switching accessibility of settings dialog to: true for Tavik serialNo = 1234");
        click(lux, BoxPlace);
        LogSwitch::setOn(false);
        QCOMPARE(enabledStates(lux->getSettingsDialog()), luxOn);
        QCOMPARE(enabledStates(neo->getSettingsDialog()), neoOn);
        QVERIFY(neo->getSettingsDialog()->getExtFunctionsBox()->isChecked());
        TavikConfigurationDialog *placeholder = h.app()->getConfigurationDialog(1);
        QVERIFY(!placeholder->getSettingsDialog()->getExtFunctionsBox()->isChecked());
        QCOMPARE(enabledStates(placeholder->getSettingsDialog()), allOff);
        QCOMPARE(h.app()->getSettings()->value("ExtFunctionsEnabled").toInt(), 1);

        click(neo, BoxPlace);
        QCOMPARE(enabledStates(lux->getSettingsDialog()), allOff);
        QCOMPARE(enabledStates(neo->getSettingsDialog()), allOff);
        QVERIFY(!lux->getSettingsDialog()->getExtFunctionsBox()->isChecked());
        QCOMPARE(h.app()->getSettings()->value("ExtFunctionsEnabled").toInt(), 0);
        QVERIFY(h.takeSent().isEmpty());
    }

    void clickSendsRateAndSync() {
        click(neo, BoxPlace);
        click(neo, ratePlace(4)); // 96 kHz while Master is checked
        QCOMPARE(h.takeSent(), QStringList{PageTestHarness::command(1, NeoSerial, 0x01, {0x00, 5, 0})});
        click(neo, syncPlace(3)); // BNC
        QCOMPARE(h.takeSent(), QStringList{PageTestHarness::command(1, NeoSerial, 0x01, {0x00, 5, 3})});
        TavikConfiguration *cfg = h.app()->getConfiguration(NeoSerial);
        QCOMPARE(int(cfg->getFrequency()), 5);
        QCOMPARE(int(cfg->getSync()), 3);
        // Both values go out on every click, changed or not.
        click(neo, syncPlace(3));
        QCOMPARE(h.takeSent(), QStringList{PageTestHarness::command(1, NeoSerial, 0x01, {0x00, 5, 3})});

        click(lux, ratePlace(2));
        QCOMPARE(h.takeSent(), QStringList{PageTestHarness::command(5, LuxSerial, 0x01, {0x00, 3, 0})});
        click(lux, ratePlace(5)); // 192 kHz: disabled on a Lux
        click(lux, syncPlace(1)); // MADI: disabled on a Lux
        QVERIFY(h.takeSent().isEmpty());
        QVERIFY(lux->getSettingsDialog()->getRateButton(2)->isChecked());
    }

    void disabledPageSendsNothing() {
        click(neo, ratePlace(4));
        QVERIFY(h.takeSent().isEmpty());
        QVERIFY(neo->getSettingsDialog()->getRateButton(0)->isChecked());
    }

    void deviceValuesAreShownAndNotSentBack() {
        SettingsDialog *page = neo->getSettingsDialog();
        h.feed(TestSysEx::report(1, NeoSerial, TavikSysEx::GET_CONFIG,
                                 PageTestHarness::configPayload(6, 3, 0, {}, {})));
        QVERIFY(page->getRateButton(5)->isChecked());
        QVERIFY(page->getSyncButton(3)->isChecked());
        h.feed(TestSysEx::report(1, NeoSerial, TavikSysEx::GET_CONFIG,
                                 PageTestHarness::configPayload(0, 1, 0, {}, {})));
        QVERIFY(page->getRateButton(0)->isChecked());
        QVERIFY(page->getSyncButton(1)->isChecked());
        QVERIFY(h.takeSent().isEmpty());
    }
};

TAVIK_PAGES_TEST_MAIN(SettingsPageTest)
#include "SettingsPageTest.moc"
