// One TavikRemote inside the test process: application, main window and the link over a private
// JACK server, with tavik-sim as the device peer.
#pragma once

#include "JackServer.h"
#include "SimProcess.h"

#include <QStringList>
#include <memory>

class MainDialog;
class MyApplication;
class MIDI;
class TavikConfiguration;

class RemoteRig {
public:
    // Starts the JACK server and builds application and main window; call once from main.
    static bool setUp(int &argc, char **argv);
    static void tearDown();

    static MyApplication *app();
    static MainDialog *mainDialog();
    static MIDI *midi();
    static JackServer &jack();

    // Starts a simulator with these options (a log is always written).
    static std::unique_ptr<SimProcess> startSim(const QStringList &args);
    // Lists the ports again, picks the simulator's pair and connects through the connection panel.
    static bool connectToSim();
    // Disconnects when connected (through the same slot the panel's button calls).
    static void disconnect();
    // Index of the simulator port whose name ends in suffix (":in" or ":out") in a combo box of the
    // panel, or -1.
    static int simPort(bool input, const QString &suffix);
    // Entries of the device list, placeholder included.
    static int deviceListCount();

    static TavikConfiguration *waitForDevice(qint32 serial, int timeoutMs = 5000);
};
