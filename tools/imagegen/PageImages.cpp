#include "PageImages.h"

#include "ControlImages.h"
#include "FaderScale.h"
#include "PanelPainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace {

using W = PanelPainter::Weight;
using Edition = PageImages::Edition;

const QSize pageSize(229, 170);
const QSize inputsSize(229, 143);

// Radio and routing indicators are 12 x 13 and sit at the button's top-left corner.
constexpr qreal indicatorCentreY = 6.5;

// A page picture: the panel with its title band, and on it what draw adds.
QImage panel(const QSize &size, const QString &title, quint32 seed,
             const std::function<void(QPainter &)> &draw) {
    return ImageSet::drawn(size, ImageSet::Antialiased, [&](QPainter &p) {
        PanelPainter::fillPanel(p, QRectF(QPointF(0, 0), size), seed);
        PanelPainter::titleBand(p, QRectF(QPointF(0, 0), size), title);
        draw(p);
    });
}

QColor item(bool greyed) {
    return greyed ? PanelPainter::greyed() : PanelPainter::legend();
}
QColor head(bool greyed) {
    return greyed ? PanelPainter::greyed() : PanelPainter::legendDim();
}

// A legend line beside a radio button whose top is at y.
void optionText(QPainter &p, qreal x, qreal y, const QString &text, bool greyed) {
    const qreal cy = y + indicatorCentreY;
    PanelPainter::legendText(p, QRectF(x, cy - 9, 96, 18), Qt::AlignLeft | Qt::AlignVCenter, text,
                             PanelPainter::font(W::Regular, 11), item(greyed));
}

// A group head with a hairline under it that runs to the right end of its column.
void groupHead(QPainter &p, const QRectF &r, const QString &text, bool greyed) {
    QFont f = PanelPainter::font(W::Bold, 11, 0.4);
    QFontMetricsF fm(f);
    while (fm.horizontalAdvance(text) > r.width() && f.pixelSize() > 8) {
        f.setPixelSize(f.pixelSize() - 1);
        fm = QFontMetricsF(f);
    }
    PanelPainter::legendText(p, r, Qt::AlignLeft | Qt::AlignVCenter, text, f, head(greyed));
    PanelPainter::hairline(p, QLineF(r.bottomLeft(), r.bottomRight()),
                           QColor(255, 255, 255, greyed ? 14 : 30));
}

} // namespace

QImage PageImages::inputs(Edition e) {
    return panel(inputsSize, "DIGITAL INPUTS", 101 + int(e), [&](QPainter &p) {
        const bool off = e == Edition::Off;
        const QFont headFont = PanelPainter::font(W::Regular, 10, 0.3);
        const QColor headColour = off ? PanelPainter::greyed() : PanelPainter::legendDim();
        const int cellX[3] = {77, 128, 179};
        PanelPainter::legendText(p, QRectF(9, 21, 66, 15), Qt::AlignLeft | Qt::AlignVCenter, "port", headFont,
                                 headColour);
        const char *heads[3] = {"freq", "signal", "lock"};
        for (int c = 0; c < 3; ++c)
            PanelPainter::legendText(p, QRectF(cellX[c], 21, 49, 15), Qt::AlignCenter, heads[c], headFont,
                                     headColour);

        const char *rows[4] = {"MADI", "ADAT A", "ADAT B", "BNC"};
        for (int r = 0; r < 4; ++r) {
            const int y = 36 + 27 * r;
            const bool missing = off || (r == 0 && e == Edition::Lux);
            PanelPainter::legendText(p, QRectF(9, y, 66, 25), Qt::AlignLeft | Qt::AlignVCenter, rows[r],
                                     PanelPainter::font(W::Bold, 11, 0.3), item(missing));
            for (int c = 0; c < 3; ++c) {
                QImage slot;
                if (r == 3 && c == 2)
                    slot = ControlImages::unusedCell();
                else if (missing)
                    slot = ControlImages::dimCell();
                else
                    slot = ControlImages::cell(QString(), QColor());
                p.drawImage(cellX[c], y, slot);
            }
            if (r < 3)
                PanelPainter::hairline(p, QLineF(6, y + 26, 74, y + 26), QColor(0, 0, 0, 60));
        }
    });
}

QImage PageImages::settings(Edition e) {
    return panel(pageSize, "SETTINGS", 201 + int(e), [&](QPainter &p) {
        const bool off = e == Edition::Off;
        const bool lux = e == Edition::Lux;
        groupHead(p, QRectF(16, 24, 92, 18), "Sample rate", off);
        groupHead(p, QRectF(126, 24, 97, 18), "Synchronization", off);
        const char *rates[6] = {"32 kHz", "44.1 kHz", "48 kHz", "88.2 kHz", "96 kHz", "192 kHz"};
        for (int i = 0; i < 6; ++i)
            optionText(p, 34, 47 + 20 * i, rates[i], off || (lux && i == 5));
        const char *syncs[4] = {"Master", "MADI", "ADAT", "BNC"};
        for (int i = 0; i < 4; ++i)
            optionText(p, 144, 47 + 20 * i, syncs[i], off || (lux && i == 1));

        // The extended functions switch: a check box at 101, 129 with its words to the right.
        const QFont f = PanelPainter::font(W::Regular, 10);
        const QColor c = PanelPainter::legendDim();
        PanelPainter::legendText(p, QRectF(120, 124, 106, 13), Qt::AlignLeft | Qt::AlignVCenter,
                                 "enable extended", f, c);
        PanelPainter::legendText(p, QRectF(120, 137, 106, 13), Qt::AlignLeft | Qt::AlignVCenter, "functions",
                                 f, c);
        PanelPainter::hairline(p, QLineF(101, 121, 223, 121), QColor(255, 255, 255, 30));
    });
}

QImage PageImages::smux(Edition e) {
    return panel(pageSize, "SMUX", 301 + int(e), [&](QPainter &p) {
        const bool off = e == Edition::Off;
        const bool madiGrey = off || e == Edition::Lux;
        groupHead(p, QRectF(16, 24, 90, 18), "MADI 44.1", madiGrey);
        groupHead(p, QRectF(16, 85, 90, 18), "MADI 48", madiGrey);
        groupHead(p, QRectF(126, 24, 90, 18), "ADAT 44.1", off);
        groupHead(p, QRectF(126, 85, 90, 18), "ADAT 48", off);
        const char *rates44[2] = {"44.1 kHz", "88.2 kHz"};
        const char *rates48[3] = {"48 kHz", "96 kHz", "192 kHz"};
        for (int i = 0; i < 2; ++i) {
            optionText(p, 34, 47 + 20 * i, rates44[i], madiGrey);
            optionText(p, 144, 47 + 20 * i, rates44[i], off);
        }
        for (int i = 0; i < 3; ++i) {
            optionText(p, 34, 107 + 20 * i, rates48[i], madiGrey);
            optionText(p, 144, 107 + 20 * i, rates48[i], off || (e == Edition::Lux && i == 2));
        }
        // Divider between the MADI and the ADAT column.
        PanelPainter::hairline(p, QLineF(115, 28, 115, 162), QColor(0, 0, 0, 110));
        PanelPainter::hairline(p, QLineF(116, 28, 116, 162), QColor(255, 255, 255, 22));
    });
}

QImage PageImages::routing(int range) {
    const int blocks[3] = {4, 2, 1};
    const int heights[3] = {219, 178, 160};
    const int firstColumn[3] = {72, 91, 100};
    const char *titles[3] = {"ROUTING 32 / 44.1 / 48", "ROUTING 88.2 / 96", "ROUTING 192"};
    const int n = blocks[range];
    const int x0 = firstColumn[range];
    constexpr int y0 = 77;
    constexpr int dx = 19;
    constexpr int dy = 20;
    const int columns = n + 2; // anlg., ADAT, M1..Mn
    const int rows = n + 3;    // analog, ADAT, M1..Mn, off

    return panel(QSize(223, heights[range]), titles[range], 401 + range, [&](QPainter &p) {
        auto colX = [&](int c) { return x0 + dx * c; };
        auto rowY = [&](int r) { return y0 + dy * r; };
        auto hasButton = [&](int c, int r) {
            if (r == 0)
                return c >= 1; // analog outputs: fed by ADAT or a MADI block
            if (r == 1)
                return c == 0 || c >= 2; // ADAT outputs: fed by analog or a MADI block
            return c <= 1;               // inputs onto a MADI block or off
        };

        const qreal left = colX(0) - 5;
        const qreal right = colX(columns - 1) + 12 + 5;
        const qreal top = rowY(0) - 4;
        const qreal bottom = rowY(rows - 1) + 13 + 4;

        // Matrix field, sunk into the panel.
        PanelPainter::recess(p, QRectF(left, top, right - left, bottom - top), QColor(0x1e, 0x21, 0x26), 2);

        // The two input columns and the two output rows are the working area; tint them lightly.
        p.fillRect(QRectF(colX(0) - 3, rowY(2) - 3, 2 * dx, rowY(rows - 1) + 16 - rowY(2)),
                   QColor(255, 255, 255, 10));
        p.fillRect(QRectF(colX(0) - 3, rowY(0) - 3, right - left - 4, 2 * dy), QColor(255, 255, 255, 10));

        // Hair lines through the cross-points.
        p.save();
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QColor(255, 255, 255, 20));
        for (int c = 0; c < columns; ++c)
            p.drawLine(QPointF(colX(c) + 6, top + 2), QPointF(colX(c) + 6, bottom - 3));
        for (int r = 0; r < rows; ++r)
            p.drawLine(QPointF(left + 2, rowY(r) + 6), QPointF(right - 3, rowY(r) + 6));
        // Outputs above, MADI blocks and off below; analog/ADAT sources left, MADI sources right.
        p.setPen(QColor(0x9a, 0x9f, 0xa8, 110));
        p.drawLine(QPointF(left + 1, rowY(2) - 4), QPointF(right - 2, rowY(2) - 4));
        p.drawLine(QPointF(colX(2) - 4, top + 1), QPointF(colX(2) - 4, bottom - 2));
        p.restore();

        for (int c = 0; c < columns; ++c) {
            for (int r = 0; r < rows; ++r) {
                const QPointF centre(colX(c) + 6, rowY(r) + 6.5);
                if (hasButton(c, r)) {
                    p.setPen(Qt::NoPen);
                    p.setBrush(QColor(0, 0, 0, 170));
                    p.drawRoundedRect(QRectF(colX(c) - 1.5, rowY(r) - 1.5, 15, 16), 2.5, 2.5);
                } else {
                    p.setPen(Qt::NoPen);
                    p.setBrush(QColor(255, 255, 255, 45));
                    p.drawEllipse(centre, 1.3, 1.3);
                }
            }
        }

        // Column legends read upwards; the heads name the two axes.
        const QFont small = PanelPainter::font(W::Regular, 10, 0.2);
        const QFont axis = PanelPainter::font(W::Bold, 10, 0.8);
        QStringList sources{"anlg.", "ADAT"};
        QStringList destinations{"analog", "ADAT"};
        for (int b = 1; b <= n; ++b) {
            sources << QStringLiteral("M%1").arg(b);
            destinations << QStringLiteral("M%1").arg(b);
        }
        destinations << "off";
        for (int c = 0; c < columns; ++c)
            PanelPainter::upwardText(p, QPointF(colX(c) + 6, top - 3), sources[c], small,
                                     c < 2 ? PanelPainter::legend() : PanelPainter::legendDim());
        for (int r = 0; r < rows; ++r)
            PanelPainter::legendText(p, QRectF(0, rowY(r) + 6.5 - 8, left - 4, 16),
                                     Qt::AlignRight | Qt::AlignVCenter, destinations[r], small,
                                     (r < 2 || r == rows - 1) ? PanelPainter::legend()
                                                              : PanelPainter::legendDim());
        PanelPainter::legendText(p, QRectF(left, 22, right - left, 14), Qt::AlignHCenter | Qt::AlignVCenter,
                                 "Source", axis, PanelPainter::accent());
        const qreal textWidth = QFontMetricsF(axis).horizontalAdvance("Destination");
        const qreal mid = (top + bottom) / 2.0;
        p.save();
        p.translate(10, mid + textWidth / 2.0);
        p.rotate(-90);
        PanelPainter::legendText(p, QRectF(0, -7, textWidth + 4, 14), Qt::AlignLeft | Qt::AlignVCenter,
                                 "Destination", axis, PanelPainter::accent());
        p.restore();
    });
}

QImage PageImages::gains(bool input) {
    const QString title = input ? "INPUT CHANNELS" : "OUTPUT CHANNELS";
    return panel(QSize(546, 244), title, input ? 501 : 502, [&](QPainter &p) {
        constexpr int faderTop = 40;
        const int unityY = faderTop + FaderScale::centreRow(FaderScale::unityStep(input));

        for (int k = 0; k < 16; ++k) {
            const int x = 11 + 33 * k;
            // Channel number over the fader's centre line.
            PanelPainter::legendText(p, QRectF(x, 21, 32, 18), Qt::AlignCenter, QString::number(k + 1),
                                     PanelPainter::font(W::Bold, 11), PanelPainter::legend());
            // Lane behind each fader.
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0, 0, 0, 46));
            p.drawRoundedRect(QRectF(x + 2, faderTop + 1, 28, FaderScale::sliderHeight - 2), 3, 3);
        }

        // Unity gain line across the whole bank.
        QColor unity = PanelPainter::accent();
        unity.setAlpha(150);
        PanelPainter::hairline(p, QLineF(14, unityY, 532, unityY), unity);

        // dB legends at both ends of the bank, every 2 dB.
        const QFont f = PanelPainter::font(W::Bold, 8);
        for (int step = 0; step <= FaderScale::steps; step += 4) {
            const qreal y = faderTop + FaderScale::centreRow(step) + 0.5;
            const QColor c =
                step == FaderScale::unityStep(input) ? PanelPainter::accent() : PanelPainter::legendDim();
            const QString t = FaderScale::legend(step, input);
            PanelPainter::legendText(p, QRectF(0, y - 6, 12.5, 12), Qt::AlignRight | Qt::AlignVCenter, t, f,
                                     c);
            PanelPainter::legendText(p, QRectF(534, y - 6, 12, 12), Qt::AlignLeft | Qt::AlignVCenter, t, f,
                                     c);
        }
        PanelPainter::legendText(p, QRectF(0, 24, 14, 12), Qt::AlignRight | Qt::AlignVCenter, "dB",
                                 PanelPainter::font(W::Regular, 8), PanelPainter::legendDim());
        PanelPainter::legendText(p, QRectF(534, 24, 12, 12), Qt::AlignLeft | Qt::AlignVCenter, "dB",
                                 PanelPainter::font(W::Regular, 8), PanelPainter::legendDim());

        // Value strip under the faders, where each fader's gain is written in dark text.
        const QRectF strip(12, 223, 532, 19); // wide enough for the gain text of fader 16
        PanelPainter::recess(p, strip, PanelPainter::strip(), 2);
        for (int k = 1; k < 16; k += 2)
            p.fillRect(QRectF(15 + 33 * k - 1, strip.top() + 1, 33, strip.height() - 1), QColor(0, 0, 0, 14));
    });
}

void PageImages::writeAll(ImageSet &set) {
    const struct {
        Edition edition;
        const char *suffix;
    } editions[] = {{Edition::Neo, ""}, {Edition::Lux, "_lux"}, {Edition::Off, "_off"}};
    const struct {
        const char *name;
        QImage (*draw)(Edition);
        QSize size;
    } pages[] = {
        {"inputs", &inputs, inputsSize}, {"settings", &settings, pageSize}, {"smux", &smux, pageSize}};
    for (const auto &page : pages)
        for (const auto &e : editions)
            set.save(QString(page.name) + e.suffix + ".png", page.draw(e.edition), page.size);

    const struct {
        const char *file;
        int height;
    } routings[] = {{"routing48.png", 219}, {"routing96.png", 178}, {"routing192.png", 160}};
    for (int range = 0; range < 3; ++range)
        set.save(routings[range].file, routing(range), QSize(223, routings[range].height));
    set.save("ingains.png", gains(true), QSize(546, 244));
    set.save("outgains.png", gains(false), QSize(546, 244));
}
