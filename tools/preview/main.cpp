// tavik-preview: draws the main window mock-up for each edition and a contact sheet of every picture,
// from the pictures embedded in tavik_resources, so they can be looked at together.
//
// Usage: tavik-preview OUTPUT_DIR

#include "OffscreenPlatform.h"
#include "WindowMockup.h"
#include "resources/ResourceNames.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QTextStream>

namespace {

void loadFontsAndStyle(QApplication &app) {
    QString family;
    for (const QString &path : ResourceNames::fonts()) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly)) {
            const int id = QFontDatabase::addApplicationFontFromData(f.readAll());
            if (id >= 0)
                family = QFontDatabase::applicationFontFamilies(id).value(0);
        }
    }
    QFont::insertSubstitution(QStringLiteral("Sansation"), family);
    QFile sheet(ResourceNames::styleSheet());
    if (sheet.open(QIODevice::ReadOnly))
        app.setStyleSheet(QString::fromLatin1(sheet.readAll()));
}

QImage contactSheet() {
    const QStringList names = ResourceNames::guiImages();
    constexpr int columnWidth = 570;
    constexpr int pad = 12;
    constexpr int labelWidth = 170;
    // Two columns of pictures with their names, the large main picture last at full width.
    QList<QImage> images;
    for (const QString &n : names)
        images << QImage(n);
    int x = pad, y = pad, rowHeight = 0, height = pad;
    QList<QPoint> places;
    for (int i = 0; i < images.size(); ++i) {
        const QSize s = images[i].size();
        if (s.width() > columnWidth) {
            places << QPoint(-1, -1);
            continue;
        }
        if (x + qMax(s.width(), labelWidth) > 2 * columnWidth) {
            x = pad;
            y += rowHeight + 18 + pad;
            rowHeight = 0;
        }
        places << QPoint(x, y);
        x += qMax(s.width(), labelWidth) + pad;
        rowHeight = qMax(rowHeight, s.height());
    }
    height = y + rowHeight + 18 + pad;
    int bigY = height;
    for (int i = 0; i < images.size(); ++i)
        if (places[i].x() < 0) {
            places[i] = QPoint(pad, bigY);
            bigY += images[i].height() + 18 + pad;
        }
    QImage sheet(qMax(2 * columnWidth, 1249 + 2 * pad), bigY, QImage::Format_RGB32);
    sheet.fill(QColor(0x80, 0x80, 0x80));
    QPainter p(&sheet);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    for (int i = 0; i < images.size(); ++i) {
        p.drawImage(places[i], images[i]);
        p.setPen(Qt::black);
        p.drawText(places[i] + QPoint(0, images[i].height() + 13), QStringLiteral("%1  %2 x %3")
                                                                       .arg(names[i].section('/', -1))
                                                                       .arg(images[i].width())
                                                                       .arg(images[i].height()));
    }
    return sheet;
}

} // namespace

int main(int argc, char **argv) {
    OffscreenPlatform::chooseUnlessSet();
    QApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "usage: tavik-preview OUTPUT_DIR\n";
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    loadFontsAndStyle(app);

    const struct {
        int type;
        const char *file;
    } editions[3] = {{1, "preview_neo.png"}, {5, "preview_lux.png"}, {0, "preview_off.png"}};
    bool ok = true;
    for (const auto &e : editions) {
        WindowMockup window(e.type);
        window.show();
        app.processEvents();
        ok = window.grab().save(out.filePath(e.file)) && ok;
    }
    ok = contactSheet().save(out.filePath("contact_sheet.png")) && ok;
    QTextStream(stdout) << "tavik-preview: pictures written to " << out.path() << "\n";
    return ok ? 0 : 1;
}
