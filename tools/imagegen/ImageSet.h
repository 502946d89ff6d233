// Collects the generated pictures and writes each one as a PNG into the output folder.
#pragma once

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

class ImageSet {
public:
    explicit ImageSet(const QString &outputDir);

    // A transparent picture of the given size, ready to paint on.
    static QImage blank(const QSize &size);
    // How drawn() sets up its painter: Antialiased smooths shapes and text from the start.
    enum Rendering { Aliased, Antialiased };
    // A blank picture of the given size with what draw paints on it.
    static QImage drawn(const QSize &size, Rendering rendering, const std::function<void(QPainter &)> &draw);
    // Writes name (e.g. "inputs.png"); a picture of another size than intended is refused.
    void save(const QString &name, const QImage &image, const QSize &intended);

    const QStringList &written() const { return names; }
    const QStringList &errors() const { return problems; }

private:
    QDir dir;
    QStringList names;
    QStringList problems;
};
