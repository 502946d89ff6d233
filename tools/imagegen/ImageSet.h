// Collects the generated pictures and writes each one as a PNG into the output folder.
#pragma once

#include <QDir>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

class ImageSet {
public:
    explicit ImageSet(const QString &outputDir);

    // A transparent picture of the given size, ready to paint on.
    static QImage blank(const QSize &size);
    // Writes name (e.g. "inputs.png"); a picture of another size than intended is refused.
    void save(const QString &name, const QImage &image, const QSize &intended);

    const QStringList &written() const { return names; }
    const QStringList &errors() const { return problems; }

private:
    QDir dir;
    QStringList names;
    QStringList problems;
};
