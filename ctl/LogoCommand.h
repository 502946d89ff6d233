// tavikctl logo: a start-up logo and name to a Tavik Neo, with the uploader's own code for it.
#pragma once

#include "ctl/CtlOptions.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string>

class CLogoSender;

class LogoCommand {
public:
    explicit LogoCommand(const CtlOptions &options);

    // Checks the name and the picture, finds the device through the device core, then uploads;
    // returns the exit code. Without a name the device keeps the one it has.
    int run(const QString &device, const QString &picturePath, const std::optional<QString> &name);

    // Why a device cannot be given this name (at most 16 characters of plain printable ASCII);
    // empty when it can.
    static QString nameProblem(const QString &name);

private:
    // The device to upload to and the ports it answered on.
    struct Target {
        uint32_t serial = 0;
        QString label; // "141-202-380 Studio"
        QString name;
        std::string inPort;
        std::string outPort;
    };

    int findTarget(const QString &device, Target *target);
    int upload(CLogoSender &sender, const Target &target);
    void showProgress(int acknowledged);

    CtlOptions m_options;
    bool m_terminal = false;
};
