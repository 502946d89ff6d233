#pragma once

#include "logo/CLogoPicture.h"
#include "logo/CLogoSender.h"
#include "logo/CLogoTransfer.h"
#include "logo/DeviceEntry.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QMessageBox;
class QProgressBar;
class QTimer;
class QPushButton;
class MidiPlatform;

// The uploader dialog: port choice, device list, picture preview and the Send steps with progress.
class CGlimmerlyDlg : public QDialog {
    Q_OBJECT

public:
    enum State { Disconnected = 0, TryingToConnect = 1, Connected = 2 };

    static constexpr int kMaxDevices = 20;
    static constexpr int kMaxPorts = 100;

    explicit CGlimmerlyDlg(std::unique_ptr<MidiPlatform> platform, QWidget *parent = nullptr);
    ~CGlimmerlyDlg() override;

    // Profile text to port number: anything but a plain non-negative decimal number gives 0.
    static int ParsePortNumber(const QString &text);
    // Dialog units to pixels as the 8 point dialog font maps them at 96 dpi.
    static QRect DialogRect(int x, int y, int width, int height);

    // Takes a picture chosen in the file dialog: shows its path, loads it and repaints.
    void ApplyChosenPicture(const QString &path);

    State GetState() const { return m_state; }
    int InPort() const { return m_inPort; }
    int OutPort() const { return m_outPort; }
    // Reads the port lists again and follows their changes: refreshes the lists, disconnects
    // when a port in use went away and connects again when the remembered ports are back. A
    // timer calls it once a second.
    void PollPorts();
    int DeviceRows() const { return m_deviceRows; }
    const DeviceEntry &Device(int row) const { return m_devices.at(static_cast<size_t>(row)); }
    int AckCounter() const { return m_transfer->AckCounter(); }
    // How long a chunk waits for its acknowledgement before it is sent again.
    void SetAckTimeout(int ms);
    CLogoSender &Sender() { return m_sender; }
    const CLogoPicture &Picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    void OnConnect();
    void OnSend();
    void OnBrowse();
    void OnOutSelected(int index);
    void OnInSelected(int index);
    void OnDeviceSelected(int index);

private:
    void CreateControls();
    void InitDialog();
    void UpdateControls();
    void ClearDeviceList();
    void AddDevice();
    void OnSysExReceived(const uint8_t *data, size_t length);
    void OnTransferFinished();
    void OnQueryTimeout();
    void WriteProfile(const char *entry, int value);
    void WriteProfileName(const char *entry, const QString &name);
    int ReadProfile(const char *entry);
    QString ReadProfileName(const char *entry);
    // Reads both port lists; true when either differs from the last reading.
    bool ReadPortLists();
    void FillPortLists();
    // The list entry to open for a remembered number and name: the number when its port has the
    // name (or no name is known), else the first port of that name; -1 when no port has it.
    static int ResolvePort(const QStringList &names, int number, const QString &name);
    // Opens the remembered ports and asks for devices; false when they could not be opened.
    bool ConnectPorts(bool userAsked);
    // Closes the ports as Disconnect does: a transfer is abandoned, the timers stop.
    void DropConnection();
    void StartQuery();
    void ShowPortNotice(const QString &name);

    State m_state = Disconnected;
    int m_inPort = 0;
    int m_outPort = 0;
    // The chosen ports by name; empty when only the numbers are known.
    QString m_inName;
    QString m_outName;
    QStringList m_inNames;
    QStringList m_outNames;
    // The ports open now.
    QString m_openInName;
    QString m_openOutName;
    // Set while a remembered port is missing: the dialog connects when it is back.
    bool m_reconnect = false;
    QString m_missingPort;
    static constexpr int kPortPollMs = 1000;
    QTimer *m_portTimer = nullptr;
    QMessageBox *m_portNotice = nullptr;
    QString m_picturePath;
    CLogoPicture m_picture;
    CLogoSender m_sender;
    std::array<DeviceEntry, kMaxDevices> m_devices;
    int m_deviceRows = 0;
    int m_cachedSelection = -1;
    CLogoTransfer *m_transfer = nullptr;
    // The query sent right after opening can be lost while the MIDI system is still connecting
    // the ports; while no device has answered it is asked again, a few times.
    static constexpr int kQueryTimeoutMs = 1000;
    static constexpr int kMaxQueryRepeats = 3;
    QTimer *m_queryTimer = nullptr;
    int m_queryRepeats = 0;
    bool m_awaitingReply = false;

    QComboBox *m_outList = nullptr;
    QComboBox *m_inList = nullptr;
    QLabel *m_tryingLabel = nullptr;
    QPushButton *m_connectButton = nullptr;
    QLineEdit *m_pathEdit = nullptr;
    QPushButton *m_browseButton = nullptr;
    QPushButton *m_sendButton = nullptr;
    QComboBox *m_deviceList = nullptr;
    QLineEdit *m_nameEdit = nullptr;
    QProgressBar *m_progress = nullptr;
};
