#include "model/SnapshotFile.h"

#include "model/SnapshotSysEx.h"
#include "protocol/RevisionInfo.h"
#include "sysex/TavikSysEx.h"

#include <QFile>
#include <QSaveFile>

TAVIK_REVISION("SnapshotFile.cpp");

std::optional<DeviceSnapshot> SnapshotFile::read(const QString &path, QStringList *errors) {
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        *errors << QStringLiteral("cannot read %1: %2").arg(path, in.errorString());
        return std::nullopt;
    }
    if (in.size() > kMaxBytes) {
        *errors << QStringLiteral("%1 is %2 bytes, more than any snapshot").arg(path).arg(in.size());
        return std::nullopt;
    }
    const QByteArray bytes = in.readAll();
    if (!bytes.isEmpty() && quint8(bytes[0]) == TavikSysEx::SysExStart)
        return SnapshotSysEx::fromBytes(bytes, errors);
    return DeviceSnapshot::fromJson(bytes, errors);
}

bool SnapshotFile::write(const DeviceSnapshot &snapshot, const QString &path, QString *error) {
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(isSysEx(path) ? SnapshotSysEx::toBytes(snapshot) : snapshot.toJson()) < 0 ||
        !out.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, out.errorString());
        return false;
    }
    return true;
}
