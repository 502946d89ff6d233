// The maker's logo in a device window; every click opens a new modal about window.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QWidget>

class ClickableLabel;

class LogoDialog : public QWidget {
    Q_OBJECT

public:
    explicit LogoDialog(QWidget *parent);
    ~LogoDialog() override;

    ClickableLabel *getLogoLabel() const { return logoLabel; }
    // The about window of the latest click (null before the first).
    QDialog *getSplashWindow() const { return splashWindow; }

public slots:
    void LogoClicked();

private:
    ClickableLabel *logoLabel = nullptr;
    QPointer<QDialog> splashWindow;
};
