// The floor a user would compare TavikRemote's start-up with: a minimal Qt dialog that opens an
// RtMidi JACK input and output pair and lists the ports in a combo box each.
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QVBoxLayout>

#include <RtMidi.h>

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    RtMidiIn in(RtMidi::UNIX_JACK, "MinimalMidiDialog");
    RtMidiOut out(RtMidi::UNIX_JACK, "MinimalMidiDialog");
    QDialog dialog;
    auto *layout = new QVBoxLayout(&dialog);
    auto *inputs = new QComboBox(&dialog);
    auto *outputs = new QComboBox(&dialog);
    for (unsigned i = 0; i < in.getPortCount(); ++i)
        inputs->addItem(QString::fromStdString(in.getPortName(i)));
    for (unsigned i = 0; i < out.getPortCount(); ++i)
        outputs->addItem(QString::fromStdString(out.getPortName(i)));
    layout->addWidget(inputs);
    layout->addWidget(outputs);
    in.openVirtualPort("in");
    out.openVirtualPort("out");
    dialog.resize(300, 100);
    return dialog.exec();
}
