// The program's only top-level window: fixed-size background with the page stack on it.
#pragma once

#include <QDialog>

class QLabel;
class StackedTavikDialog;

class MainDialog : public QDialog {
    Q_OBJECT

public:
    MainDialog();
    ~MainDialog() override;

    StackedTavikDialog *getStackedDialog() const { return stackedDialog; }

private:
    StackedTavikDialog *stackedDialog = nullptr;
    QLabel *background = nullptr;
    QLabel *deviceListCaption = nullptr;
};
