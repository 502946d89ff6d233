// Stored port numbers of both programs: any value the settings or the profile can hold reads as a
// usable port number or as "none" (-1 for TavikRemote, 0 for TavikLogo), never as anything else.
#include "logo/CGlimmerlyDlg.h"
#include "protocol/MIDI.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStringList>
#include <QVariant>

#include <climits>
#include <cstdlib>

namespace {
void require(bool condition) {
    if (!condition)
        std::abort();
}

// The decimal number the text spells exactly (digits only, no sign, no space), if any fits an int.
bool plainNumber(const QString &text, int *value) {
    if (text.isEmpty() || text.size() > 10)
        return false;
    qlonglong v = 0;
    for (QChar c : text) {
        if (c.unicode() < '0' || c.unicode() > '9')
            return false;
        v = v * 10 + (c.unicode() - '0');
    }
    if (v > INT_MAX)
        return false;
    *value = int(v);
    return true;
}

QVariant variantFrom(uint8_t kind, const QByteArray &bytes) {
    switch (kind % 7) {
    case 0:
        return QString::fromUtf8(bytes);
    case 1:
        return QString::fromLatin1(bytes);
    case 2:
        return bytes;
    case 3: {
        qlonglong v = 0;
        memcpy(&v, bytes.constData(), std::min<size_t>(sizeof v, size_t(bytes.size())));
        return v;
    }
    case 4: {
        double v = 0;
        memcpy(&v, bytes.constData(), std::min<size_t>(sizeof v, size_t(bytes.size())));
        return v;
    }
    case 5:
        return QString::fromUtf8(bytes).split(QLatin1Char(','));
    default:
        return QVariant();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_stored_ports";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    // Never written to disk: the folder cannot be created, and the value is read from memory.
    static QSettings settings(QStringLiteral("/proc/tavik-fuzz/settings.ini"), QSettings::IniFormat);

    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), int(size - 1));
    const QVariant stored = variantFrom(data[0], bytes);
    settings.setValue(QStringLiteral("midiInPortnumber"), stored);

    const int remote = MIDI::readStoredPortNumber(&settings, QStringLiteral("midiInPortnumber"));
    require(remote >= -1);
    int expected = 0;
    if (stored.typeId() == QMetaType::QString && plainNumber(stored.toString(), &expected))
        require(remote == expected);

    const QString text = stored.toString();
    const int logo = CGlimmerlyDlg::ParsePortNumber(text);
    require(logo >= 0);
    if (plainNumber(text.trimmed(), &expected))
        require(logo == expected);
    else
        require(logo == 0);
    return 0;
}
