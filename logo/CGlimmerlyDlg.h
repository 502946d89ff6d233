#pragma once

#include "CLogoPicture.h"
#include "CLogoSender.h"
#include "DeviceEntry.h"

#include <QDialog>
#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
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
    int DeviceRows() const { return m_deviceRows; }
    const DeviceEntry &Device(int row) const { return m_devices.at(static_cast<size_t>(row)); }
    int AckCounter() const { return m_ackCounter; }
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
    void OnAckTimeout();
    void OnQueryTimeout();
    void WriteProfile(const char *entry, int value);
    int ReadProfile(const char *entry);

    State m_state = Disconnected;
    int m_inPort = 0;
    int m_outPort = 0;
    QString m_picturePath;
    CLogoPicture m_picture;
    CLogoSender m_sender;
    std::array<DeviceEntry, kMaxDevices> m_devices;
    int m_deviceRows = 0;
    int m_cachedSelection = -1;
    int m_ackCounter = 0;
    // A chunk whose acknowledgement does not come within the time-out is sent again, a few times:
    // a MIDI link can lose a message, and the transfer would otherwise wait for ever.
    static constexpr int kAckTimeoutMs = 2000;
    static constexpr int kMaxResends = 5;
    QTimer *m_ackTimer = nullptr;
    int m_resends = 0;
    // The query sent right after opening can be lost while the MIDI system is still connecting
    // the ports; while no device has answered it is asked again, a few times.
    static constexpr int kQueryTimeoutMs = 1000;
    static constexpr int kMaxQueryRepeats = 3;
    QTimer *m_queryTimer = nullptr;
    int m_queryRepeats = 0;

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
