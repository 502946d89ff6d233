// Lock page: the "Locked" box, what a click sends, and which device values check it.
#include "PageTest.h"

#include "app/MyApplication.h"
#include "model/TavikConfiguration.h"
#include "pages/LockDialog.h"
#include "protocol/LogSwitch.h"
#include "windows/TavikConfigurationDialog.h"

#include <QCheckBox>
#include <QTest>

const QPoint LockPage(5, 540);

class LockPageTest : public PageTest {
    Q_OBJECT

    void lockReport(int lock) {
        h.feed(TestSysEx::report(1, NeoSerial, TavikSysEx::GET_CONFIG,
                                 PageTestHarness::configPayload(3, 0, lock, {}, {})));
    }

private slots:
    void init() { openDevice(1, NeoSerial); }
    void cleanup() { LogSwitch::setOn(false); }

    void clickSendsTheLock() {
        QCheckBox *box = window->getLockDialog()->getLockBox();
        QCOMPARE(box->text(), QString("Locked"));
        QVERIFY(!box->isChecked());
        LogSwitch::setOn(true);
        QTest::ignoreMessage(QtDebugMsg,
                             "GUI -> Tavik: Setting lock to value 1 for device  Studio(sn=12345)");
        PageTestHarness::clickAt(window, LockPage + QPoint(6, box->height() / 2));
        QVERIFY(box->isChecked());
        QCOMPARE(int(h.app()->getConfiguration(NeoSerial)->getLock()), 1);
        QCOMPARE(h.takeSent(), QStringList{PageTestHarness::command(1, NeoSerial, 0x01, {0x02, 1})});
        PageTestHarness::clickAt(window, LockPage + QPoint(6, box->height() / 2));
        QCOMPARE(h.takeSent(), QStringList{PageTestHarness::command(1, NeoSerial, 0x01, {0x02, 0})});
    }

    void onlyValueOneChecksTheBox() {
        QCheckBox *box = window->getLockDialog()->getLockBox();
        LogSwitch::setOn(true);
        QTest::ignoreMessage(QtDebugMsg,
                             "Tavik -> GUI: Setting lock to value 1 for device  Studio(sn=12345)");
        lockReport(1);
        QVERIFY(box->isChecked());
        for (int value : {2, 15, 0}) {
            lockReport(1);
            lockReport(value);
            QVERIFY2(!box->isChecked(), qPrintable(QString::number(value)));
        }
        QVERIFY(h.takeSent().isEmpty());
    }

    void withoutConfigurationOnlyWarns() {
        LockDialog page(4242, *h.app(), nullptr);
        QTest::ignoreMessage(QtWarningMsg, "LockDialog::update(): cfg ptr is NULL!");
        page.update(false);
        QTest::ignoreMessage(QtWarningMsg, "LockDialog::update(): cfg ptr is NULL!");
        page.getLockBox()->click();
        QVERIFY(h.takeSent().isEmpty());
    }
};

TAVIK_PAGES_TEST_MAIN(LockPageTest)
#include "LockPageTest.moc"
