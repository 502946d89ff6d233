// Stand-in for the routing page's square radio button, so the preview meets the same style sheet rules.
#pragma once

#include <QRadioButton>

class QRoutingRadioButton : public QRadioButton {
    Q_OBJECT
public:
    explicit QRoutingRadioButton(QWidget *parent) : QRadioButton(parent) {}
};
