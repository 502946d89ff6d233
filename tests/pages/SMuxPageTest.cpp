// SMUX page: enabled buttons by device type, what a click sends, and device values.
#include "PageTest.h"

#include "app/MyApplication.h"
#include "model/TavikConfiguration.h"
#include "pages/SMuxDialog.h"
#include "protocol/LogSwitch.h"
#include "windows/TavikConfigurationDialog.h"

#include <QRadioButton>
#include <QTest>

namespace {

const QPoint SMuxPage(551, 360);
const QPoint places[10] = {{16, 47},  {16, 67},  {16, 107},  {16, 127},  {16, 147},
                           {126, 47}, {126, 67}, {126, 107}, {126, 127}, {126, 147}};

QString smuxCommand(unsigned char family, qint32 serial, int a, int b, int c, int d) {
    return PageTestHarness::command(
        family, serial, 0x01, {0x10, (unsigned char)a, (unsigned char)b, (unsigned char)c, (unsigned char)d});
}

} // namespace

class SMuxPageTest : public PageTest {
    Q_OBJECT

    SMuxDialog *page(unsigned char family, qint32 serial) {
        return openDevice(family, serial) ? window->getSMuxDialog() : nullptr;
    }
    void click(int button) { PageTestHarness::clickAt(window, SMuxPage + places[button] + QPoint(6, 6)); }
    static QList<int> checked(SMuxDialog *p) {
        QList<int> result;
        for (int i = 0; i < SMuxDialog::ButtonCount; ++i) {
            if (p->getButton(i)->isChecked())
                result << i;
        }
        return result;
    }

private slots:
    void cleanup() { LogSwitch::setOn(false); }

    void enabledButtonsByDeviceType() {
        SMuxDialog *neo = page(1, NeoSerial);
        QCOMPARE(checked(neo), (QList<int>{0, 2, 5, 7}));
        for (int i = 0; i < 10; ++i) {
            QVERIFY(neo->getButton(i)->isEnabled());
            QCOMPARE(neo->getButton(i)->pos(), places[i]);
        }

        SMuxDialog *lux = page(5, LuxSerial);
        for (int i = 0; i < 10; ++i)
            QCOMPARE(lux->getButton(i)->isEnabled(), i >= 5 && i <= 8);
        // The device's values are shown on disabled buttons too.
        h.feed(TestSysEx::report(5, LuxSerial, TavikSysEx::GET_CONFIG,
                                 PageTestHarness::configPayload(3, 0, 0, {1, 2, 1, 2}, {})));
        QCOMPARE(checked(lux), (QList<int>{1, 4, 6, 9}));
        // A disabled button takes no click.
        click(4);
        click(0);
        QCOMPARE(checked(lux), (QList<int>{1, 4, 6, 9}));
        QVERIFY(h.takeSent().isEmpty());

        TavikConfigurationDialog *placeholder = h.app()->getConfigurationDialog(1);
        for (int i = 0; i < 10; ++i)
            QVERIFY(!placeholder->getSMuxDialog()->getButton(i)->isEnabled());
    }

    void clickSendsTheFourValuesOnce() {
        SMuxDialog *neo = page(1, NeoSerial);
        LogSwitch::setOn(true);
        QTest::ignoreMessage(QtDebugMsg,
                             "SMUX change GUI->Tavik: Tavik-serno = 12345: smux-1changed from 0to2");
        click(4); // MADI 48 -> 192 kHz
        QCOMPARE(h.takeSent(), QStringList{smuxCommand(1, NeoSerial, 0, 2, 0, 0)});
        QCOMPARE(int(h.app()->getConfiguration(NeoSerial)->getSMUX(1)), 2);
        QCOMPARE(int(neo->getSmuxShown(1)), 2);

        click(4); // already checked
        QVERIFY(h.takeSent().isEmpty());

        click(6); // ADAT 44.1 -> 88.2 kHz
        QCOMPARE(h.takeSent(), QStringList{smuxCommand(1, NeoSerial, 0, 2, 1, 0)});
    }

    void deviceValuesAreShownAndNotSentBack() {
        SMuxDialog *neo = page(1, NeoSerial);
        LogSwitch::setOn(true);
        QTest::ignoreMessage(QtDebugMsg, "SMUX change Tavik->GUI: Tavik-serno = 12345: SMUX[1 ] set to 2");
        h.feed(TestSysEx::report(1, NeoSerial, TavikSysEx::GET_CONFIG,
                                 PageTestHarness::configPayload(3, 0, 0, {1, 2, 0, 1}, {})));
        QCOMPARE(checked(neo), (QList<int>{1, 4, 5, 8}));
        QVERIFY(h.takeSent().isEmpty());
        click(8); // ADAT 48 -> 96 kHz, what the device already has
        QVERIFY(h.takeSent().isEmpty());
        click(7);
        QCOMPARE(h.takeSent(), QStringList{smuxCommand(1, NeoSerial, 1, 2, 0, 0)});
    }

    void valueAboveTheRangeChecksNothingInItsGroup() {
        SMuxDialog *neo = page(1, NeoSerial);
        h.feed(TestSysEx::report(1, NeoSerial, TavikSysEx::GET_CONFIG,
                                 PageTestHarness::configPayload(3, 0, 0, {2, 3, 1, 0}, {})));
        QCOMPARE(checked(neo), (QList<int>{6, 7}));
        // A click in another group sends the device's own values for the groups it did not touch.
        click(8);
        QCOMPARE(h.takeSent(), QStringList{smuxCommand(1, NeoSerial, 2, 3, 1, 1)});
        QCOMPARE(checked(neo), (QList<int>{6, 8}));
    }
};

TAVIK_PAGES_TEST_MAIN(SMuxPageTest)
#include "SMuxPageTest.moc"
