// Group box with its own class name so that the style sheet can give fader groups their own look.
#pragma once

#include <QGroupBox>

class QFaderGroupBox : public QGroupBox {
    Q_OBJECT

public:
    explicit QFaderGroupBox(QWidget *parent);
};
