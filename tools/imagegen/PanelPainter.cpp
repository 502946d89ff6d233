#include "PanelPainter.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRandomGenerator>

namespace {

QStringList &overflowList() {
    static QStringList list;
    return list;
}

} // namespace

const QStringList &PanelPainter::overflows() {
    return overflowList();
}

QFont PanelPainter::font(Weight weight, qreal pixelSize, qreal spacing) {
    QFont f(QStringLiteral("Comfortaa"));
    f.setPixelSize(qRound(pixelSize));
    switch (weight) {
    case Weight::Light:
        f.setWeight(QFont::Light);
        break;
    case Weight::Regular:
        f.setWeight(QFont::Normal);
        break;
    case Weight::Bold:
        f.setWeight(QFont::Bold);
        break;
    }
    if (spacing != 0.0)
        f.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

void PanelPainter::brush(QPainter &p, const QRectF &r, quint32 seed, int strength) {
    QRandomGenerator rng(seed);
    p.save();
    p.setClipRect(r);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int y = int(r.top()); y < int(r.bottom()); ++y) {
        const int a = int(rng.bounded(strength + 1));
        const bool light = rng.bounded(2) == 0;
        p.setPen(light ? QColor(255, 255, 255, a) : QColor(0, 0, 0, a + 2));
        p.drawLine(QPointF(r.left(), y + 0.5), QPointF(r.right(), y + 0.5));
        // Short streaks break up the regular lines like real brushed metal.
        for (int i = 0; i < int(r.width()) / 60; ++i) {
            const qreal x = r.left() + rng.bounded(int(r.width()));
            const qreal len = 10 + rng.bounded(50);
            p.setPen(QColor(255, 255, 255, int(rng.bounded(strength / 2 + 2))));
            p.drawLine(QPointF(x, y + 0.5), QPointF(x + len, y + 0.5));
        }
    }
    p.restore();
}

void PanelPainter::fillChassis(QPainter &p, const QRectF &r, quint32 seed) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.0, QColor(0x1f, 0x22, 0x27));
    g.setColorAt(1.0, QColor(0x12, 0x14, 0x17));
    p.fillRect(r, g);
    brush(p, r, seed, 5);
}

void PanelPainter::fillPanel(QPainter &p, const QRectF &r, quint32 seed) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.0, panelTop());
    g.setColorAt(1.0, panelBottom());
    p.fillRect(r, g);
    brush(p, r, seed, 6);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(255, 255, 255, 34));
    p.drawLine(QPointF(r.left(), r.top()), QPointF(r.right() - 1, r.top()));
    p.drawLine(QPointF(r.left(), r.top()), QPointF(r.left(), r.bottom() - 1));
    p.setPen(QColor(0, 0, 0, 110));
    p.drawLine(QPointF(r.left(), r.bottom() - 1), QPointF(r.right() - 1, r.bottom() - 1));
    p.drawLine(QPointF(r.right() - 1, r.top()), QPointF(r.right() - 1, r.bottom() - 1));
    p.restore();
}

void PanelPainter::titleBand(QPainter &p, const QRectF &panel, const QString &title) {
    const QRectF b(panel.left(), panel.top(), panel.width(), 21);
    QLinearGradient g(b.topLeft(), b.bottomLeft());
    g.setColorAt(0.0, band().lighter(112));
    g.setColorAt(1.0, band().darker(108));
    p.fillRect(b, g);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(255, 255, 255, 60));
    p.drawLine(QPointF(b.left(), b.top()), QPointF(b.right() - 1, b.top()));
    p.setPen(QColor(0, 0, 0, 140));
    p.drawLine(QPointF(b.left(), b.bottom() - 1), QPointF(b.right() - 1, b.bottom() - 1));
    p.restore();
    p.save();
    p.setFont(font(Weight::Bold, 12, 1.6));
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(b.translated(0, 1), Qt::AlignCenter, title);
    p.setPen(Qt::white);
    p.drawText(b, Qt::AlignCenter, title);
    p.restore();
}

void PanelPainter::legendText(QPainter &p, const QRectF &r, int flags, const QString &text, const QFont &f,
                              const QColor &c) {
    if (!(flags & Qt::TextWordWrap)) {
        const QRectF needed = QFontMetricsF(f).boundingRect(r, flags, text);
        if (needed.width() > r.width() + 0.5)
            overflowList() << QStringLiteral("\"%1\" needs %2 px, box is %3 px")
                                  .arg(text)
                                  .arg(needed.width(), 0, 'f', 1)
                                  .arg(r.width(), 0, 'f', 1);
    }
    p.save();
    p.setFont(f);
    p.setPen(QColor(0, 0, 0, 120));
    p.drawText(r.translated(0, 1), flags, text);
    p.setPen(c);
    p.drawText(r, flags, text);
    p.restore();
}

void PanelPainter::upwardText(QPainter &p, const QPointF &bottomCentre, const QString &text, const QFont &f,
                              const QColor &c) {
    p.save();
    p.translate(bottomCentre);
    p.rotate(-90);
    // After the turn, x runs upwards and y runs to the right.
    legendText(p, QRectF(0, -8, 60, 16), Qt::AlignLeft | Qt::AlignVCenter, text, f, c);
    p.restore();
}

void PanelPainter::hairline(QPainter &p, const QLineF &line, const QColor &c) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(c);
    p.drawLine(line);
    p.restore();
}

void PanelPainter::recess(QPainter &p, const QRectF &r, const QColor &fill, qreal radius) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath outer;
    outer.addRoundedRect(r.adjusted(-1, -1, 1, 1), radius + 1, radius + 1);
    p.fillPath(outer, QColor(255, 255, 255, 30));
    QPainterPath body;
    body.addRoundedRect(r.adjusted(-1, -1, 1, 0), radius + 0.5, radius + 0.5);
    p.fillPath(body, QColor(0, 0, 0, 190));
    QPainterPath inner;
    inner.addRoundedRect(r.adjusted(0, 0, 0, 0), radius, radius);
    p.fillPath(inner, fill);
    // Shadow of the upper edge falling into the window.
    QLinearGradient sh(r.topLeft(), r.topLeft() + QPointF(0, 4));
    sh.setColorAt(0.0, QColor(0, 0, 0, 110));
    sh.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.fillPath(inner, sh);
    p.restore();
}

void PanelPainter::bezel(QPainter &p, const QRectF &inner) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const QRectF o1 = inner.adjusted(-1, -1, 1, 1);
    const QRectF o2 = inner.adjusted(-2, -2, 2, 2);
    p.setPen(QColor(0, 0, 0, 200));
    p.setBrush(Qt::NoBrush);
    p.drawRect(o1.adjusted(0, 0, -1, -1));
    p.setPen(QColor(255, 255, 255, 26));
    p.drawLine(QPointF(o2.left(), o2.bottom() - 1), QPointF(o2.right() - 1, o2.bottom() - 1));
    p.drawLine(QPointF(o2.right() - 1, o2.top()), QPointF(o2.right() - 1, o2.bottom() - 1));
    p.setPen(QColor(0, 0, 0, 90));
    p.drawLine(QPointF(o2.left(), o2.top()), QPointF(o2.right() - 1, o2.top()));
    p.drawLine(QPointF(o2.left(), o2.top()), QPointF(o2.left(), o2.bottom() - 1));
    p.restore();
}

void PanelPainter::screw(QPainter &p, const QPointF &centre, qreal radius) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 160));
    p.drawEllipse(centre + QPointF(0, 0.6), radius + 0.8, radius + 0.8);
    QRadialGradient g(centre - QPointF(radius * 0.4, radius * 0.4), radius * 1.6);
    g.setColorAt(0.0, QColor(0x8a, 0x8f, 0x99));
    g.setColorAt(1.0, QColor(0x3a, 0x3e, 0x46));
    p.setBrush(g);
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(QColor(0x1a, 0x1c, 0x20), qMax(1.0, radius / 3.5)));
    p.drawLine(centre + QPointF(-radius * 0.6, radius * 0.35),
               centre + QPointF(radius * 0.6, -radius * 0.35));
    p.restore();
}
