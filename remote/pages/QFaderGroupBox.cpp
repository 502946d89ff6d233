#include "QFaderGroupBox.h"

#include "RevisionInfo.h"

TAVIK_REVISION("QFaderGroupBox.cpp");

QFaderGroupBox::QFaderGroupBox(QWidget *parent) : QGroupBox(parent) {}
