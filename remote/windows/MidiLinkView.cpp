#include "windows/MidiLinkView.h"

#include "model/TavikConfiguration.h"
#include "pages/AudioLevelsDialog.h"
#include "pages/InfoDialog.h"
#include "pages/LockDialog.h"
#include "pages/RoutingDialog.h"
#include "pages/SMuxDialog.h"
#include "pages/SettingsDialog.h"
#include "pages/StatusDialog.h"
#include "pages/TavikFader.h"
#include "protocol/LinkHost.h"
#include "protocol/LogSwitch.h"
#include "protocol/MidiCodec.h"
#include "protocol/RevisionInfo.h"
#include "windows/MainDialog.h"
#include "windows/StackedTavikDialog.h"
#include "windows/TavikConfigurationDialog.h"
#include "windows/WindowHost.h"

#include <QComboBox>
#include <QIcon>
#include <QMessageBox>
#include <QStackedWidget>
#include <QTimer>

TAVIK_REVISION("MidiLinkView.cpp");

MidiLinkView::MidiLinkView(MIDI *midi, DeviceRegistry *registry, WindowHost &windows, int pageOrigin,
                           QObject *parent)
    : QObject(parent), _midi(midi), _registry(registry), _windows(windows), _pageOrigin(pageOrigin) {
    // Direct connections: each reaction runs at the very point of the link's work it belongs to.
    connect(midi, &MIDI::portListingStarted, this, &MidiLinkView::clearPortCombos, Qt::DirectConnection);
    connect(midi, &MIDI::portListed, this, &MidiLinkView::addPort, Qt::DirectConnection);
    connect(midi, &MIDI::deviceAdmitted, this, &MidiLinkView::admitDevice, Qt::DirectConnection);
    connect(registry, &DeviceRegistry::valuesChanged, this, &MidiLinkView::showChange, Qt::DirectConnection);
    connect(midi, &MIDI::errorToShow, this, &MidiLinkView::showError, Qt::DirectConnection);
    connect(midi, &MIDI::portNoticeShown, this, &MidiLinkView::showPortNotice, Qt::DirectConnection);
    connect(midi, &MIDI::portNoticeHidden, this, &MidiLinkView::hidePortNotice, Qt::DirectConnection);
}

MidiLinkView::~MidiLinkView() {
    delete _portNotice;
}

QMessageBox *MidiLinkView::portNotice() const {
    return _portNotice;
}

void MidiLinkView::showChange(const DeviceRegistry::Change &change) {
    if (change.origin == _pageOrigin && change.origin != DeviceRegistry::FromDevice)
        return;
    for (SettingTable::Group group : SettingTable::groups())
        if (group != SettingTable::Faders && change.groups.testFlag(group))
            applyConfiguration(change.serial, group);
    if (change.groups.testFlag(SettingTable::Faders)) {
        const TavikConfiguration *cfg = _registry ? _registry->getConfiguration(change.serial) : nullptr;
        if (change.fader >= 0)
            applyFader(change.serial, change.fader, change.faderCode);
        else
            for (int fader = 0; cfg && fader < SettingTable::FaderCount; ++fader)
                applyFader(change.serial, fader, cfg->getFaderValue(fader));
    }
    if (change.groups.testFlag(SettingTable::Reported))
        applyStatus(change.serial);
}

void MidiLinkView::enumeratePorts(QComboBox *inCombo, QComboBox *outCombo) {
    if (!_midi)
        return;
    _inCombo = inCombo;
    _outCombo = outCombo;
    _midi->enumeratePorts();
    _inCombo = nullptr;
    _outCombo = nullptr;
}

void MidiLinkView::clearPortCombos() {
    if (_inCombo)
        _inCombo->clear();
    if (_outCombo)
        _outCombo->clear();
}

void MidiLinkView::addPort(bool input, const QString &name) {
    if (QComboBox *combo = input ? _inCombo : _outCombo)
        combo->addItem(name);
}

void MidiLinkView::admitDevice(qint32 serialNo, quint8 family) {
    MainDialog *mainDialog = _windows.getMainDialog();
    StackedTavikDialog *stacked = mainDialog ? mainDialog->getStackedDialog() : nullptr;
    TavikConfiguration *cfg = _windows.getLinkHost().getConfiguration(serialNo);
    if (!stacked || !cfg)
        return;
    // Built right inside the page stack, so adding it does not move ~150 styled widgets again.
    auto *dialog = new TavikConfigurationDialog(cfg, _windows, stacked->getPageStack());
    QIcon icon(family == TavikSysEx::FamilyNeo   ? QStringLiteral(":/images/gui/tavik_icon_neo.png")
               : family == TavikSysEx::FamilyLux ? QStringLiteral(":/images/gui/tavik_icon_lux.png")
                                                 : QStringLiteral(":/images/gui/tavik_icon_xxx.png"));
    stacked->addPage(dialog, &icon);
}

void MidiLinkView::applyConfiguration(qint32 serialNo, SettingTable::Group group) {
    TavikConfigurationDialog *dialog = _windows.getConfigurationDialog(serialNo);
    if (!dialog)
        return;
    switch (group) {
    case SettingTable::RateAndSync:
        if (SettingsDialog *settings = dialog->getSettingsDialog())
            settings->update(false);
        break;
    case SettingTable::Lock:
        if (LockDialog *lock = dialog->getLockDialog())
            lock->update(false);
        break;
    case SettingTable::Smux:
        if (SMuxDialog *smux = dialog->getSMuxDialog())
            smux->update(false);
        break;
    case SettingTable::Routing:
        if (RoutingDialog *routing = dialog->getRoutingDialog()) {
            routing->updateRouting32(false);
            routing->updateRouting88(false);
            routing->updateRouting192(false);
        }
        break;
    default: // the faders and the reported values have their own signals
        break;
    }
}

void MidiLinkView::applyStatus(qint32 serialNo) {
    TavikConfigurationDialog *dialog = _windows.getConfigurationDialog(serialNo);
    if (!dialog)
        return;
    TAVIK_DEBUG(QStringLiteral("GET_STATUS cmd: Setting status values from Tavik to GUI:"));
    if (StatusDialog *status = dialog->getStatusDialog())
        status->updateStatus();
    if (InfoDialog *info = dialog->getInfoDialog())
        info->updateInfo();
}

void MidiLinkView::applyFader(qint32 serialNo, int faderNo, int value) {
    TavikConfigurationDialog *dialog = _windows.getConfigurationDialog(serialNo);
    AudioLevelsDialog *levels = dialog ? dialog->getAudioLevelsDialog() : nullptr;
    if (TavikFader *fader = levels ? levels->getTavikFader(faderNo) : nullptr)
        fader->update(value, false);
}

void MidiLinkView::showError(const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok);
    box.exec();
}

void MidiLinkView::showPortNotice(const QString &text) {
    // One notice, reused; it stays open without blocking while the link waits for the port.
    if (!_portNotice) {
        _portNotice = new QMessageBox(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok);
        _portNotice->setObjectName(QStringLiteral("portNoticeBox"));
        _portNotice->setWindowModality(Qt::NonModal);
    }
    // The main window runs modal: a notice that is not its child would take no click or key, and
    // could not be closed. At start-up the notice may come before the window does.
    QWidget *mainWindow = _windows.getMainDialog();
    if (mainWindow && _portNotice->parentWidget() != mainWindow)
        _portNotice->setParent(mainWindow, _portNotice->windowFlags());
    _portNotice->setText(text);
    _portNotice->show();
    // At start-up the main window is shown after this: raise the notice above it then.
    QTimer::singleShot(0, _portNotice, [box = _portNotice] {
        box->raise();
        box->repaint();
    });
}

void MidiLinkView::hidePortNotice() {
    if (_portNotice)
        _portNotice->hide();
}
