// A real application with its main window on in-memory MIDI ports, for tests of the device pages.
#pragma once

#include "FakeMidiPorts.h"
#include "SysExMessages.h" // the device reports the tests feed
#include "TestAppEnvironment.h"
#include "protocol/MidiMessage.h"

#include <QPoint>
#include <QStringList>
#include <array>
#include <memory>
#include <vector>

class MainDialog;
class MyApplication;
class QSlider;
class QWidget;
class TavikConfigurationDialog;

class PageTestHarness {
public:
    // Installs the fake ports, builds the application and the main window, connects and stops the
    // timers (so nothing is polled or dropped behind a test's back) and freezes the device clock.
    PageTestHarness(int &argc, char **argv);
    ~PageTestHarness();
    PageTestHarness(const PageTestHarness &) = delete;
    PageTestHarness &operator=(const PageTestHarness &) = delete;

    static PageTestHarness *instance() { return current; }

    MyApplication *app() const { return application.get(); }
    MainDialog *mainDialog() const { return window.get(); }
    FakeMidiState &midi() const { return *fake; }

    // Removes every real device and forgets what was sent.
    void reset();
    // Announces a device by a version reply through the dispatcher, forgets the greeting sent to it
    // and returns its window, made the visible one.
    TavikConfigurationDialog *addDevice(unsigned char family, qint32 serial, const char *name);
    // Makes the device's window the visible one.
    void select(TavikConfigurationDialog *dialog);
    void feed(const MidiMessage &message);

    // The ten payload bytes of a configuration report, nibble packed as the devices do.
    static std::vector<unsigned char> configPayload(int frequency, int sync, int lock,
                                                    const std::array<int, 4> &smux,
                                                    const std::array<int, 12> &routing);
    // The hex text of a command to the device, for comparing with what was sent.
    static QString command(unsigned char family, qint32 serial, unsigned char command,
                           const std::vector<unsigned char> &payload);

    // Every sent message except the periodic version broadcast, as hex text; clears the record.
    QStringList takeSent();

    // A press and release of the button at pos of the widget, delivered through its top-level window
    // so that it reaches whatever child really sits there.
    static void clickAt(QWidget *widget, QPoint pos, Qt::MouseButton button = Qt::LeftButton);
    // Where the slider's knob is drawn now, in the slider's coordinates.
    static QPoint knobCenter(QSlider *slider);
    // Drags the slider's knob by mouse, through its top-level window, to the top in steps of stepPixels.
    static void dragKnobToTop(QSlider *slider, int stepPixels, int waitMs = 0);

private:
    static PageTestHarness *current;
    TestAppEnvironment environment{"Kalvenso Remote Page Tests"};
    std::shared_ptr<FakeMidiState> fake;
    std::unique_ptr<MyApplication> application;
    std::unique_ptr<MainDialog> window;
};

// main() of a page test: one harness for the process, then the test object's cases.
#define TAVIK_PAGES_TEST_MAIN(TestClass)                                                                     \
    int main(int argc, char **argv) {                                                                        \
        PageTestHarness harness(argc, argv);                                                                 \
        TestClass test;                                                                                      \
        return QTest::qExec(&test, argc, argv);                                                              \
    }
