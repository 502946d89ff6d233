#include "PageTestHarness.h"

#include "app/MyApplication.h"
#include "model/DeviceClock.h"
#include "protocol/MIDI.h"
#include "windows/MainDialog.h"
#include "windows/StackedTavikDialog.h"
#include "windows/TavikConfigurationDialog.h"

#include <QListWidget>
#include <QSlider>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWindow>

PageTestHarness *PageTestHarness::current = nullptr;

PageTestHarness::PageTestHarness(int &argc, char **argv) {
    current = this;
    fake = installFakeMidi({"In A"}, {"Out A"});
    application = std::make_unique<MyApplication>(argc, argv);
    // A fixed clock: no acknowledgement ever counts as overdue and no device falls silent.
    DeviceClock::setSource([] { return qint64(1800000000000); });
    window = std::make_unique<MainDialog>(*application);

    MIDI *midi = application->getMIDI();
    midi->setPortNumberIn(0);
    midi->setPortNumberOut(0);
    if (!midi->isConnected())
        midi->toggleConnectedStatus();
    midi->stopTimers();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qWarning("page tests: the main window was not exposed");
}

PageTestHarness::~PageTestHarness() {
    window.reset();
    application.reset();
    DeviceClock::setSource({});
    current = nullptr;
}

void PageTestHarness::reset() {
    application->removeAllDevices();
    fake->sent.clear();
    fake->incoming.clear();
}

TavikConfigurationDialog *PageTestHarness::addDevice(unsigned char family, qint32 serial, const char *name) {
    feed(TestSysEx::version(family, quint32(serial), name, 1, 2));
    fake->sent.clear();
    TavikConfigurationDialog *dialog = application->getConfigurationDialog(serial);
    if (dialog)
        select(dialog);
    return dialog;
}

void PageTestHarness::select(TavikConfigurationDialog *dialog) {
    QListWidget *list = window->getStackedDialog()->getDeviceList();
    const QList<QListWidgetItem *> items = list->findItems(dialog->getLabel(), Qt::MatchExactly);
    if (!items.isEmpty())
        list->setCurrentItem(items.first());
    window->getStackedDialog()->getPageStack()->setCurrentWidget(dialog);
    QCoreApplication::processEvents();
}

void PageTestHarness::feed(const MidiMessage &message) {
    MidiMessage copy = message;
    application->getMIDI()->parseMsg(0.0, &copy);
}

std::vector<unsigned char> PageTestHarness::configPayload(int frequency, int sync, int lock,
                                                          const std::array<int, 4> &smux,
                                                          const std::array<int, 12> &routing) {
    std::vector<unsigned char> bytes = {(unsigned char)(frequency | sync << 4), (unsigned char)lock,
                                        (unsigned char)(smux[0] | smux[1] << 4),
                                        (unsigned char)(smux[2] | smux[3] << 4)};
    for (int i = 0; i < 12; i += 2)
        bytes.push_back((unsigned char)(routing[i] | routing[i + 1] << 4));
    return bytes;
}

QString PageTestHarness::command(unsigned char family, qint32 serial, unsigned char command,
                                 const std::vector<unsigned char> &payload) {
    return hex(TestSysEx::message(family, quint32(serial), command, payload));
}

QStringList PageTestHarness::takeSent() {
    QStringList texts;
    for (const MidiMessage &message : fake->sent) {
        const bool broadcast = message.size() == 11 && message[9] == 0x00;
        if (!broadcast)
            texts << hex(message);
    }
    fake->sent.clear();
    return texts;
}

void PageTestHarness::clickAt(QWidget *widget, QPoint pos, Qt::MouseButton button) {
    QWidget *top = widget->window();
    QWindow *handle = top->windowHandle();
    const QPoint inWindow = widget->mapTo(top, pos);
    QTest::mouseClick(handle, button, Qt::NoModifier, inWindow);
    QCoreApplication::processEvents();
}

QPoint PageTestHarness::knobCenter(QSlider *slider) {
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.upsideDown =
        slider->orientation() == Qt::Vertical ? !slider->invertedAppearance() : slider->invertedAppearance();
    return slider->style()
        ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider)
        .center();
}

void PageTestHarness::dragKnobToTop(QSlider *slider, int stepPixels, int waitMs) {
    QWidget *top = slider->window();
    QWindow *handle = top->windowHandle();
    const QPoint start = knobCenter(slider);
    QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, slider->mapTo(top, start));
    for (int y = start.y() - stepPixels; y > -stepPixels; y -= stepPixels) {
        QTest::mouseMove(handle, slider->mapTo(top, QPoint(start.x(), qMax(y, 0))));
        if (waitMs > 0)
            QTest::qWait(waitMs);
    }
    QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, slider->mapTo(top, QPoint(start.x(), 0)));
    QCoreApplication::processEvents();
}
