#include "windows/TavikConfigurationDialog.h"

#include "model/TavikConfiguration.h"
#include "pages/AudioLevelsDialog.h"
#include "pages/InfoDialog.h"
#include "pages/LockDialog.h"
#include "pages/LogoDialog.h"
#include "pages/RoutingDialog.h"
#include "pages/SMuxDialog.h"
#include "pages/SettingsDialog.h"
#include "pages/StatusDialog.h"
#include "protocol/MidiCodec.h"
#include "protocol/RevisionInfo.h"
#include "windows/MainDialog.h"
#include "windows/StackedTavikDialog.h"
#include "windows/WindowHost.h"

TAVIK_REVISION("TavikConfigurationDialog.cpp");

TavikConfigurationDialog::TavikConfigurationDialog(TavikConfiguration *configuration, WindowHost &host,
                                                   QWidget *parent)
    : QWidget(parent), configuration(configuration) {
    serialNo = configuration ? configuration->getSerialNo() : 0;
    const quint8 deviceType = configuration ? configuration->getDeviceType() : 0;

    // The placeholder (serial number 1) keeps an empty label, so it sorts first in the device list.
    if (serialNo != 1) {
        const QByteArray code = MidiCodec::serialCode(serialNo).toLatin1();
        qstrncpy(serialCode, code.constData(), sizeof(serialCode));
        const QString name = configuration ? QString::fromLatin1(configuration->getDeviceName()) : QString();
        label = name.isEmpty()
                    ? QString::fromLatin1(serialCode)
                    : name + QStringLiteral("\n(") + QString::fromLatin1(serialCode) + QStringLiteral(")");
    }

    LinkHost &core = host.getLinkHost();
    logoDialog = new LogoDialog(this);
    logoDialog->setGeometry(870, 4, 129, 32);

    audioLevelsDialog = new AudioLevelsDialog(serialNo, core, this);
    audioLevelsDialog->setGeometry(0, 37, 546, 494);

    statusDialog = new StatusDialog(serialNo, core, this);
    statusDialog->setGeometry(551, 37, 229, 143);

    settingsDialog = new SettingsDialog(serialNo, core, this);
    settingsDialog->setGeometry(551, 185, 229, 170);
    // The extended-functions switch of one device window applies to all of them.
    connect(
        settingsDialog, &SettingsDialog::allSettingsEnabledRequested, this,
        [&windows = host](bool isEnabled) {
            MainDialog *mainDialog = windows.getMainDialog();
            if (mainDialog && mainDialog->getStackedDialog())
                mainDialog->getStackedDialog()->setExtFunctionsEnabled(isEnabled);
        },
        Qt::DirectConnection);

    smuxDialog = new SMuxDialog(serialNo, core, this);
    smuxDialog->setGeometry(551, 360, 229, 170);

    routingDialog = new RoutingDialog(serialNo, core, this);
    routingDialog->setGeometry(785, 37, 223, 568);
    routingDialog->setEnabled(deviceType == TavikSysEx::FamilyNeo);

    lockDialog = new LockDialog(serialNo, core, this);
    lockDialog->move(5, 540);

    infoDialog = new InfoDialog(serialNo, core, this);
    infoDialog->setGeometry(10, 12, 400, 20);
}

QList<ValuesPage *> TavikConfigurationDialog::valuesPages() const {
    return {settingsDialog,    lockDialog,   smuxDialog, routingDialog,
            audioLevelsDialog, statusDialog, infoDialog};
}
