// Audio levels page: fader places, gain texts, the device path and the flow control of user moves.
#include "PageTest.h"

#include "app/MyApplication.h"
#include "model/DeviceClock.h"
#include "model/TavikConfiguration.h"
#include "pages/AudioLevelsDialog.h"
#include "pages/TavikFader.h"
#include "windows/TavikConfigurationDialog.h"

#include <QLabel>
#include <QSlider>
#include <QTest>
#include <QWindow>

const QPoint AudioPage(0, 37);

class FaderPageTest : public PageTest {
    Q_OBJECT

    AudioLevelsDialog *page() { return openDevice(1, NeoSerial) ? window->getAudioLevelsDialog() : nullptr; }
    static QString fadersCommand(const std::array<int, 32> &values) { return neoCommand(0x02, 0x20, values); }

    // Drags the knob of the fader under the point (page coordinates) to the top, by real mouse moves.
    void dragToTop(const QPoint &place) {
        QWidget *hit = window->childAt(AudioPage + place + QPoint(16, 100));
        auto *slider = qobject_cast<QSlider *>(hit);
        QVERIFY2(slider, "no fader at that place");
        PageTestHarness::dragKnobToTop(slider, 30);
    }

    static int fadersMessages(const QStringList &sent) {
        int count = 0;
        for (const QString &text : sent)
            count += text.mid(27, 2) == "02" ? 1 : 0;
        return count;
    }

private slots:
    void startsAtTheLowestGainWithoutSending() {
        AudioLevelsDialog *levels = page();
        QVERIFY(levels);
        for (int i = 0; i < 32; ++i) {
            TavikFader *fader = levels->getTavikFader(i);
            QVERIFY(fader);
            QCOMPARE(fader->isInput(), i >= 16);
            QCOMPARE(fader->getFaderNumber(), i % 16);
            QCOMPARE(fader->pos(), QPoint(11 + 33 * (i % 16), i >= 16 ? 40 : 290));
            QCOMPARE(fader->getSlider()->geometry(), QRect(0, 0, 33, 183));
            QCOMPARE(fader->getSlider()->maximum(), 28);
            QCOMPARE(fader->getValueLabel()->text(), QString(i >= 16 ? "-4.0" : "-10.0"));
        }
        QVERIFY(h.takeSent().isEmpty());
    }

    void faderIndexOutsideTheRange() {
        AudioLevelsDialog *levels = page();
        for (int index : {32, -1, 1000}) {
            QTest::ignoreMessage(QtWarningMsg, "getTavikFader(): got strange fader number (out of range)");
            QVERIFY(!levels->getTavikFader(index));
        }
    }

    void deviceValuesMoveSlidersAndSendNothing() {
        AudioLevelsDialog *levels = page();
        std::vector<unsigned char> values(32);
        for (int i = 0; i < 32; ++i)
            values[i] = (unsigned char)(i < 16 ? (i + 14) % 29 : (i * 3) % 29);
        values[15] = 20;
        values[16] = 8;
        values[17] = 28;
        values[0] = 0;
        values[1] = 28;
        values[2] = 19;
        h.feed(TestSysEx::report(1, NeoSerial, TavikSysEx::GET_FADERS, values));
        TavikConfiguration *cfg = h.app()->getConfiguration(NeoSerial);
        for (int i = 0; i < 32; ++i) {
            QCOMPARE(levels->getTavikFader(i)->getSlider()->value(), int(values[i]));
            QCOMPARE(int(cfg->getFaderValue(i)), int(values[i]));
        }
        QCOMPARE(levels->getTavikFader(15)->getValueLabel()->text(), QString("0.0"));
        QCOMPARE(levels->getTavikFader(16)->getValueLabel()->text(), QString("0.0"));
        QCOMPARE(levels->getTavikFader(17)->getValueLabel()->text(), QString("+10.0"));
        QCOMPARE(levels->getTavikFader(0)->getValueLabel()->text(), QString("-10.0"));
        QCOMPARE(levels->getTavikFader(1)->getValueLabel()->text(), QString("+4.0"));
        QCOMPARE(levels->getTavikFader(2)->getValueLabel()->text(), QString("-0.5"));
        QVERIFY(h.takeSent().isEmpty());
    }

    void gainTexts() {
        QCOMPARE(TavikFader::gainText(true, 0), QString("-4.0"));
        QCOMPARE(TavikFader::gainText(true, 7), QString("-0.5"));
        QCOMPARE(TavikFader::gainText(true, 8), QString("0.0"));
        QCOMPARE(TavikFader::gainText(true, 9), QString("+0.5"));
        QCOMPARE(TavikFader::gainText(true, 28), QString("+10.0"));
        QCOMPARE(TavikFader::gainText(false, 0), QString("-10.0"));
        QCOMPARE(TavikFader::gainText(false, 20), QString("0.0"));
        QCOMPARE(TavikFader::gainText(false, 21), QString("+0.5"));
        QCOMPARE(TavikFader::gainText(false, 28), QString("+4.0"));
        QVERIFY(TavikFader::gainText(false, 29).isEmpty());
    }

    void valueOutsideTheRangeChangesNothing() {
        AudioLevelsDialog *levels = page();
        TavikFader *fader = levels->getTavikFader(16);
        fader->update(12, false);
        for (int bad : {29, -1}) {
            QTest::ignoreMessage(QtWarningMsg, "TavikFader::update(): new val out of range!");
            fader->update(bad, false);
            QTest::ignoreMessage(QtWarningMsg, "TavikFader::update(): new val out of range!");
            fader->update(bad, true);
        }
        QCOMPARE(fader->getSlider()->value(), 12);
        QCOMPARE(fader->getValueLabel()->text(), QString("+2.0"));
        QCOMPARE(int(h.app()->getConfiguration(NeoSerial)->getFaderValue(16)), 12);
        QVERIFY(h.takeSent().isEmpty());
    }

    void dragToTheTopSendsOnce() {
        AudioLevelsDialog *levels = page();
        dragToTop(QPoint(11, 40)); // input fader 1
        TavikFader *fader = levels->getTavikFader(16);
        QCOMPARE(fader->getSlider()->value(), 28);
        QCOMPARE(fader->getValueLabel()->text(), QString("+10.0"));
        QCOMPARE(int(h.app()->getConfiguration(NeoSerial)->getFaderValue(16)), 28);
        const QStringList sent = h.takeSent();
        QCOMPARE(fadersMessages(sent), 1);
        QCOMPARE(sent.size(), 1);
        TavikConfiguration *cfg = h.app()->getConfiguration(NeoSerial);
        QVERIFY(cfg->isFaderSendPending());

        // The drag passed through several values; they go out once, with the final values, when the
        // device acknowledges.
        QVERIFY(cfg->isFaderResendNeeded());
        std::array<int, 32> expected = {};
        expected[16] = 28;
        h.feed(TestSysEx::message(1, NeoSerial, 0x22, {}));
        QCOMPARE(h.takeSent(), QStringList{fadersCommand(expected)});
        QVERIFY(!cfg->isFaderSendPending());
    }

    void lastOutputFaderHasItsPlace() {
        AudioLevelsDialog *levels = page();
        dragToTop(QPoint(11 + 33 * 15, 290));
        QCOMPARE(levels->getTavikFader(15)->getSlider()->value(), 28);
        QCOMPARE(levels->getTavikFader(15)->getValueLabel()->text(), QString("+4.0"));
        for (int i = 0; i < 32; ++i)
            QCOMPARE(levels->getTavikFader(i)->getSlider()->value(), i == 15 ? 28 : 0);
    }

    void quickMovesAreMergedUntilTheAcknowledgement() {
        AudioLevelsDialog *levels = page();
        QSlider *slider = levels->getTavikFader(16)->getSlider();
        slider->setFocus();
        QTest::keyClick(slider, Qt::Key_Up);
        QTest::keyClick(slider, Qt::Key_Up);
        QTest::keyClick(slider, Qt::Key_Up);
        std::array<int, 32> first = {};
        first[16] = 1;
        QCOMPARE(h.takeSent(), QStringList{fadersCommand(first)});

        h.feed(TestSysEx::message(1, NeoSerial, 0x22, {}));
        std::array<int, 32> latest = {};
        latest[16] = 3;
        QCOMPARE(h.takeSent(), QStringList{fadersCommand(latest)});

        // The re-send leaves nothing pending: the next move goes out at once.
        QTest::keyClick(slider, Qt::Key_Up);
        latest[16] = 4;
        QCOMPARE(h.takeSent(), QStringList{fadersCommand(latest)});
        h.feed(TestSysEx::message(1, NeoSerial, 0x22, {}));
        QVERIFY(h.takeSent().isEmpty());
    }

    void lostAcknowledgementDoesNotFreezeTheFaders() {
        AudioLevelsDialog *levels = page();
        QSlider *slider = levels->getTavikFader(3)->getSlider();
        slider->setFocus();
        QTest::keyClick(slider, Qt::Key_Up);
        std::array<int, 32> values = {};
        values[3] = 1;
        QCOMPARE(h.takeSent(), QStringList{fadersCommand(values)});
        // No acknowledgement comes; a move within the second is held back.
        QTest::keyClick(slider, Qt::Key_Up);
        QVERIFY(h.takeSent().isEmpty());

        // More than a second later the next move counts the acknowledgement as lost and sends.
        const qint64 later = DeviceClock::now().toMSecsSinceEpoch() + 1001;
        DeviceClock::setSource([later] { return later; });
        QTest::keyClick(slider, Qt::Key_Up);
        values[3] = 3;
        const QStringList sent = h.takeSent();
        const qint64 fixed = later - 1001;
        DeviceClock::setSource([fixed] { return fixed; });
        QCOMPARE(sent, QStringList{fadersCommand(values)});
    }
};

TAVIK_PAGES_TEST_MAIN(FaderPageTest)
#include "FaderPageTest.moc"
