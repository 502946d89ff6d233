#include "ctl/LogoCommand.h"

#include "ctl/CtlOutput.h"
#include "ctl/CtlSession.h"
#include "ctl/ExitCode.h"

#include "logo/CLogoSender.h"
#include "logo/CLogoTransfer.h"
#include "logo/RtMidiPlatform.h"
#include "model/TavikConfiguration.h"
#include "protocol/MIDI.h"
#include "protocol/MidiCodec.h"
#include "protocol/RevisionInfo.h"
#include "sysex/TavikSysEx.h"

#include <QFileInfo>
#include <QMetaObject>

#include <cstdio>
#include <unistd.h>

TAVIK_REVISION("LogoCommand.cpp");

using CtlOutput::print;

namespace {
constexpr int kNameLength = 16;
constexpr int kBarWidth = 32;
} // namespace

LogoCommand::LogoCommand(const CtlOptions &options, QObject *parent)
    : QObject(parent), m_options(options), m_terminal(isatty(fileno(stdout)) != 0) {}

LogoCommand::~LogoCommand() = default;

QString LogoCommand::nameProblem(const QString &name) {
    for (QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return QStringLiteral("the name \"%1\" is not plain ASCII (U+%2)")
                .arg(name)
                .arg(c.unicode(), 4, 16, QLatin1Char('0'));
    if (name.size() > kNameLength)
        return QStringLiteral("the name \"%1\" has %2 characters; a device name has at most %3")
            .arg(name)
            .arg(name.size())
            .arg(kNameLength);
    return {};
}

void LogoCommand::fail(int code, const QString &text) {
    emit finished(CtlOutput::fail(code, text));
}

void LogoCommand::run(const QString &device, const QString &picturePath, const std::optional<QString> &name) {
    m_name = name;
    if (name) {
        const QString problem = nameProblem(*name);
        if (!problem.isEmpty())
            return fail(ExitCode::Usage, problem);
    }
    if (!QFileInfo(picturePath).isFile())
        return fail(ExitCode::BadFile, QStringLiteral("no picture file \"%1\"").arg(picturePath));
    if (!m_picture.LoadPicture(picturePath))
        return fail(ExitCode::BadFile,
                    QStringLiteral("\"%1\" is not a picture that can be read (BMP, GIF, JPEG, PNG)")
                        .arg(picturePath));
    // The block is built from the name given, or later from the device's own.
    m_sender = std::make_unique<CLogoSender>(std::make_unique<RtMidiPlatform>("tavikctl"));
    if (!m_sender->BuildLogoBlock(m_picture, name.value_or(QString())))
        return fail(ExitCode::BadFile,
                    QStringLiteral("the logo does not fit: after compression it takes %1 bytes, "
                                   "the device has room for %2")
                        .arg(m_sender->CompressedSize())
                        .arg(CLogoSender::kMaxCompressed));

    // The device core finds the device as for every other command; its ports are closed again
    // before the uploader opens the same ones by name.
    m_session = std::make_unique<CtlSession>(QString::fromStdString(m_options.in),
                                             QString::fromStdString(m_options.out));
    QString error;
    if (!m_session->connect(&error))
        return fail(ExitCode::MidiError, error);
    m_session->awaitDevice(
        device, int(m_options.timeout * 1000),
        [this](const TavikConfiguration *cfg, const QString &error) { found(cfg, error); });
}

void LogoCommand::found(const TavikConfiguration *cfg, const QString &error) {
    if (!cfg)
        return fail(ExitCode::NotFound, error);
    m_target.serial = uint32_t(cfg->getSerialNo());
    m_target.name = QString::fromLatin1(cfg->getDeviceName());
    m_target.label = MidiCodec::serialCode(cfg->getSerialNo()) + QLatin1Char(' ') + m_target.name;
    if (cfg->getDeviceType() != TavikSysEx::FamilyNeo)
        return fail(ExitCode::Usage,
                    QStringLiteral("%1 is a Tavik Lux; only a Tavik Neo takes a logo").arg(m_target.label));
    m_target.inPort = m_session->inputNames().value(m_session->getMIDI()->getPortNumberIn()).toStdString();
    m_target.outPort = m_session->outputNames().value(m_session->getMIDI()->getPortNumberOut()).toStdString();
    // The session is closed once its wait has returned to the event loop.
    QMetaObject::invokeMethod(this, &LogoCommand::upload, Qt::QueuedConnection);
}

void LogoCommand::upload() {
    m_session.reset();
    if (m_name)
        m_target.name = *m_name;
    else
        m_sender->BuildLogoBlock(m_picture, m_target.name);
    m_transfer = std::make_unique<CLogoTransfer>(*m_sender);
    CLogoTransfer *transfer = m_transfer.get();
    m_sender->Port().SetOwner(
        transfer, [transfer](const uint8_t *data, size_t length) { transfer->Receive(data, length); });
    if (!m_sender->Port().OpenNamed(m_target.inPort, m_target.outPort))
        return fail(
            ExitCode::MidiError,
            QStringLiteral("could not open the MIDI ports \"%1\" and \"%2\" again")
                .arg(QString::fromStdString(m_target.inPort), QString::fromStdString(m_target.outPort)));
    QObject::connect(transfer, &CLogoTransfer::ChunkAcknowledged, this, &LogoCommand::showProgress);
    // The end is taken from the event loop, once the transfer has returned.
    QObject::connect(
        transfer, &CLogoTransfer::Finished, this, [this] { uploaded(ExitCode::Done); }, Qt::QueuedConnection);
    QObject::connect(
        transfer, &CLogoTransfer::GaveUp, this, [this] { uploaded(ExitCode::NoAnswer); },
        Qt::QueuedConnection);
    showProgress(0);
    transfer->Start(m_target.serial);
}

void LogoCommand::uploaded(int code) {
    const int chunk = m_sender->ChunkIndex();
    m_sender->Port().Close();
    if (m_terminal)
        print(QStringLiteral("\n"));
    if (code != ExitCode::Done)
        return fail(code,
                    QStringLiteral("%1 did not acknowledge chunk %2 of %3, sent %4 times; the logo is not "
                                   "stored")
                        .arg(m_target.label)
                        .arg(chunk + 1)
                        .arg(CLogoSender::kChunkCount)
                        .arg(CLogoTransfer::kMaxResends + 1));
    print(QStringLiteral("logo and name \"%1\" uploaded to %2\n").arg(m_target.name, m_target.label));
    emit finished(ExitCode::Done);
}

void LogoCommand::showProgress(int acknowledged) {
    if (!m_terminal) {
        if (acknowledged > 0)
            print(QStringLiteral("chunk %1 of %2 acknowledged\n")
                      .arg(acknowledged)
                      .arg(CLogoSender::kChunkCount));
        return;
    }
    const int filled = acknowledged * kBarWidth / CLogoSender::kChunkCount;
    print(QStringLiteral("\r[%1%2] %3/%4")
              .arg(QString(filled, QLatin1Char('#')), QString(kBarWidth - filled, QLatin1Char('.')))
              .arg(acknowledged, 2)
              .arg(CLogoSender::kChunkCount));
    std::fflush(stdout);
}
