#include "ctl/Monitor.h"

#include "ctl/CtlOutput.h"
#include "ctl/CtlSession.h"
#include "ctl/ExitCode.h"

#include "model/MessageDecoder.h"
#include "model/TavikConfiguration.h"
#include "protocol/MIDI.h"
#include "protocol/MidiCodec.h"
#include "protocol/RevisionInfo.h"

#include "logo/QuitOnSignal.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

#include <climits>
#include <cstdio>

TAVIK_REVISION("Monitor.cpp");

namespace {
void printLine(const CtlSession &session, bool incoming, const MidiMessage &message, bool raw, bool json) {
    const MessageDecoder::Decoded d = MessageDecoder::decode(message);
    const QString time = QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz"));
    QString device;
    QString name;
    if (d.serial > 0) {
        device = MidiCodec::serialCode(d.serial);
        if (const TavikConfiguration *cfg = session.getConfiguration(d.serial))
            name = QString::fromLatin1(cfg->getDeviceName());
    } else if (d.serial == 0) {
        device = QStringLiteral("all");
    }
    const bool showBytes = raw || !d.wellFormed;
    QString line;
    if (json) {
        QJsonObject entry{
            {QStringLiteral("direction"), incoming ? QStringLiteral("in") : QStringLiteral("out")},
            {QStringLiteral("time"), time},
            {QStringLiteral("well_formed"), d.wellFormed},
            {QStringLiteral("command"), d.command},
            {QStringLiteral("fields"), d.fields}};
        if (d.serial >= 0)
            entry.insert(QStringLiteral("serial"), d.serial);
        if (!device.isEmpty())
            entry.insert(QStringLiteral("serial_text"), device);
        if (!name.isEmpty())
            entry.insert(QStringLiteral("name"), name);
        if (showBytes)
            entry.insert(QStringLiteral("bytes"), MessageDecoder::hex(message));
        line = QString::fromUtf8(QJsonDocument(entry).toJson(QJsonDocument::Compact));
    } else {
        line = (incoming ? QStringLiteral("in   ") : QStringLiteral("out  ")) + time + QStringLiteral("  ");
        if (!device.isEmpty())
            line += device + (name.isEmpty() ? QString() : QLatin1Char(' ') + name) + QStringLiteral("  ");
        line += d.wellFormed ? d.command
                             : QStringLiteral("malformed") +
                                   (d.command.isEmpty() ? QString() : QLatin1Char(' ') + d.command);
        if (!d.fields.isEmpty())
            line += QStringLiteral("  ") + d.fields;
        if (showBytes)
            line += QStringLiteral("  [") + MessageDecoder::hex(message) + QLatin1Char(']');
    }
    std::fputs((line + QLatin1Char('\n')).toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}
} // namespace

Monitor::Monitor(const CtlOptions &options, bool raw, QObject *parent)
    : QObject(parent), options(options), raw(raw) {
    limit.setSingleShot(true);
    limit.setTimerType(Qt::PreciseTimer);
    QObject::connect(&limit, &QTimer::timeout, this, [this] { emit finished(ExitCode::Done); });
}

Monitor::~Monitor() = default;

void Monitor::run(double seconds) {
    session =
        std::make_unique<CtlSession>(QString::fromStdString(options.in), QString::fromStdString(options.out));
    MIDI *link = session->getMIDI();
    QObject::connect(link, &MIDI::messageReceived, link, [this](const MidiMessage &message) {
        printLine(*session, true, message, raw, options.json);
    });
    QObject::connect(link, &MIDI::messageSent, link, [this](const MidiMessage &message) {
        printLine(*session, false, message, raw, options.json);
    });
    QString error;
    if (!session->connect(&error))
        return emit finished(CtlOutput::fail(ExitCode::MidiError, error));
    interrupt = std::make_unique<QuitOnSignal>();
    QObject::connect(interrupt.get(), &QuitOnSignal::Requested, this,
                     [this] { emit finished(ExitCode::Done); });
    limit.start(seconds > 0 ? int(seconds * 1000) : INT_MAX);
}
