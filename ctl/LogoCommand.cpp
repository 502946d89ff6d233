#include "ctl/LogoCommand.h"

#include "ctl/CtlOutput.h"
#include "ctl/CtlSession.h"
#include "ctl/ExitCode.h"

#include "logo/CLogoPicture.h"
#include "logo/CLogoSender.h"
#include "logo/CLogoTransfer.h"
#include "logo/RtMidiPlatform.h"
#include "model/TavikConfiguration.h"
#include "protocol/MIDI.h"
#include "protocol/MidiCodec.h"
#include "protocol/RevisionInfo.h"
#include "sysex/TavikSysEx.h"

#include <QEventLoop>
#include <QFileInfo>

#include <cstdio>
#include <memory>
#include <unistd.h>

TAVIK_REVISION("LogoCommand.cpp");

using CtlOutput::fail;
using CtlOutput::print;

namespace {
constexpr int kNameLength = 16;
constexpr int kBarWidth = 32;
} // namespace

LogoCommand::LogoCommand(const CtlOptions &options)
    : m_options(options), m_terminal(isatty(fileno(stdout)) != 0) {}

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

int LogoCommand::run(const QString &device, const QString &picturePath, const std::optional<QString> &name) {
    if (name) {
        const QString problem = nameProblem(*name);
        if (!problem.isEmpty())
            return fail(ExitCode::Usage, problem);
    }
    if (!QFileInfo(picturePath).isFile())
        return fail(ExitCode::BadFile, QStringLiteral("no picture file \"%1\"").arg(picturePath));
    CLogoPicture picture;
    if (!picture.LoadPicture(picturePath))
        return fail(ExitCode::BadFile,
                    QStringLiteral("\"%1\" is not a picture that can be read (BMP, GIF, JPEG, PNG)")
                        .arg(picturePath));
    // The block is built from the name given, or later from the device's own.
    auto sender = std::make_unique<CLogoSender>(std::make_unique<RtMidiPlatform>("tavikctl"));
    if (!sender->BuildLogoBlock(picture, name.value_or(QString())))
        return fail(ExitCode::BadFile,
                    QStringLiteral("the logo does not fit: after compression it takes %1 bytes, "
                                   "the device has room for %2")
                        .arg(sender->CompressedSize())
                        .arg(CLogoSender::kMaxCompressed));

    Target target;
    const int code = findTarget(device, &target);
    if (code != ExitCode::Done)
        return code;
    if (name)
        target.name = *name;
    else
        sender->BuildLogoBlock(picture, target.name);
    return upload(*sender, target);
}

int LogoCommand::findTarget(const QString &device, Target *target) {
    // The device core finds the device as for every other command; its ports are closed again
    // before the uploader opens the same ones by name.
    CtlSession session(QString::fromStdString(m_options.in), QString::fromStdString(m_options.out));
    QString error;
    if (!session.connect(&error))
        return fail(ExitCode::MidiError, error);
    const TavikConfiguration *cfg = session.waitForDevice(device, int(m_options.timeout * 1000), &error);
    if (!cfg)
        return fail(ExitCode::NotFound, error);
    target->serial = uint32_t(cfg->getSerialNo());
    target->name = QString::fromLatin1(cfg->getDeviceName());
    target->label = MidiCodec::serialCode(cfg->getSerialNo()) + QLatin1Char(' ') + target->name;
    if (cfg->getDeviceType() != TavikSysEx::FamilyNeo)
        return fail(ExitCode::Usage,
                    QStringLiteral("%1 is a Tavik Lux; only a Tavik Neo takes a logo").arg(target->label));
    target->inPort = session.inputNames().value(session.getMIDI()->getPortNumberIn()).toStdString();
    target->outPort = session.outputNames().value(session.getMIDI()->getPortNumberOut()).toStdString();
    return ExitCode::Done;
}

int LogoCommand::upload(CLogoSender &sender, const Target &target) {
    CLogoTransfer transfer(sender);
    sender.Port().SetOwner(
        &transfer, [&transfer](const uint8_t *data, size_t length) { transfer.Receive(data, length); });
    if (!sender.Port().OpenNamed(target.inPort, target.outPort))
        return fail(ExitCode::MidiError,
                    QStringLiteral("could not open the MIDI ports \"%1\" and \"%2\" again")
                        .arg(QString::fromStdString(target.inPort), QString::fromStdString(target.outPort)));
    QEventLoop loop;
    QObject::connect(&transfer, &CLogoTransfer::ChunkAcknowledged, &loop,
                     [this](int count) { showProgress(count); });
    QObject::connect(&transfer, &CLogoTransfer::Finished, &loop, [&loop] { loop.exit(ExitCode::Done); });
    QObject::connect(&transfer, &CLogoTransfer::GaveUp, &loop, [&loop] { loop.exit(ExitCode::NoAnswer); });
    showProgress(0);
    transfer.Start(target.serial);
    const int code = loop.exec();
    const int chunk = sender.ChunkIndex();
    sender.Port().Close();
    if (m_terminal)
        print(QStringLiteral("\n"));
    if (code != ExitCode::Done)
        return fail(code,
                    QStringLiteral("%1 did not acknowledge chunk %2 of %3, sent %4 times; the logo is not "
                                   "stored")
                        .arg(target.label)
                        .arg(chunk + 1)
                        .arg(CLogoSender::kChunkCount)
                        .arg(CLogoTransfer::kMaxResends + 1));
    print(QStringLiteral("logo and name \"%1\" uploaded to %2\n").arg(target.name, target.label));
    return ExitCode::Done;
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
