// The MIDI monitor: a window of its own listing every message the link reads and sends, decoded, one a
// row, with filters by device and command, pause, clear, copy and saving as text or as SysEx. It listens
// to the link only while it is shown.
#pragma once

#include <QMetaObject>
#include <QWidget>

#include <memory>

class LinkHost;
class MidiMonitorModel;
class MonitorLog;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;
class QTimer;

class MidiMonitorWindow : public QWidget {
    Q_OBJECT

public:
    explicit MidiMonitorWindow(LinkHost *host, QWidget *parent = nullptr);
    ~MidiMonitorWindow() override;

    // Shows and raises the window; for a serial number of 0 or more it shows that device only, for -1
    // every device.
    void open(qint32 serialNo = -1);

    // How often the messages that came are taken up into the list.
    static constexpr int kBatchMs = 250;

    MonitorLog *log() const { return m_log.get(); }
    MidiMonitorModel *model() const { return m_model; }
    QTableView *view() const { return m_view; }
    QComboBox *deviceFilter() const { return m_deviceBox; }
    QComboBox *commandFilter() const { return m_commandBox; }
    QPushButton *pauseButton() const { return m_pauseButton; }

    // While paused the messages that pass are not kept, and the list stays as it is.
    void setPaused(bool paused);
    bool isPaused() const { return m_paused; }
    void clear();
    // Puts the selected rows on the clipboard, one line each as `tavikctl monitor` prints them.
    void copySelection();
    // Writes the rows shown: a .syx file gets their bytes one message after another, any other file the
    // rows as text. False, with the reason, when the file cannot be written.
    bool saveTo(const QString &path, QString *error = nullptr) const;
    // Takes up at once what came since the last batch (the timer does so every kBatchMs).
    void takeUp();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void listen(bool on);
    void save();
    void fillDeviceFilter();
    void selectDevice(qint32 serialNo);
    void updateStatus();

    LinkHost *m_host;
    std::unique_ptr<MonitorLog> m_log;
    MidiMonitorModel *m_model = nullptr;
    QTableView *m_view = nullptr;
    QComboBox *m_deviceBox = nullptr;
    QComboBox *m_commandBox = nullptr;
    QPushButton *m_pauseButton = nullptr;
    QLabel *m_status = nullptr;
    QTimer *m_batchTimer = nullptr;
    QMetaObject::Connection m_received;
    QMetaObject::Connection m_sent;
    bool m_paused = false;
    // Messages that passed while paused.
    qint64 m_skipped = 0;
};
