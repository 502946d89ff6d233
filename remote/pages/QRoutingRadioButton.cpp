#include "pages/QRoutingRadioButton.h"

#include "protocol/RevisionInfo.h"

TAVIK_REVISION("QRoutingRadioButton.cpp");

QRoutingRadioButton::QRoutingRadioButton(QWidget *parent) : QRadioButton(parent) {}
