// Info line and logo: the info text by device type and locked rate, and the about windows.
#include "PageTest.h"

#include "app/MyApplication.h"
#include "model/TavikConfiguration.h"
#include "pages/ClickableLabel.h"
#include "pages/InfoDialog.h"
#include "pages/LogoDialog.h"
#include "windows/TavikConfigurationDialog.h"

#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

namespace {

const QPoint LogoPlace(870, 4);

MidiMessage lockedAt(unsigned char family, qint32 serial, int lockedRate) {
    return TestSysEx::report(family, serial, TavikSysEx::GET_STATUS, {0, 0, (unsigned char)lockedRate, 0});
}

} // namespace

class InfoLogoPageTest : public PageTest {
    Q_OBJECT

private slots:
    void init() { h.reset(); }

    void infoLineFollowsTheStatus() {
        TavikConfigurationDialog *lux = h.addDevice(5, LuxSerial, "Stage");
        InfoDialog *info = lux->getInfoDialog();
        QCOMPARE(info->getLabel()->text(), QString("selected: ---"));
        QCOMPARE(info->getLabel()->geometry(), QRect(0, 0, 400, 20));
        h.feed(lockedAt(5, LuxSerial, 6));
        QCOMPARE(info->getLabel()->text(), QString("selected:  Tavik Lux, 192kHz, locked"));

        TavikConfigurationDialog *neo = h.addDevice(1, NeoSerial, "Studio");
        const char *names[7] = {"not locked",      "32kHz, locked", "44.1kHz, locked", "48kHz, locked",
                                "88.2kHz, locked", "96kHz, locked", "192kHz, locked"};
        for (int rate = 0; rate < 7; ++rate) {
            h.feed(lockedAt(1, NeoSerial, rate));
            QCOMPARE(neo->getInfoDialog()->getInfoText(), QString("selected:  Tavik Neo, ") + names[rate]);
        }
        // A locked rate the record refuses keeps the last one.
        h.feed(lockedAt(1, NeoSerial, 7));
        QCOMPARE(neo->getInfoDialog()->getInfoText(), QString("selected:  Tavik Neo, 192kHz, locked"));
    }

    void unknownTypeAndMissingDevice() {
        h.app()->addConfiguration(777, new TavikConfiguration(777));
        InfoDialog info(777, *h.app(), nullptr);
        info.updateInfo();
        QCOMPARE(info.getLabel()->text(), QString("selected:  unknown, not locked"));
        h.app()->removeConfiguration(777);
        info.updateInfo();
        QCOMPARE(info.getLabel()->text(), QString("selected:  unknown, not locked"));
    }

    void everyButtonClicksTheLabel() {
        ClickableLabel label("logo", nullptr);
        QCOMPARE(label.text(), QString("logo"));
        QSignalSpy spy(&label, &ClickableLabel::clicked);
        QTest::mousePress(&label, Qt::LeftButton);
        QTest::mousePress(&label, Qt::RightButton);
        QTest::mousePress(&label, Qt::MiddleButton);
        QCOMPARE(spy.count(), 3);
    }

    void everyLogoClickOpensAnAboutWindow() {
        TavikConfigurationDialog *neo = h.addDevice(1, NeoSerial, "Studio");
        LogoDialog *logo = neo->getLogoDialog();
        QCOMPARE(logo->getLogoLabel()->geometry(), QRect(0, 0, 129, 32));
        QVERIFY(!logo->getSplashWindow());

        QList<QPointer<QDialog>> opened;
        const Qt::MouseButton buttons[3] = {Qt::LeftButton, Qt::RightButton, Qt::LeftButton};
        for (Qt::MouseButton button : buttons) {
            PageTestHarness::clickAt(neo, LogoPlace + QPoint(64, 16), button);
            QDialog *splash = logo->getSplashWindow();
            QVERIFY(splash);
            QVERIFY(!opened.contains(splash));
            QVERIFY(splash->isVisible());
            QVERIFY(splash->isModal());
            QCOMPARE(splash->parent(), logo);
            QCOMPARE(splash->size(), QSize(489, 228));
            QCOMPARE(splash->minimumSize(), QSize(489, 228));
            QCOMPARE(splash->maximumSize(), QSize(489, 228));
            QCOMPARE(splash->windowTitle(), QString("Kalvenso Remote"));
            QLabel *picture = splash->findChild<QLabel *>();
            QVERIFY(picture && !picture->pixmap().isNull());
            QCOMPARE(picture->geometry(), QRect(0, 0, 489, 228));
            opened << splash;
            // Closing only hides it; the modal window would hold back the next click otherwise.
            splash->close();
            QVERIFY(!splash->isVisible());
        }
        QCOMPARE(logo->findChildren<QDialog *>().size(), 3);

        // All three go with the device window.
        h.reset();
        for (const QPointer<QDialog> &splash : opened)
            QVERIFY(splash.isNull());
    }
};

TAVIK_PAGES_TEST_MAIN(InfoLogoPageTest)
#include "InfoLogoPageTest.moc"
