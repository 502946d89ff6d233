#include "pages/QFaderGroupBox.h"

#include "protocol/RevisionInfo.h"

TAVIK_REVISION("QFaderGroupBox.cpp");

QFaderGroupBox::QFaderGroupBox(QWidget *parent) : QGroupBox(parent) {}
