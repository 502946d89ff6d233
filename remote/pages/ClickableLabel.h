// Label that emits clicked() on a press of any mouse button.
#pragma once

#include <QLabel>

class ClickableLabel : public QLabel {
    Q_OBJECT

public:
    explicit ClickableLabel(QWidget *parent);
    ClickableLabel(const QString &text, QWidget *parent);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
};
