// Routing page: the 40 buttons at their places, what a click stores and sends, and device values.
#include "PageTest.h"

#include "app/MyApplication.h"
#include "model/TavikConfiguration.h"
#include "pages/QRoutingRadioButton.h"
#include "pages/RoutingDialog.h"
#include "windows/TavikConfigurationDialog.h"

#include <QTest>

namespace {

const QPoint RoutingPage(785, 37);

struct ButtonCase {
    int button;
    int routingIndex;
    int value;
    QPoint place;
};

// The groups of buttons of one routing value each, by sample rate range: the rows of groups A and B
// (their last value stands left of the others), then the columns of groups C and D.
struct Group {
    int routingIndex;
    int values;
    QPoint first;
    QPoint step;
    QPoint last;
};
const Group Groups[] = {
    {6, 5, {110, 77}, {19, 0}, {91, 77}},    {9, 5, {110, 97}, {19, 0}, {72, 97}},
    {0, 5, {72, 117}, {0, 20}, {72, 197}},   {3, 5, {91, 117}, {0, 20}, {91, 197}},
    {7, 3, {129, 301}, {19, 0}, {110, 301}}, {10, 3, {129, 321}, {19, 0}, {91, 321}},
    {1, 3, {91, 341}, {0, 20}, {91, 381}},   {4, 3, {110, 341}, {0, 20}, {110, 381}},
    {8, 2, {138, 484}, {19, 0}, {119, 484}}, {11, 2, {138, 504}, {19, 0}, {100, 504}},
    {2, 2, {100, 524}, {0, 20}, {100, 544}}, {5, 2, {119, 524}, {0, 20}, {119, 544}},
};

QList<ButtonCase> buttonCases() {
    QList<ButtonCase> cases;
    for (const Group &g : Groups) {
        for (int k = 0; k < g.values; ++k)
            cases.append(
                {int(cases.size()), g.routingIndex, k, k + 1 < g.values ? g.first + g.step * k : g.last});
    }
    return cases;
}

} // namespace

class RoutingPageTest : public PageTest {
    Q_OBJECT

    RoutingDialog *neoPage() { return openDevice(1, NeoSerial) ? window->getRoutingDialog() : nullptr; }
    static QString routingCommand(const std::array<int, 12> &routing) {
        return neoCommand(0x01, 0x20, routing);
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
        TavikConfigurationDialog *lux = openDevice(5, LuxSerial, "Stage");
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
