// Saves a received logo as <dir>/<serial>-name.txt and a 220 x 176 PNG <dir>/<serial>-logo.png.
#pragma once

#include <QImage>
#include <QString>

#include <cstdint>
#include <vector>

class LogoWriter {
public:
    // RGB565 pixels, row by row, expanded to 8 bits per channel by bit replication; fewer
    // pixels than 220 x 176 (an empty logo) leave the rest black.
    static QImage toImage(const std::vector<uint16_t> &pixels);
    static QString namePath(const QString &dir, uint32_t serial);
    static QString logoPath(const QString &dir, uint32_t serial);
    // Writes both files (the directory is created when missing); false with `error` set when
    // one of them cannot be written.
    static bool save(const QString &dir, uint32_t serial, const QString &name,
                     const std::vector<uint16_t> &pixels, QString *error = nullptr);
};
