// Status page: cells by device type, the rate display table and the lamps.
#include "PageTest.h"

#include "app/MyApplication.h"
#include "pages/StatusDialog.h"
#include "windows/TavikConfigurationDialog.h"

#include <QLabel>
#include <QTest>

namespace {

QImage resource(const char *name) {
    return QPixmap(QString(":/images/gui/") + name).toImage();
}

bool shows(QLabel *cell, const char *name) {
    return cell && !cell->pixmap().isNull() && cell->pixmap().toImage() == resource(name);
}

// Status report bytes: BNC/MADI rate, ADAT A/B rate, locked rate, flags.
std::vector<unsigned char> statusBytes(int bnc, int madi, int adatA, int adatB, int locked, int flags) {
    return {(unsigned char)(bnc | madi << 4), (unsigned char)(adatA | adatB << 4), (unsigned char)locked,
            (unsigned char)flags};
}

} // namespace

class StatusPageTest : public PageTest {
    Q_OBJECT

    StatusDialog *page(unsigned char family, qint32 serial) {
        return openDevice(family, serial) ? window->getStatusDialog() : nullptr;
    }

private slots:
    void picturesDiffer() {
        // Every check below tells images apart by their content.
        const char *names[] = {"in_ko.png", "in_ok.png",  "in_32.png", "in_441.png",
                               "in_48.png", "in_882.png", "in_96.png", "in_192.png"};
        for (const char *a : names) {
            QVERIFY2(!resource(a).isNull(), a);
            QCOMPARE(resource(a).size(), QSize(49, 25));
            for (const char *b : names)
                QVERIFY(a == b || resource(a) != resource(b));
        }
    }

    void neoCellsStartEmptyAtTheirPlaces() {
        StatusDialog *status = page(1, NeoSerial);
        QVERIFY(status);
        QVERIFY(shows(status->getBackground(), "inputs.png"));
        const QPoint places[11] = {{77, 36}, {128, 36}, {179, 36}, {77, 63},  {128, 63}, {179, 63},
                                   {77, 90}, {128, 90}, {179, 90}, {77, 117}, {128, 117}};
        for (int i = 0; i < 11; ++i) {
            QLabel *cell = status->getCell(i);
            QVERIFY(cell);
            QCOMPARE(cell->geometry(), QRect(places[i], QSize(49, 25)));
            QVERIFY(shows(cell, "in_ko.png"));
        }
    }

    void luxHasNoMadiRow() {
        StatusDialog *status = page(5, LuxSerial);
        QVERIFY(shows(status->getBackground(), "inputs_lux.png"));
        for (int i = 0; i < 3; ++i)
            QVERIFY(!status->getCell(i));
        h.feed(TestSysEx::report(5, LuxSerial, TavikSysEx::GET_STATUS, statusBytes(3, 3, 3, 2, 3, 0x7F)));
        QVERIFY(shows(status->getCell(3), "in_48.png"));
        QVERIFY(shows(status->getCell(6), "in_441.png"));
        QVERIFY(shows(status->getCell(9), "in_48.png"));
        for (int i : {4, 5, 7, 8, 10})
            QVERIFY(shows(status->getCell(i), "in_ok.png"));
    }

    void placeholderShowsOnlyTheOffPicture() {
        h.reset();
        TavikConfigurationDialog *placeholder = h.app()->getConfigurationDialog(1);
        QVERIFY(placeholder);
        StatusDialog *status = placeholder->getStatusDialog();
        QVERIFY(shows(status->getBackground(), "inputs_off.png"));
        for (int i = 0; i < StatusDialog::CellCount; ++i)
            QVERIFY(!status->getCell(i));
        status->updateStatus();
        QCOMPARE(status->findChildren<QLabel *>().size(), 1);
    }

    void ratesFollowTheLockedRate_data() {
        QTest::addColumn<int>("locked");
        QTest::addColumn<int>("input");
        QTest::addColumn<QString>("shown");
        QTest::newRow("48k input at 192k") << 6 << 3 << "in_192.png";
        QTest::newRow("96k input at 192k") << 6 << 5 << "in_192.png";
        QTest::newRow("44.1k input at 192k") << 6 << 2 << "in_441.png";
        QTest::newRow("48k input at 48k") << 3 << 3 << "in_48.png";
        QTest::newRow("44.1k input at 88.2k") << 4 << 2 << "in_882.png";
        QTest::newRow("48k input at 88.2k") << 4 << 3 << "in_48.png";
        QTest::newRow("44.1k input at 96k") << 5 << 2 << "in_882.png";
        QTest::newRow("48k input at 96k") << 5 << 3 << "in_96.png";
        QTest::newRow("32k input at 192k") << 6 << 1 << "in_32.png";
        QTest::newRow("no input") << 6 << 0 << "in_ko.png";
        QTest::newRow("not locked") << 0 << 4 << "in_882.png";
    }

    void ratesFollowTheLockedRate() {
        QFETCH(int, locked);
        QFETCH(int, input);
        QFETCH(QString, shown);
        const QByteArray name = shown.toLatin1();
        StatusDialog *status = page(1, NeoSerial);
        h.feed(TestSysEx::report(1, NeoSerial, TavikSysEx::GET_STATUS,
                                 statusBytes(input, input, input, input, locked, 0)));
        QVERIFY(shows(status->getCell(0), name));
        QVERIFY(shows(status->getCell(3), name));
        QVERIFY(shows(status->getCell(6), name));
        // The word clock input is shown as reported.
        const char *bnc[] = {"in_ko.png",  "in_32.png", "in_441.png", "in_48.png",
                             "in_882.png", "in_96.png", "in_192.png"};
        QVERIFY(shows(status->getCell(9), bnc[input]));
    }

    void lampsFollowTheirBits() {
        StatusDialog *status = page(1, NeoSerial);
        h.feed(TestSysEx::report(1, NeoSerial, TavikSysEx::GET_STATUS, statusBytes(0, 0, 0, 0, 0, 0x7F)));
        for (int i : {1, 2, 4, 5, 7, 8, 10})
            QVERIFY(shows(status->getCell(i), "in_ok.png"));
        h.feed(TestSysEx::report(1, NeoSerial, TavikSysEx::GET_STATUS, statusBytes(0, 0, 0, 0, 0, 0x80)));
        for (int i : {1, 2, 4, 5, 7, 8, 10})
            QVERIFY(shows(status->getCell(i), "in_ko.png"));

        // One bit at a time: MADI signal, ADAT A, ADAT B, BNC signal, MADI, ADAT A, ADAT B lock.
        const int cellOfBit[7] = {1, 4, 7, 10, 2, 5, 8};
        for (int bit = 0; bit < 7; ++bit) {
            h.feed(TestSysEx::report(1, NeoSerial, TavikSysEx::GET_STATUS,
                                     statusBytes(0, 0, 0, 0, 0, 1 << bit)));
            for (int i : {1, 2, 4, 5, 7, 8, 10})
                QVERIFY2(shows(status->getCell(i), i == cellOfBit[bit] ? "in_ok.png" : "in_ko.png"),
                         qPrintable(QString("bit %1 cell %2").arg(bit).arg(i)));
        }
        QVERIFY(h.takeSent().isEmpty());
    }
};

TAVIK_PAGES_TEST_MAIN(StatusPageTest)
#include "StatusPageTest.moc"
