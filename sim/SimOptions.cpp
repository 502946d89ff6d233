// The command line of tavik-sim: devices to simulate, MIDI client and API, log and test faults.
#include "sim/SimOptions.h"

#include <cmath>
#include <set>

bool SimOptions::parseDevice(const QString &text, DeviceSpec *out, QString *error) {
    const int first = text.indexOf(QLatin1Char(':'));
    if (first < 0) {
        *error = QStringLiteral("--device needs FAMILY:SERIAL[:NAME], got \"%1\"").arg(text);
        return false;
    }
    const int second = text.indexOf(QLatin1Char(':'), first + 1);
    const QString family = text.left(first).toLower();
    const QString serial = second < 0 ? text.mid(first + 1) : text.mid(first + 1, second - first - 1);
    DeviceSpec result;
    result.name = second < 0 ? QStringLiteral("Studio") : text.mid(second + 1);

    if (family == QLatin1String("neo") || family == QLatin1String("1"))
        result.family = 1;
    else if (family == QLatin1String("lux") || family == QLatin1String("5"))
        result.family = 5;
    else {
        *error = QStringLiteral("unknown device family \"%1\" (neo, lux, 1 or 5)").arg(family);
        return false;
    }
    bool ok = false;
    const qulonglong value = serial.toULongLong(&ok, 10);
    if (!ok || value < 2 || value > 268435455) {
        *error = QStringLiteral("serial number \"%1\" is not in 2..268435455").arg(serial);
        return false;
    }
    result.serial = uint32_t(value);
    if (result.name.size() > 16) {
        *error = QStringLiteral("device name \"%1\" is longer than 16 characters").arg(result.name);
        return false;
    }
    for (QChar c : result.name)
        if (c.unicode() < 0x20 || c.unicode() > 0x7E) {
            *error = QStringLiteral("device name \"%1\" may hold printable ASCII characters only")
                         .arg(result.name);
            return false;
        }
    *out = result;
    return true;
}

bool SimOptions::parse(const QStringList &args, QString *error) {
    std::vector<DeviceSpec> parsedDevices;
    bool seedGiven = false;
    for (int i = 0; i < args.size(); ++i) {
        QString option = args[i];
        QString value;
        bool hasInlineValue = false;
        const int eq = option.indexOf(QLatin1Char('='));
        if (option.startsWith(QLatin1String("--")) && eq > 0) {
            value = option.mid(eq + 1);
            option = option.left(eq);
            hasInlineValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (hasInlineValue)
                return true;
            if (i + 1 >= args.size()) {
                *error = QStringLiteral("%1 needs a value").arg(option);
                return false;
            }
            value = args[++i];
            return true;
        };
        auto takeInt = [&](int min, int max, int *out) -> bool {
            if (!takeValue())
                return false;
            bool ok = false;
            const int n = value.toInt(&ok);
            if (!ok || n < min || n > max) {
                *error = QStringLiteral("%1 needs a whole number in %2..%3, got \"%4\"")
                             .arg(option)
                             .arg(min)
                             .arg(max)
                             .arg(value);
                return false;
            }
            *out = n;
            return true;
        };
        auto noValue = [&]() -> bool {
            if (hasInlineValue) {
                *error = QStringLiteral("%1 takes no value").arg(option);
                return false;
            }
            return true;
        };

        if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
            if (!noValue())
                return false;
            help = true;
        } else if (option == QLatin1String("--version")) {
            if (!noValue())
                return false;
            version = true;
        } else if (option == QLatin1String("--device")) {
            DeviceSpec entry;
            if (!takeValue() || !parseDevice(value, &entry, error))
                return false;
            parsedDevices.push_back(entry);
        } else if (option == QLatin1String("--client")) {
            if (!takeValue())
                return false;
            if (value.isEmpty()) {
                *error = QStringLiteral("--client needs a non-empty name");
                return false;
            }
            clientName = value;
        } else if (option == QLatin1String("--api")) {
            if (!takeValue())
                return false;
            if (value == QLatin1String("auto"))
                api = Api::Auto;
            else if (value == QLatin1String("jack"))
                api = Api::Jack;
            else if (value == QLatin1String("alsa"))
                api = Api::Alsa;
            else {
                *error = QStringLiteral("--api is auto, jack or alsa, got \"%1\"").arg(value);
                return false;
            }
        } else if (option == QLatin1String("--log")) {
            if (!takeValue())
                return false;
            logFile = value;
        } else if (option == QLatin1String("--status-interval")) {
            if (!takeInt(0, 3600000, &statusIntervalMs))
                return false;
        } else if (option == QLatin1String("--silent-after")) {
            if (!takeValue())
                return false;
            bool ok = false;
            const double seconds = value.toDouble(&ok);
            if (!ok || !std::isfinite(seconds) || seconds < 0 || seconds > 1e6) {
                *error = QStringLiteral("--silent-after needs seconds (0 or more), got \"%1\"").arg(value);
                return false;
            }
            silentAfterSec = seconds;
        } else if (option == QLatin1String("--drop-ack-faders")) {
            if (!takeInt(2, 1000000, &dropAckFaders))
                return false;
        } else if (option == QLatin1String("--garbage")) {
            if (!noValue())
                return false;
            garbage = true;
        } else if (option == QLatin1String("--pace-baud")) {
            if (!takeInt(1, 100000000, &paceBaud))
                return false;
        } else if (option == QLatin1String("--lively-inputs")) {
            if (!noValue())
                return false;
            livelyInputs = true;
        } else if (option == QLatin1String("--seed")) {
            if (!takeInt(0, 2147483647, &seed))
                return false;
            seedGiven = true;
        } else if (option == QLatin1String("--logo-dir")) {
            if (!takeValue())
                return false;
            logoDir = value;
        } else {
            *error = QStringLiteral("unknown argument \"%1\" (see --help)").arg(args[i]);
            return false;
        }
    }
    if (seedGiven && !livelyInputs) {
        *error = QStringLiteral("--seed is for --lively-inputs, which is not given");
        return false;
    }
    std::set<uint32_t> serials;
    for (const DeviceSpec &d : parsedDevices)
        if (!serials.insert(d.serial).second) {
            *error = QStringLiteral("serial number %1 is given twice").arg(d.serial);
            return false;
        }
    devices = parsedDevices.empty() ? std::vector<DeviceSpec>{DeviceSpec{}} : parsedDevices;
    return true;
}

QString SimOptions::helpText() {
    return QStringLiteral(
        "Usage: tavik-sim [OPTION]...\n"
        "Simulates Tavik Neo and Tavik Lux converters on a virtual MIDI input and output port,\n"
        "so the Tavik software can be tried and tested without hardware.\n"
        "\n"
        "Options:\n"
        "  --device FAMILY:SERIAL[:NAME]\n"
        "                        simulate a device; repeat for more. FAMILY is neo, lux, 1 or 5,\n"
        "                        SERIAL 2..268435455, NAME up to 16 printable ASCII characters\n"
        "                        (default name \"Studio\"; default device neo:12345:Studio)\n"
        "                        e.g. --device neo:12345:Studio --device lux:777:Booth\n"
        "  --client NAME         MIDI client name (default \"tavik-sim\"); its ports are \"in\" and \"out\"\n"
        "                        (JACK gives the second client a suffix of the server's choosing:\n"
        "                        tavik-sim:in, tavik-sim-01:out on jackd2, tavik-sim-35:out on PipeWire)\n"
        "                        e.g. --client tavik-sim-2\n"
        "  --api auto|jack|alsa  MIDI system; auto tries ALSA, then JACK (default auto)\n"
        "                        e.g. --api jack\n"
        "  --log FILE            log every message received (\"RX F0 ...\") and sent (\"TX F0 ...\"),\n"
        "                        other events as lines starting with \"# \"\n"
        "                        e.g. --log /tmp/tavik-sim.log\n"
        "  --status-interval MS  each device sends its status report this often; 0 turns it off\n"
        "                        (default 500)      e.g. --status-interval 200\n"
        "  --silent-after SEC    all devices stop answering and sending after SEC seconds\n"
        "                        e.g. --silent-after 2.5\n"
        "  --drop-ack-faders N   do not send every Nth ACK FADERS of a device (N >= 2)\n"
        "                        e.g. --drop-ack-faders 3\n"
        "  --garbage             send malformed, truncated, oversized and wrong-family messages\n"
        "                        between the regular status reports      e.g. --garbage\n"
        "  --pace-baud BAUD      handle received messages no faster than a MIDI cable of BAUD\n"
        "                        delivers them (10 bits a byte)          e.g. --pace-baud 31250\n"
        "  --logo-dir DIR        store received logos as DIR/SERIAL-logo.png and DIR/SERIAL-name.txt\n"
        "                        e.g. --logo-dir /tmp/logos\n"
        "  --lively-inputs       the digital inputs a device does not sync to change now and then, as\n"
        "                        on a patched converter: plugged in or pulled, switched between\n"
        "                        44.1 and 48 kHz, lock lost for a moment; a change every 2 to 6 s on\n"
        "                        some input, each logged and sent in a status report at once\n"
        "                        (default: off, only the clock source carries a signal)\n"
        "                        e.g. --lively-inputs\n"
        "  --seed N              with --lively-inputs: the same N gives the same inputs and changes\n"
        "                        (0..2147483647, default 1)                e.g. --seed 7\n"
        "  --help                show this help and exit\n"
        "  --version             show the version and exit\n"
        "\n"
        "Standard input takes one command a line:\n"
        "  silent SERIAL|all     stop answering and sending (e.g. silent 12345)\n"
        "  resume SERIAL|all     answer and send again (e.g. resume all)\n"
        "  send HEXBYTES         send these bytes as one message (e.g. send F0 00 11 22 01 39 60 00 00 41 00 "
        "00 00 "
        "00 F7)\n"
        "  flood N               send N status reports at once (e.g. flood 200)\n"
        "  quit                  end the simulator\n"
        "The end of standard input does not end the simulator; SIGTERM and SIGINT do.\n"
        "Once the ports are open it prints \"ready\" on standard output.\n");
}
