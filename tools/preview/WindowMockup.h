// A lifelike mock-up of the main window with one device, built from the pictures and plain widgets
// at the window's pixel positions, used to look at the pictures as the program will show them.
#pragma once

#include <QWidget>

class WindowMockup : public QWidget {
public:
    // deviceType 1 Tavik Neo, 5 Tavik Lux, anything else an unidentified device.
    explicit WindowMockup(int deviceType);

private:
    QWidget *buildDeviceWindow(QWidget *parent);
    void buildStatus(QWidget *page);
    void buildSettings(QWidget *page);
    void buildSmux(QWidget *page);
    void buildRouting(QWidget *page);
    void buildLevels(QWidget *page);

    int type;
};
