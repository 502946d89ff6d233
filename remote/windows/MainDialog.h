// The program's only top-level window: fixed-size background with the page stack on it.
#pragma once

#include <QDialog>

class QLabel;
class StackedTavikDialog;
class WindowHost;

class MainDialog : public QDialog {
    Q_OBJECT

public:
    // Registers itself as the host's main window for its lifetime.
    explicit MainDialog(WindowHost &host);
    ~MainDialog() override;

    StackedTavikDialog *getStackedDialog() const { return stackedDialog; }

private:
    WindowHost &host;
    StackedTavikDialog *stackedDialog = nullptr;
    QLabel *background = nullptr;
    QLabel *deviceListCaption = nullptr;
};
