// tavikctl: the Tavik devices from the command line, on the same device core as TavikRemote.
#include "ctl/CtlSession.h"
#include "ctl/ExitCode.h"
#include "ctl/PortChoice.h"

#include "model/TavikConfiguration.h"
#include "protocol/MidiCodec.h"

#include <CLI/CLI.hpp>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <iostream>

namespace {
struct Globals {
    std::string in;
    std::string out;
    bool json = false;
    double timeout = 2.0;
};

void print(const QString &text) {
    std::fputs(text.toLocal8Bit().constData(), stdout);
}

int fail(int code, const QString &text) {
    std::fputs(
        ("tavikctl: " + text + (text.endsWith(QLatin1Char('\n')) ? "" : "\n")).toLocal8Bit().constData(),
        stderr);
    return code;
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

int runList(const Globals &g, double waitSeconds) {
    CtlSession session(QString::fromStdString(g.in), QString::fromStdString(g.out));
    QString error;
    if (!session.connect(&error))
        return fail(ExitCode::MidiError, error);
    // Devices answer the version request that the link broadcasts every 900 ms.
    session.waitFor([] { return false; }, int(waitSeconds * 1000));
    const QList<TavikConfiguration *> found = session.devices();
    if (g.json) {
        QJsonArray list;
        for (const TavikConfiguration *cfg : found)
            list.append(
                QJsonObject{{QStringLiteral("serial"), cfg->getSerialNo()},
                            {QStringLiteral("serial_text"), MidiCodec::serialCode(cfg->getSerialNo())},
                            {QStringLiteral("family"), CtlSession::familyName(cfg)},
                            {QStringLiteral("name"), QString::fromLatin1(cfg->getDeviceName())},
                            {QStringLiteral("version"), CtlSession::versionText(cfg)}});
        print(QString::fromUtf8(QJsonDocument(list).toJson()));
    } else {
        for (const TavikConfiguration *cfg : found)
            print(CtlSession::describe(cfg) + QLatin1Char('\n'));
    }
    return found.isEmpty() ? ExitCode::NotFound : ExitCode::Done;
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
    return runList(g, waitSeconds);
}
