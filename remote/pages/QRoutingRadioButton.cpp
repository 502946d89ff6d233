#include "QRoutingRadioButton.h"

#include "RevisionInfo.h"

TAVIK_REVISION("QRoutingRadioButton.cpp");

QRoutingRadioButton::QRoutingRadioButton(QWidget *parent) : QRadioButton(parent) {}
