#include "pages/ClickableLabel.h"

#include "protocol/RevisionInfo.h"

#include <QMouseEvent>

TAVIK_REVISION("ClickableLabel.cpp");

ClickableLabel::ClickableLabel(QWidget *parent) : QLabel(parent) {}

ClickableLabel::ClickableLabel(const QString &text, QWidget *parent) : QLabel(text, parent) {}

void ClickableLabel::mousePressEvent(QMouseEvent *event) {
    // Any button counts; the press is consumed here and not handed to QLabel.
    event->accept();
    emit clicked();
}
