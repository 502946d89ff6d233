// What the windows reach in the program around them: the main window, the link's window-side view
// and the window of each device. The program registers one host.
#pragma once

#include <QtGlobal>

class MainDialog;
class MidiLinkView;
class TavikConfigurationDialog;

class WindowHost {
public:
    // The registered host, or null.
    static WindowHost *instance();
    static void setInstance(WindowHost *host);

    virtual MainDialog *getMainDialog() const = 0;
    virtual void setMainDialog(MainDialog *dialog) = 0;
    virtual MidiLinkView *getMIDIView() const = 0;
    // The window showing this device, or null.
    virtual TavikConfigurationDialog *getConfigurationDialog(qint32 serialNo) const = 0;

protected:
    ~WindowHost() = default;
};
