#include "WindowMockup.h"

#include "QRoutingRadioButton.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <functional>

namespace {

QLabel *picture(QWidget *parent, const QString &name, int x = 0, int y = 0) {
    auto *l = new QLabel(parent);
    l->setPixmap(QPixmap(":/images/gui/" + name));
    l->move(x, y);
    l->adjustSize();
    return l;
}

QString suffix(int type) {
    return type == 1 ? QString() : type == 5 ? QStringLiteral("_lux") : QStringLiteral("_off");
}

// A column of radio buttons in a group of their own, 20 pixels apart from x, y: the one at index
// checked is checked, and each is enabled as enabled says for its index.
void radioColumn(QWidget *page, int x, int y, int count, int checked,
                 const std::function<bool(int)> &enabled) {
    auto *group = new QButtonGroup(page);
    for (int k = 0; k < count; ++k) {
        auto *b = new QRadioButton(page);
        b->move(x, y + 20 * k);
        group->addButton(b);
        b->setChecked(k == checked);
        b->setEnabled(enabled(k));
    }
}

QString gainText(int step, bool input) {
    const double g = (input ? -4.0 : -10.0) + 0.5 * step;
    const QString t = QString::number(g, 'f', 1);
    return g > 0 ? "+" + t : (g == 0 ? QStringLiteral("0.0") : t);
}

} // namespace

WindowMockup::WindowMockup(int deviceType) : type(deviceType) {
    setFixedSize(1249, 616);
    picture(this, "main.png");
    picture(this, "devicelist.png", 80, 24);

    auto *stacked = new QWidget(this);
    stacked->setGeometry(4, 8, 1247, 609);

    auto *list = new QListWidget(stacked);
    list->setGeometry(0, 37, 229, 421);
    list->setViewMode(QListView::IconMode);
    list->setIconSize(QSize(217, 46));
    list->setMovement(QListView::Static);
    auto add = [&](const QString &text, const QString &icon) {
        auto *item = new QListWidgetItem(text);
        if (!icon.isEmpty())
            item->setIcon(QIcon(QPixmap(":/images/gui/" + icon)));
        item->setTextAlignment(Qt::AlignHCenter);
        list->addItem(item);
        return item;
    };
    add(QString(), QString());
    auto *selected = add(type == 1   ? "Studio A\n(141-202-380)"
                         : type == 5 ? "Mobile\n(141-202-381)"
                                     : "141-202-382",
                         type == 1   ? "tavik_icon_neo.png"
                         : type == 5 ? "tavik_icon_lux.png"
                                     : "tavik_icon_xxx.png");
    add(type == 1 ? "Tracking\n(141-202-390)" : "Studio A\n(141-202-380)",
        type == 1 ? "tavik_icon_lux.png" : "tavik_icon_neo.png");
    list->setCurrentItem(selected);

    auto *midi = new QWidget(stacked);
    midi->setGeometry(0, 462, 229, 143);
    picture(midi, "midiconnect.png");
    auto *in = new QComboBox(midi);
    in->setGeometry(28, 41, 172, 20);
    in->addItem("Midi Through Port-0");
    auto *outCombo = new QComboBox(midi);
    outCombo->setGeometry(28, 82, 172, 20);
    outCombo->addItem("USB MIDI Interface 1");
    in->setEnabled(false);
    outCombo->setEnabled(false);
    auto *button = new QPushButton("Disconnect!", midi);
    button->setGeometry(56, 112, 117, 20);
    button->setIconSize(QSize(117, 20));

    auto *device = buildDeviceWindow(stacked);
    device->setGeometry(233, 0, 1010, 605);
}

QWidget *WindowMockup::buildDeviceWindow(QWidget *parent) {
    auto *w = new QWidget(parent);
    auto *logo = new QLabel(w);
    logo->setPixmap(QPixmap(":/images/gui/logo.png"));
    logo->setGeometry(870, 4, 129, 32);

    // The device pages, each at its place in the device window.
    const struct {
        QRect place;
        void (WindowMockup::*build)(QWidget *);
    } pages[] = {{QRect(0, 37, 546, 494), &WindowMockup::buildLevels},
                 {QRect(551, 37, 229, 143), &WindowMockup::buildStatus},
                 {QRect(551, 185, 229, 170), &WindowMockup::buildSettings},
                 {QRect(551, 360, 229, 170), &WindowMockup::buildSmux},
                 {QRect(785, 37, 223, 568), &WindowMockup::buildRouting}};
    for (const auto &page : pages) {
        auto *widget = new QWidget(w);
        widget->setGeometry(page.place);
        (this->*page.build)(widget);
    }

    auto *lock = new QWidget(w);
    auto *box = new QCheckBox("Locked", lock);
    box->setChecked(type == 5);
    lock->move(5, 540);
    lock->adjustSize();

    auto *info = new QLabel(w);
    info->setGeometry(10, 12, 400, 20);
    info->setText(type == 1   ? "selected:  Tavik Neo, 48kHz, locked"
                  : type == 5 ? "selected:  Tavik Lux, 192kHz, locked"
                              : "selected:  unknown, not locked");
    return w;
}

void WindowMockup::buildStatus(QWidget *page) {
    picture(page, "inputs" + suffix(type) + ".png");
    if (type == 0)
        return;
    // Sample content: MADI at 48k with signal and lock, ADAT A locked, ADAT B without signal, BNC at 48k.
    const char *images[11] = {"in_96.png", "in_ok.png", "in_ok.png", "in_48.png", "in_ok.png", "in_ok.png",
                              "in_ko.png", "in_ko.png", "in_ko.png", "in_48.png", "in_ok.png"};
    const int xs[3] = {77, 128, 179};
    for (int i = (type == 1 ? 0 : 3); i < 11; ++i)
        picture(page, images[i], xs[i % 3], 36 + 27 * (i / 3));
}

void WindowMockup::buildSettings(QWidget *page) {
    picture(page, "settings" + suffix(type) + ".png");
    const bool editable = type == 1 || type == 5;
    // Sample rates (no 192 kHz on a Lux), then the clock sources (no MADI on a Lux).
    radioColumn(page, 16, 47, 6, type == 5 ? 1 : 2,
                [&](int k) { return editable && !(type == 5 && k == 5); });
    radioColumn(page, 126, 47, 4, type == 1 ? 1 : 0,
                [&](int k) { return editable && !(type == 5 && k == 1); });
    auto *ext = new QCheckBox(page);
    ext->move(101, 129);
    ext->setChecked(editable);
}

void WindowMockup::buildSmux(QWidget *page) {
    picture(page, "smux" + suffix(type) + ".png");
    const int sizes[4] = {2, 3, 2, 3};
    const int xs[4] = {16, 16, 126, 126};
    const int ys[4] = {47, 107, 47, 107};
    const int values[4] = {0, 1, 1, 0};
    for (int g = 0; g < 4; ++g) {
        const bool madi = g < 2;
        radioColumn(page, xs[g], ys[g], sizes[g], values[g],
                    [&](int k) { return type == 1 || (type != 0 && !madi && !(g == 3 && k == 2)); });
    }
}

void WindowMockup::buildRouting(QWidget *page) {
    const char *pictures[3] = {"routing48.png", "routing96.png", "routing192.png"};
    const int pictureY[3] = {0, 224, 407};
    for (int r = 0; r < 3; ++r)
        picture(page, pictures[r], 0, pictureY[r]);
    // Button positions of the three matrices: groups A, B (rows) and C, D (columns).
    struct Range {
        int n, aX, aLastX, bLastX, cX, dX, top;
    };
    const Range ranges[3] = {
        {4, 110, 91, 72, 72, 91, 77}, {2, 129, 110, 91, 91, 110, 301}, {1, 138, 119, 100, 100, 119, 484}};
    const int values[3][4] = {{0, 4, 1, 4}, {2, 1, 0, 2}, {1, 0, 0, 1}};
    for (int r = 0; r < 3; ++r) {
        const Range &g = ranges[r];
        QButtonGroup *groups[4];
        for (auto &grp : groups)
            grp = new QButtonGroup(page);
        for (int k = 0; k <= g.n; ++k) {
            const QPoint pos[4] = {k < g.n ? QPoint(g.aX + 19 * k, g.top) : QPoint(g.aLastX, g.top),
                                   k < g.n ? QPoint(g.aX + 19 * k, g.top + 20) : QPoint(g.bLastX, g.top + 20),
                                   QPoint(g.cX, g.top + 40 + 20 * k), QPoint(g.dX, g.top + 40 + 20 * k)};
            for (int i = 0; i < 4; ++i) {
                auto *b = new QRoutingRadioButton(page);
                b->move(pos[i]);
                groups[i]->addButton(b);
                b->setChecked(k == values[r][i]);
            }
        }
    }
    // Routing is a Neo's only.
    page->setEnabled(type == 1);
}

void WindowMockup::buildLevels(QWidget *page) {
    const char *pictures[2] = {"ingains.png", "outgains.png"};
    for (int bank = 0; bank < 2; ++bank) {
        const bool input = bank == 0;
        picture(page, pictures[bank], 0, bank * 250);
        for (int k = 0; k < 16; ++k) {
            auto *fader = new QWidget(page);
            fader->move(11 + 33 * k, input ? 40 : 290);
            auto *slider = new QSlider(Qt::Vertical, fader);
            slider->setRange(0, 28);
            slider->setFixedSize(33, 183);
            slider->move(0, 0);
            const int value = type == 0 ? 0 : (input ? (k * 7) % 29 : 20 - (k % 5) * 2);
            slider->setValue(value);
            auto *label = new QLabel(gainText(value, input), fader);
            label->setGeometry(4, 183, 33, 20);
            fader->resize(37, 203);
            fader->setEnabled(type != 0);
        }
    }
}
