// Reads and writes snapshot files: JSON (docs/SNAPSHOTS.md) or the raw SET_VALUES and SET_FADERS
// messages of a .syx file, told apart by the content when reading and by the suffix when writing.
#pragma once

#include "model/DeviceSnapshot.h"

#include <QString>
#include <QStringList>

#include <optional>

class SnapshotFile {
public:
    // Null, with every problem (each naming the field and value), when the file cannot be read or
    // holds no valid snapshot.
    static std::optional<DeviceSnapshot> read(const QString &path, QStringList *errors);
    // Writes the whole file or nothing (a file of the name stays as it was on any failure); false
    // with the reason in error.
    static bool write(const DeviceSnapshot &snapshot, const QString &path, QString *error);
    static bool isSysEx(const QString &path) {
        return path.endsWith(QStringLiteral(".syx"), Qt::CaseInsensitive);
    }

    // Larger files are no snapshot and are not read into memory.
    static constexpr qint64 kMaxBytes = 1 << 20;
};
