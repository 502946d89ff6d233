// Routing page: the 40 buttons at their places, what a click stores and sends, and device values.
#include "PageTestHarness.h"

#include "app/MyApplication.h"
#include "model/TavikConfiguration.h"
#include "pages/QRoutingRadioButton.h"
#include "pages/RoutingDialog.h"
#include "windows/TavikConfigurationDialog.h"

#include <QTest>

namespace {

constexpr qint32 NeoSerial = 12345;
constexpr qint32 LuxSerial = 1234;
const QPoint RoutingPage(785, 37);

struct ButtonCase {
    int button;
    int routingIndex;
    int value;
    QPoint place;
};

// The places of the matrices, group by group (A, B, C, D) and range by range.
QList<ButtonCase> buttonCases() {
    QList<ButtonCase> cases;
    auto add = [&cases](int index, int value, QPoint place) {
        cases.append({int(cases.size()), index, value, place});
    };
    for (int k = 0; k < 5; ++k)
        add(6, k, k < 4 ? QPoint(110 + 19 * k, 77) : QPoint(91, 77));
    for (int k = 0; k < 5; ++k)
        add(9, k, k < 4 ? QPoint(110 + 19 * k, 97) : QPoint(72, 97));
    for (int k = 0; k < 5; ++k)
        add(0, k, QPoint(72, 117 + 20 * k));
    for (int k = 0; k < 5; ++k)
        add(3, k, QPoint(91, 117 + 20 * k));
    for (int k = 0; k < 3; ++k)
        add(7, k, k < 2 ? QPoint(129 + 19 * k, 301) : QPoint(110, 301));
    for (int k = 0; k < 3; ++k)
        add(10, k, k < 2 ? QPoint(129 + 19 * k, 321) : QPoint(91, 321));
    for (int k = 0; k < 3; ++k)
        add(1, k, QPoint(91, 341 + 20 * k));
    for (int k = 0; k < 3; ++k)
        add(4, k, QPoint(110, 341 + 20 * k));
    add(8, 0, QPoint(138, 484));
    add(8, 1, QPoint(119, 484));
    add(11, 0, QPoint(138, 504));
    add(11, 1, QPoint(100, 504));
    for (int k = 0; k < 2; ++k)
        add(2, k, QPoint(100, 524 + 20 * k));
    for (int k = 0; k < 2; ++k)
        add(5, k, QPoint(119, 524 + 20 * k));
    return cases;
}

QString routingCommand(const std::array<int, 12> &routing) {
    std::vector<unsigned char> payload = {0x20};
    for (int v : routing)
        payload.push_back((unsigned char)v);
    return PageTestHarness::command(1, NeoSerial, 0x01, payload);
}

} // namespace

class RoutingPageTest : public QObject {
    Q_OBJECT

private:
    PageTestHarness &h = *PageTestHarness::instance();
    TavikConfigurationDialog *window = nullptr;

    RoutingDialog *neoPage() {
        h.reset();
        window = h.addDevice(1, NeoSerial, "Studio");
        return window ? window->getRoutingDialog() : nullptr;
    }

    void click(const QPoint &place) { PageTestHarness::clickAt(window, RoutingPage + place + QPoint(6, 6)); }

private slots:
    void startsWithTheFirstButtonOfEveryGroup() {
        RoutingDialog *page = neoPage();
        QVERIFY(page);
        QVERIFY(page->isEnabled());
        const QList<ButtonCase> cases = buttonCases();
        QCOMPARE(cases.size(), RoutingDialog::ButtonCount);
        for (const ButtonCase &c : cases) {
            QCOMPARE(page->getButton(c.button)->isChecked(), c.value == 0);
            QCOMPARE(page->getButton(c.button)->geometry(), QRect(c.place, QSize(12, 13)));
        }
    }

    void clickStoresAndSendsAllTwelve_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("routingIndex");
        QTest::addColumn<int>("value");
        QTest::addColumn<QPoint>("place");
        for (const ButtonCase &c : buttonCases())
            QTest::addRow("button %d", c.button) << c.button << c.routingIndex << c.value << c.place;
    }

    void clickStoresAndSendsAllTwelve() {
        QFETCH(int, button);
        QFETCH(int, routingIndex);
        QFETCH(int, value);
        QFETCH(QPoint, place);
        RoutingDialog *page = neoPage();
        click(place);
        QVERIFY(page->getButton(button)->isChecked());
        TavikConfiguration *cfg = h.app()->getConfiguration(NeoSerial);
        QCOMPARE(int(cfg->getRouting(quint8(routingIndex))), value);
        QCOMPARE(int(page->getRoutingShown(routingIndex)), value);
        std::array<int, 12> expected = {};
        expected[routingIndex] = value;
        QCOMPARE(h.takeSent(), QStringList{routingCommand(expected)});
    }

    void deviceValuesCheckButtonsAndSendNothing() {
        RoutingDialog *page = neoPage();
        const std::array<int, 12> routing = {3, 1, 1, 4, 2, 0, 2, 0, 1, 4, 2, 1};
        h.feed(TestSysEx::report(1, NeoSerial, TavikSysEx::GET_CONFIG,
                                 PageTestHarness::configPayload(3, 0, 0, {}, routing)));
        for (const ButtonCase &c : buttonCases())
            QCOMPARE(page->getButton(c.button)->isChecked(), routing[c.routingIndex] == c.value);
        // routing[10] = 2: the analog-input column of the 88.2/96 kHz ADAT-output row.
        QVERIFY(page->getButton(25)->isChecked());
        QVERIFY(h.takeSent().isEmpty());
    }

    void valueAboveTheRangeChecksNothingInItsGroup() {
        RoutingDialog *page = neoPage();
        std::array<int, 12> routing = {};
        routing[6] = 7; // group A of 32/44.1/48 kHz holds values 0..4
        routing[9] = 3;
        routing[8] = 2; // group A of 192 kHz holds values 0..1
        h.feed(TestSysEx::report(1, NeoSerial, TavikSysEx::GET_CONFIG,
                                 PageTestHarness::configPayload(3, 0, 0, {}, routing)));
        for (int b = 0; b < 5; ++b)
            QVERIFY(!page->getButton(b)->isChecked());
        for (int b = 32; b < 34; ++b)
            QVERIFY(!page->getButton(b)->isChecked());
        QVERIFY(page->getButton(8)->isChecked());
        QVERIFY(page->getButton(10)->isChecked() && page->getButton(15)->isChecked());
        QVERIFY(page->getButton(34)->isChecked() && page->getButton(36)->isChecked());

        // A click elsewhere in the range sends the untouched group's value as the device reported it.
        click(QPoint(72, 137));
        routing[0] = 1;
        QCOMPARE(h.takeSent(), QStringList{routingCommand(routing)});
        for (int b = 0; b < 5; ++b)
            QVERIFY(!page->getButton(b)->isChecked());
    }

    void luxPageStaysDisabledAndUntouched() {
        h.reset();
        TavikConfigurationDialog *lux = h.addDevice(5, LuxSerial, "Stage");
        RoutingDialog *page = lux->getRoutingDialog();
        QVERIFY(!page->isEnabled());
        std::array<int, 12> routing = {};
        routing[6] = 3;
        h.feed(TestSysEx::report(5, LuxSerial, TavikSysEx::GET_CONFIG,
                                 PageTestHarness::configPayload(3, 0, 0, {}, routing)));
        QCOMPARE(int(h.app()->getConfiguration(LuxSerial)->getRouting(6)), 3);
        QVERIFY(page->getButton(0)->isChecked());
        QVERIFY(!page->getButton(3)->isChecked());
        PageTestHarness::clickAt(lux, RoutingPage + QPoint(110 + 19, 77) + QPoint(6, 6));
        QVERIFY(h.takeSent().isEmpty());
    }
};

TAVIK_PAGES_TEST_MAIN(RoutingPageTest)
#include "RoutingPageTest.moc"
