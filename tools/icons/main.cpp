// tavik-icongen: draws the desktop icons of TavikRemote and TavikLogo for the hicolor theme.
//
// Usage: tavik-icongen --out DIR   writes DIR/<size>x<size>/apps/<name>.png and DIR/scalable/apps/<name>.svg

#include "IconDesigns.h"
#include "OffscreenPlatform.h"
#include "ToolCommandLine.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

namespace {
bool writeIcon(const QDir &out, const QString &name, const IconDrawing &drawing, QTextStream &err) {
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        drawing.paint(painter, size);
        painter.end();
        const QString path = out.filePath(folder + '/' + name + ".png");
        if (!out.mkpath(folder) || !image.save(path, "PNG")) {
            err << "tavik-icongen: cannot write " << path << "\n";
            return false;
        }
    }
    const QString path = out.filePath("scalable/apps/" + name + ".svg");
    QFile svg(path);
    if (!out.mkpath("scalable/apps") || !svg.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        svg.write(drawing.toSvg().toUtf8()) < 0) {
        err << "tavik-icongen: cannot write " << path << "\n";
        return false;
    }
    return true;
}
} // namespace

int main(int argc, char **argv) {
    OffscreenPlatform::chooseUnlessSet();
    QGuiApplication app(argc, argv);
    ToolCommandLine options("tavik-icongen", "Folder of the hicolor icon tree the icons are written to.");
    if (!options.process(app))
        return 2;

    QTextStream err(stderr);
    const QDir out(options.out());
    const bool ok = writeIcon(out, "com.kalvenso.TavikRemote", IconDesigns::remote(), err) &&
                    writeIcon(out, "com.kalvenso.TavikLogo", IconDesigns::logo(), err);
    if (ok)
        QTextStream(stdout) << "tavik-icongen: wrote the icons to " << out.path() << "\n";
    return ok ? 0 : 1;
}
