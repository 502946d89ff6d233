// Radio button of the routing matrices; its own class so that the style sheet can draw it square.
#pragma once

#include <QRadioButton>

class QRoutingRadioButton : public QRadioButton {
    Q_OBJECT

public:
    explicit QRoutingRadioButton(QWidget *parent);
};
