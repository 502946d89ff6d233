// What the windows reach in the program around them: the device core's host, the main window, the
// link's window-side view and the window of each device. The windows are handed their host when
// they are built and hand it on to the windows and pages they build.
#pragma once

#include <QtGlobal>

class LinkHost;
class MainDialog;
class MidiLinkView;
class TavikConfigurationDialog;

class WindowHost {
public:
    // The host of the device core the windows show and change.
    virtual LinkHost &getLinkHost() = 0;
    virtual MainDialog *getMainDialog() const = 0;
    virtual void setMainDialog(MainDialog *dialog) = 0;
    virtual MidiLinkView *getMIDIView() const = 0;
    // The window showing this device, or null.
    virtual TavikConfigurationDialog *getConfigurationDialog(qint32 serialNo) const = 0;

protected:
    ~WindowHost() = default;
};
