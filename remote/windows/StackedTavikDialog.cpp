#include "windows/StackedTavikDialog.h"

#include "model/DeviceRegistry.h"
#include "model/TavikConfiguration.h"
#include "pages/AudioLevelsDialog.h"
#include "pages/InfoDialog.h"
#include "pages/LockDialog.h"
#include "pages/LogoDialog.h"
#include "pages/RoutingDialog.h"
#include "pages/SMuxDialog.h"
#include "pages/SettingsDialog.h"
#include "pages/StatusDialog.h"
#include "protocol/LinkHost.h"
#include "protocol/LogSwitch.h"
#include "protocol/RevisionInfo.h"
#include "windows/MIDIConnectDialog.h"
#include "windows/TavikConfigurationDialog.h"
#include "windows/WindowHost.h"

#include <QIcon>
#include <QListWidget>
#include <QListWidgetItem>
#include <QSettings>
#include <QStackedWidget>

TAVIK_REVISION("StackedTavikDialog.cpp");

namespace {

const char *const ExtFunctionsKey = "ExtFunctionsEnabled";
constexpr qint32 PlaceholderSerialNo = 1;

} // namespace

StackedTavikDialog::StackedTavikDialog(WindowHost &host, QWidget *parent) : QWidget(parent), host(host) {
    TAVIK_DEBUG(QStringLiteral("Start of StackedTavikDialog constructor"));

    LinkHost &core = host.getLinkHost();
    if (QSettings *settings = core.getSettings())
        extFunctionsEnabled = settings->value(QLatin1String(ExtFunctionsKey), 0).toInt() == 1;

    deviceList = new QListWidget(this);
    deviceList->setViewMode(QListView::IconMode);
    deviceList->setIconSize(QSize(217, 46));
    deviceList->setMovement(QListView::Static);
    deviceList->setGeometry(0, 37, 229, 421);

    pageStack = new QStackedWidget(this);
    pageStack->setGeometry(233, 0, 1010, 605);

    midiConnectDialog = new MIDIConnectDialog(host, this);
    midiConnectDialog->setGeometry(0, 462, 229, 143);

    connect(deviceList, &QListWidget::currentItemChanged, this, &StackedTavikDialog::changePage);

    // The placeholder keeps the right-hand area filled until a device is found. A placeholder record
    // already registered (by an earlier page stack of this run) is reused rather than replaced, so no
    // window is left holding a deleted record.
    TavikConfiguration *placeholder = core.getConfiguration(PlaceholderSerialNo);
    if (!placeholder) {
        placeholder = new TavikConfiguration(PlaceholderSerialNo);
        core.getRegistry()->addConfiguration(PlaceholderSerialNo, placeholder);
    }
    auto *window = new TavikConfigurationDialog(placeholder, host, this);
    QIcon noIcon;
    addPage(window, &noIcon);
    window->getLogoDialog()->setEnabled(true);
    window->getInfoDialog()->setEnabled(true);
    window->getAudioLevelsDialog()->setEnabled(false);
    window->getStatusDialog()->setEnabled(false);
    window->getSettingsDialog()->setEnabled(false);
    window->getSMuxDialog()->setEnabled(false);
    window->getRoutingDialog()->setEnabled(false);
    window->getLockDialog()->setEnabled(false);

    TAVIK_DEBUG(QStringLiteral("End of StackedTavikDialog constructor"));
}

void StackedTavikDialog::addPage(QWidget *page, QIcon *icon) {
    // A missing page is refused rather than ending the program.
    if (!page) {
        LogSwitch::warning(QStringLiteral("addPage() got an invalid widget-pointer, aborting program!"));
        return;
    }
    if (!icon)
        LogSwitch::warning(QStringLiteral("addPage() got an invalid icon-pointer, aborting program!"));

    auto *window = qobject_cast<TavikConfigurationDialog *>(page);
    const QString label = window ? window->getLabel() : QString();

    int row = 0;
    while (row < deviceList->count() && !(deviceList->item(row)->text() > label))
        ++row;

    auto *item = new QListWidgetItem();
    item->setText(label);
    item->setTextAlignment(Qt::AlignHCenter);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (icon)
        item->setIcon(*icon);
    deviceList->insertItem(row, item);

    pageStack->addWidget(page);

    if (deviceList->count() == 2)
        deviceList->setCurrentRow(1);

    if (window && window->getSettingsDialog())
        window->getSettingsDialog()->setSettingsDialogEnabled(extFunctionsEnabled);
}

void StackedTavikDialog::removePage(qint32 serialNo) {
    QString label;
    bool found = false;
    for (int i = 0; i < pageStack->count(); ++i) {
        auto *window = qobject_cast<TavikConfigurationDialog *>(pageStack->widget(i));
        if (window && window->getSerialNo() == serialNo) {
            label = window->getLabel();
            delete window;
            found = true;
            break;
        }
    }
    if (!found)
        return;

    for (int row = 0; row < deviceList->count(); ++row) {
        if (deviceList->item(row)->text() == label) {
            delete deviceList->item(row);
            break;
        }
    }
}

void StackedTavikDialog::changePage(QListWidgetItem *current, QListWidgetItem *previous) {
    QListWidgetItem *item = current ? current : previous;
    // Both are null when the list has been emptied.
    if (!item)
        return;

    TAVIK_DEBUG(QStringLiteral("Switching tavikStackWidget to new index = ") +
                QString::number(deviceList->row(item)));

    const QString text = item->text();
    for (int i = 0; i < pageStack->count(); ++i) {
        auto *window = qobject_cast<TavikConfigurationDialog *>(pageStack->widget(i));
        if (window && window->getLabel() == text) {
            pageStack->setCurrentWidget(window);
            return;
        }
    }
}

void StackedTavikDialog::setExtFunctionsEnabled(bool enabled) {
    extFunctionsEnabled = enabled;
    if (QSettings *settings = host.getLinkHost().getSettings())
        settings->setValue(QLatin1String(ExtFunctionsKey), enabled ? 1 : 0);

    for (int i = 0; i < pageStack->count(); ++i) {
        auto *window = qobject_cast<TavikConfigurationDialog *>(pageStack->widget(i));
        if (window && window->getSerialNo() > PlaceholderSerialNo && window->getSettingsDialog())
            window->getSettingsDialog()->setSettingsDialogEnabled(enabled);
    }
}
