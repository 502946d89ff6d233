// tavikctl logo: a start-up logo and name to a Tavik Neo, with the uploader's own code for it.
#pragma once

#include "ctl/CtlOptions.h"
#include "logo/CLogoPicture.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class CLogoSender;
class CLogoTransfer;
class CtlSession;
class TavikConfiguration;

class LogoCommand : public QObject {
    Q_OBJECT

public:
    explicit LogoCommand(const CtlOptions &options, QObject *parent = nullptr);
    ~LogoCommand() override;

    // Checks the name and the picture, finds the device through the device core, then uploads;
    // finished() gives the exit code. Without a name the device keeps the one it has.
    void run(const QString &device, const QString &picturePath, const std::optional<QString> &name);

    // Why a device cannot be given this name (at most 16 characters of plain printable ASCII);
    // empty when it can.
    static QString nameProblem(const QString &name);

signals:
    void finished(int code);

private:
    // The device to upload to and the ports it answered on.
    struct Target {
        uint32_t serial = 0;
        QString label; // "141-202-380 Studio"
        QString name;
        std::string inPort;
        std::string outPort;
    };

    void found(const TavikConfiguration *cfg, const QString &error);
    void upload();
    void uploaded(int code);
    void showProgress(int acknowledged);
    void fail(int code, const QString &text);

    CtlOptions m_options;
    bool m_terminal = false;
    CLogoPicture m_picture;
    std::optional<QString> m_name;
    std::unique_ptr<CLogoSender> m_sender;
    std::unique_ptr<CtlSession> m_session;
    Target m_target;
    std::unique_ptr<CLogoTransfer> m_transfer;
};
