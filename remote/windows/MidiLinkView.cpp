#include "windows/MidiLinkView.h"

#include "model/TavikConfiguration.h"
#include "pages/ValuesPage.h"
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
    if (TavikConfigurationDialog *dialog = _windows.getConfigurationDialog(change.serial))
        for (ValuesPage *page : dialog->valuesPages())
            if (page && (page->shownGroups() & change.groups))
                page->showChange(change);
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
