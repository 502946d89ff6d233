#include "ctl/ListCommand.h"

#include "ctl/CtlOutput.h"
#include "ctl/CtlSession.h"
#include "ctl/ExitCode.h"

#include "model/TavikConfiguration.h"
#include "protocol/MidiCodec.h"
#include "protocol/RevisionInfo.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

TAVIK_REVISION("ListCommand.cpp");

using CtlOutput::print;

ListCommand::ListCommand(const CtlOptions &options, QObject *parent) : QObject(parent), options(options) {
    listening.setSingleShot(true);
    listening.setTimerType(Qt::PreciseTimer);
    QObject::connect(&listening, &QTimer::timeout, this, &ListCommand::listFound);
}

ListCommand::~ListCommand() = default;

void ListCommand::run(double waitSeconds) {
    session =
        std::make_unique<CtlSession>(QString::fromStdString(options.in), QString::fromStdString(options.out));
    QString error;
    if (!session->connect(&error))
        return emit finished(CtlOutput::fail(ExitCode::MidiError, error));
    // Devices answer the version request that the link broadcasts every 900 ms.
    listening.start(int(waitSeconds * 1000));
}

void ListCommand::listFound() {
    const QList<TavikConfiguration *> found = session->devices();
    if (options.json) {
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
    emit finished(found.isEmpty() ? ExitCode::NotFound : ExitCode::Done);
}
