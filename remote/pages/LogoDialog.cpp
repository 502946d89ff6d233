#include "pages/LogoDialog.h"

#include "pages/ClickableLabel.h"
#include "protocol/LogSwitch.h"
#include "protocol/RevisionInfo.h"

#include <QDialog>
#include <QLabel>
#include <QPixmap>

TAVIK_REVISION("LogoDialog.cpp");

LogoDialog::LogoDialog(QWidget *parent) : QWidget(parent) {
    TAVIK_DEBUG("Start of LogoDialog constructor");
    logoLabel = new ClickableLabel(this);
    logoLabel->setPixmap(QPixmap(":/images/gui/logo.png"));
    logoLabel->setGeometry(0, 0, 129, 32);
    logoLabel->setEnabled(true);
    connect(logoLabel, &ClickableLabel::clicked, this, &LogoDialog::LogoClicked);
}

LogoDialog::~LogoDialog() {
    // Earlier about windows are children of this widget and go with it.
    delete splashWindow.data();
}

void LogoDialog::LogoClicked() {
    splashWindow = new QDialog(this);
    splashWindow->setModal(true);
    splashWindow->setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint);
    splashWindow->setFixedSize(489, 228);
    splashWindow->setWindowTitle("Kalvenso Remote");
    auto *picture = new QLabel(splashWindow);
    picture->setPixmap(QPixmap(":/images/gui/splash.png"));
    picture->setGeometry(0, 0, 489, 228);
    splashWindow->show();
}
