// tavikctl: the Tavik devices from the command line, on the same device core as TavikRemote.
#include "ctl/CtlOptions.h"
#include "ctl/CtlOutput.h"
#include "ctl/CtlSession.h"
#include "ctl/DeviceCommands.h"
#include "ctl/ExitCode.h"
#include "ctl/ListCommand.h"
#include "ctl/LogoCommand.h"
#include "ctl/Monitor.h"
#include "ctl/PortChoice.h"

#include "model/SettingTable.h"

#include <CLI/CLI.hpp>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <functional>
#include <iostream>
#include <optional>

using CtlOutput::fail;
using CtlOutput::print;

namespace {
using Globals = CtlOptions;

std::string setKeys() {
    QString text =
        QStringLiteral("Keys:\n") + SettingTable::settableKeyLines().join(QLatin1Char('\n')) +
        QStringLiteral(
            "\n"
            "Each group the keys touch is sent as one SET_VALUES (its other values as the device last\n"
            "reported them), all faders together as one SET_FADERS; tavikctl waits for every\n"
            "acknowledgement.\n"
            "Example: tavikctl set Studio rate=96k sync=adat fader.in.3=+1.5\n");
    return text.toStdString();
}

std::string getKeys() {
    QStringList reported;
    for (const SettingTable::Setting &s : SettingTable::rows())
        if (s.readOnly())
            reported << s.key;
    // The reported keys, wrapped as the rest of the help.
    QString lines = QStringLiteral("  ");
    for (const QString &key : reported) {
        if (lines.size() - lines.lastIndexOf(QLatin1Char('\n')) + key.size() > 90)
            lines += QStringLiteral("\n  ");
        lines += key + (key == reported.last() ? QString() : QStringLiteral(", "));
    }
    return QStringLiteral("Keys: those of tavikctl help set (fader.in.N and routing.R.K spelt out, as\n"
                          "fader.in.3 and routing.32-48k.analog_in), and the values the device reports:\n")
        .append(lines.replace(QStringLiteral(", \n"), QStringLiteral(",\n")))
        .append(QStringLiteral(
            "\n"
            "Each value is printed on a line of its own, as set takes it; --json prints an object.\n"
            "Example: tavikctl get Studio rate fader.in.3 input.madi.lock\n"))
        .toStdString();
}

// Help that starts with the usage line, as the other Tavik programs' help does, then says what the
// command is for.
class UsageFirst : public CLI::Formatter {
public:
    std::string make_usage(const CLI::App *app, std::string name) const override {
        return CLI::Formatter::make_usage(app, name) + CLI::Formatter::make_description(app);
    }
    std::string make_description(const CLI::App *) const override { return {}; }
};

// The core's warnings are for TavikRemote's log; tavikctl says what went wrong itself.
void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

int runPorts(const Globals &g) {
    CtlSession session(QString::fromStdString(g.in), QString::fromStdString(g.out));
    if (g.json) {
        QJsonObject ports;
        ports.insert(QStringLiteral("input"), QJsonArray::fromStringList(session.inputNames()));
        ports.insert(QStringLiteral("output"), QJsonArray::fromStringList(session.outputNames()));
        print(QString::fromUtf8(QJsonDocument(ports).toJson()));
        return ExitCode::Done;
    }
    print(QStringLiteral("MIDI input ports:\n") + PortChoice::listing(session.inputNames()) +
          QStringLiteral("MIDI output ports:\n") + PortChoice::listing(session.outputNames()));
    return ExitCode::Done;
}

// Starts the command from the event loop, the program's only one, which ends with the exit code
// the command's finished() gives.
template <class Command> int runToEnd(Command &command, const std::function<void()> &start) {
    QObject::connect(
        &command, &Command::finished, &command, [](int code) { QCoreApplication::exit(code); },
        Qt::SingleShotConnection);
    QTimer::singleShot(0, &command, start);
    return QCoreApplication::exec();
}
} // namespace

int main(int argc, char **argv) {
    CLI::App app{"The Tavik devices on a MIDI port pair, from the command line.", "tavikctl"};
    app.formatter(std::make_shared<UsageFirst>());
    app.footer("Exit codes: 0 done, 1 device not found (diff: different), 2 usage error, 3 MIDI error,\n"
               "4 no answer or no acknowledgement in time, 5 bad file.\n"
               "Ports default to the ones TavikRemote remembered, else the only pair there is.\n");
    app.require_subcommand(0, 1);
    app.set_version_flag("--version", "tavikctl " TAVIK_CTL_VERSION);
    Globals g;
    app.add_option("--in", g.in, "MIDI input port: its number or a part of its name")
        ->envname("TAVIK_IN")
        ->type_name("PORT");
    app.add_option("--out", g.out, "MIDI output port: its number or a part of its name")
        ->envname("TAVIK_OUT")
        ->type_name("PORT");
    app.add_flag("--json", g.json, "machine-readable output");
    app.add_option("--timeout", g.timeout, "how long to wait for an answer, in seconds (default 2)")
        ->check(CLI::PositiveNumber)
        ->type_name("SECONDS");

    CLI::App *ports = app.add_subcommand("ports", "MIDI input and output ports: number and name");
    ports->footer("Example: tavikctl ports");
    CLI::App *list = app.add_subcommand("list", "devices that answer the version request");
    double waitSeconds = 1.5;
    list->add_option("--wait", waitSeconds, "how long to listen, in seconds (default 1.5)")
        ->check(CLI::PositiveNumber)
        ->type_name("SECONDS");
    list->footer("Example: tavikctl --in sim --out sim list --wait 2");
    std::string device, file, second;
    CLI::App *show =
        app.add_subcommand("show", "what the device reports: settings, SMUX, routing, faders, inputs");
    show->add_option("DEVICE", device, "serial number (12345), its display form (141-202-380) or name")
        ->required();
    show->footer("Example: tavikctl show Studio\n         tavikctl --json show 141-202-380");
    CLI::App *set = app.add_subcommand("set", "change values; waits for the device's acknowledgement");
    set->add_option("DEVICE", device, "serial number, its display form or name")->required();
    std::vector<std::string> assignments;
    set->add_option("KEY=VALUE", assignments, "the values to change")->required();
    set->footer(setKeys());
    CLI::App *get = app.add_subcommand("get", "print values the device reports, by key");
    get->add_option("DEVICE", device, "serial number, its display form or name")->required();
    std::vector<std::string> keys;
    get->add_option("KEY", keys, "the values to print")->required();
    get->footer(getKeys());
    CLI::App *save =
        app.add_subcommand("save", "snapshot of the device (FILE.syx: the raw messages that restore it)");
    save->add_option("DEVICE", device, "serial number, its display form or name")->required();
    save->add_option("FILE", file, "the snapshot to write (JSON, or .syx)")->required();
    save->footer("Example: tavikctl save Studio \"Studio 141-202-380.json\"\n"
                 "The format is described in docs/SNAPSHOTS.md.");
    CLI::App *load = app.add_subcommand("load", "restore a snapshot (or a .syx written by save)");
    load->add_option("DEVICE", device, "serial number, its display form or name")->required();
    load->add_option("FILE", file, "the snapshot to restore")->required();
    bool dryRun = false, all = false;
    load->add_flag("--dry-run", dryRun, "print the messages that would be sent, in hex, and send nothing");
    load->add_flag("--all", all, "send every group, not only those that differ from the device");
    load->footer("The whole file is checked first; on any error nothing is sent (exit 5). After the\n"
                 "acknowledgements the device's next reports are compared with the snapshot (exit 4\n"
                 "when they differ).\n"
                 "Example: tavikctl load Stage \"Studio 141-202-380.json\"");
    CLI::App *diff =
        app.add_subcommand("diff", "A and B: a device or a snapshot file; exit 0 same, 1 different");
    diff->add_option("A", file, "a device or a snapshot file")->required();
    diff->add_option("B", second, "a device or a snapshot file")->required();
    diff->footer("Example: tavikctl diff Studio \"Studio 141-202-380.json\"");
    CLI::App *monitor =
        app.add_subcommand("monitor", "every message on the input, decoded, one a line, until Ctrl+C");
    double monitorSeconds = 0;
    bool raw = false;
    monitor->add_option("--seconds", monitorSeconds, "stop after this many seconds")
        ->check(CLI::PositiveNumber)
        ->type_name("N");
    monitor->add_flag("--raw", raw, "add the bytes of every message (malformed ones always show them)");
    monitor->footer("Each line: direction, time, device (serial and name), command and its fields, e.g.\n"
                    "  in   12:00:01.250  141-202-380 Studio  GET_FADERS  out1 -10.0 ... in16 -3.0 dB\n"
                    "tavikctl's own version requests go out every 900 ms, so devices answer and are named.\n"
                    "Example: tavikctl monitor --seconds 10 --raw");
    CLI::App *logo = app.add_subcommand("logo", "upload a start-up logo and name to a Tavik Neo");
    logo->add_option("DEVICE", device, "serial number, its display form or name")->required();
    logo->add_option("PICTURE", file, "the picture (BMP, GIF, JPEG, PNG, ...)")->required();
    std::optional<std::string> logoName;
    logo->add_option("--name", logoName, "the name the device shows (default: the one it has)")
        ->type_name("NAME");
    logo->footer("The picture is scaled into the 220 x 176 logo as TavikLogo does and sent in 64 chunks,\n"
                 "each acknowledged by the device; a chunk without an acknowledgement within 2 s is sent\n"
                 "again, at most five times in a row (then exit 4). Checked before anything is sent: the\n"
                 "picture must fit in the device's memory after compression and the file must be a picture\n"
                 "(else exit 5); the device must be a Tavik Neo and NAME at most 16 characters of plain\n"
                 "ASCII (else exit 2). A progress bar on a terminal, one line a chunk otherwise.\n"
                 "Example: tavikctl logo Studio studio-logo.png --name \"Mastering A\"");
    CLI::App *help = app.add_subcommand("help", "explains a command, with an example");
    std::string topic;
    help->add_option("COMMAND", topic, "the command to explain");

    try {
        app.parse(argc, argv);
        if (app.get_subcommands().empty())
            throw CLI::RequiredError("A command");
    } catch (const CLI::CallForHelp &e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion &e) {
        return app.exit(e);
    } catch (const CLI::ParseError &e) {
        app.exit(e);
        return ExitCode::Usage;
    }

    if (help->parsed()) {
        if (topic.empty()) {
            std::cout << app.help();
            return ExitCode::Done;
        }
        for (CLI::App *command : app.get_subcommands({}))
            if (command->get_name() == topic) {
                std::cout << command->help("tavikctl");
                return ExitCode::Done;
            }
        return fail(
            ExitCode::Usage,
            QStringLiteral("no command \"%1\"; see tavikctl --help").arg(QString::fromStdString(topic)));
    }

    qInstallMessageHandler(quiet);
    QCoreApplication core(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Kalvenso"));
    QCoreApplication::setApplicationName(QStringLiteral("tavikctl"));
    if (ports->parsed())
        return runPorts(g);
    if (list->parsed()) {
        ListCommand command(g);
        return runToEnd(command, [&] { command.run(waitSeconds); });
    }
    if (monitor->parsed()) {
        Monitor command(g, raw);
        return runToEnd(command, [&] { command.run(monitorSeconds); });
    }
    if (logo->parsed()) {
        LogoCommand command(g);
        return runToEnd(command, [&] {
            command.run(QString::fromStdString(device), QString::fromStdString(file),
                        logoName ? std::optional<QString>(QString::fromStdString(*logoName)) : std::nullopt);
        });
    }
    DeviceCommands commands(g);
    const QString deviceArg = QString::fromStdString(device);
    return runToEnd(commands, [&] {
        if (show->parsed())
            return commands.show(deviceArg);
        if (get->parsed()) {
            QStringList wanted;
            for (const std::string &k : keys)
                wanted << QString::fromStdString(k);
            return commands.get(deviceArg, wanted);
        }
        if (save->parsed())
            return commands.save(deviceArg, QString::fromStdString(file));
        if (load->parsed())
            return commands.load(deviceArg, QString::fromStdString(file), dryRun, all);
        if (diff->parsed())
            return commands.diff(QString::fromStdString(file), QString::fromStdString(second));
        QStringList pairs;
        for (const std::string &a : assignments)
            pairs << QString::fromStdString(a);
        commands.set(deviceArg, pairs);
    });
}
