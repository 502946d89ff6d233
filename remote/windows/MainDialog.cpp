#include "windows/MainDialog.h"

#include "protocol/LogSwitch.h"
#include "protocol/RevisionInfo.h"
#include "windows/MIDIConnectDialog.h"
#include "windows/StackedTavikDialog.h"
#include "windows/WindowHost.h"

#include <QLabel>
#include <QPixmap>

TAVIK_REVISION("MainDialog.cpp");

namespace {

constexpr int WindowWidth = 1249;
constexpr int WindowHeight = 616;

} // namespace

MainDialog::MainDialog(WindowHost &host) : QDialog(nullptr), host(host) {
    TAVIK_DEBUG(QStringLiteral("Start of MainDialog."));

    // Registered first: the page stack built below already looks devices up through the host.
    host.setMainDialog(this);

    background = new QLabel(this);
    background->setPixmap(QPixmap(QStringLiteral(":/images/gui/main.png")));
    background->setGeometry(0, 0, WindowWidth, WindowHeight);

    deviceListCaption = new QLabel(this);
    deviceListCaption->setPixmap(QPixmap(QStringLiteral(":/images/gui/devicelist.png")));
    deviceListCaption->move(80, 24);
    deviceListCaption->adjustSize();

    stackedDialog = new StackedTavikDialog(host, this);
    stackedDialog->setGeometry(4, 8, 1247, 609);

    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint);
    setMinimumSize(WindowWidth, WindowHeight);
    setMaximumSize(WindowWidth, WindowHeight);
    resize(WindowWidth, WindowHeight);

    stackedDialog->getMIDIConnectDialog()->jumpStart();

    TAVIK_DEBUG(QStringLiteral("End of MainDialog."));
}

MainDialog::~MainDialog() {
    // Nobody may reach the page stack through the host once this window is gone.
    if (host.getMainDialog() == this)
        host.setMainDialog(nullptr);
}
