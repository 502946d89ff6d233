// The command line of tavik-sim: devices to simulate, MIDI client and API, log and test faults.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class SimOptions {
public:
    struct DeviceSpec {
        uint8_t family = 1;
        uint32_t serial = 12345;
        QString name = QStringLiteral("Studio");
    };
    enum class Api { Auto, Jack, Alsa };

    std::vector<DeviceSpec> devices; // neo:12345:Studio when none is given
    QString clientName = QStringLiteral("tavik-sim");
    Api api = Api::Auto;
    QString logFile;
    int statusIntervalMs = 500; // 0: no periodic status reports
    double silentAfterSec = -1; // below 0: never
    int dropAckFaders = 0;      // 0: drop none
    bool garbage = false;
    int paceBaud = 0; // 0: no pacing
    QString logoDir;
    bool livelyInputs = false;
    int seed = 1; // of the lively inputs' course
    bool help = false;
    bool version = false;

    // Parses the arguments (without the program name). On failure returns false and sets
    // `error` to a one-line reason.
    bool parse(const QStringList &args, QString *error);

    // Parses "FAMILY:SERIAL[:NAME]".
    static bool parseDevice(const QString &text, DeviceSpec *out, QString *error);
    static QString helpText();
};
