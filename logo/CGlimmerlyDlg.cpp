#include "logo/CGlimmerlyDlg.h"

#include "logo/MidiPlatform.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QtGlobal>
#include <climits>

namespace {

const char *const kSection = "TavikNeo";
const char *const kInEntry = "MIDI_IN";
const char *const kOutEntry = "MIDI_OUT";
const char *const kInNameEntry = "MIDI_IN_NAME";
const char *const kOutNameEntry = "MIDI_OUT_NAME";
const char *const kTitle = "Tavik Neo Logo Uploader";
const char *const kTooLarge = "Error: After compression, the logo doesn't fit in the Tavik memory.";

QIcon DialogIcon() {
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(QColor(32, 32, 40));
        QPainter painter(&pixmap);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(120, 200, 255));
        int bar = size / 4;
        painter.drawRect(bar, bar, size - 2 * bar, bar);
        painter.drawRect(size / 2 - bar / 2, bar, bar, size - 2 * bar);
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

CGlimmerlyDlg::CGlimmerlyDlg(std::unique_ptr<MidiPlatform> platform, QWidget *parent)
    : QDialog(parent), m_sender(std::move(platform)) {
    m_transfer = new CLogoTransfer(m_sender, this);
    // The bar shows the acknowledgements before the latest one; it is hidden when all are in.
    connect(m_transfer, &CLogoTransfer::ChunkAcknowledged, this,
            [this](int count) { m_progress->setValue(count - 1); });
    connect(m_transfer, &CLogoTransfer::Finished, this, &CGlimmerlyDlg::OnTransferFinished);
    m_queryTimer = new QTimer(this);
    m_queryTimer->setSingleShot(true);
    m_queryTimer->setInterval(kQueryTimeoutMs);
    connect(m_queryTimer, &QTimer::timeout, this, &CGlimmerlyDlg::OnQueryTimeout);
    m_portTimer = new QTimer(this);
    m_portTimer->setInterval(kPortPollMs);
    connect(m_portTimer, &QTimer::timeout, this, &CGlimmerlyDlg::PollPorts);
    CreateControls();
    InitDialog();
}

CGlimmerlyDlg::~CGlimmerlyDlg() {
    // Close before any widget goes, so no received buffer reaches a half-destroyed dialog.
    m_sender.Port().Close();
}

int CGlimmerlyDlg::ParsePortNumber(const QString &text) {
    QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 10)
        return 0;
    for (QChar c : trimmed) {
        if (!c.isDigit() || c.unicode() > '9')
            return 0;
    }
    bool ok = false;
    qlonglong value = trimmed.toLongLong(&ok);
    if (!ok || value > INT_MAX)
        return 0;
    return static_cast<int>(value);
}

QRect CGlimmerlyDlg::DialogRect(int x, int y, int width, int height) {
    return QRect(qRound(x * 1.5), qRound(y * 1.625), qRound(width * 1.5), qRound(height * 1.625));
}

void CGlimmerlyDlg::CreateControls() {
    setWindowTitle(QString::fromLatin1(kTitle));
    // The layout is measured in units of an 8 point dialog font.
    QFont dialogFont = font();
    dialogFont.setPointSize(8);
    setFont(dialogFont);
    setFixedSize(DialogRect(0, 0, 418, 193).size());

    auto group = [this](const char *text, int x, int y, int w, int h) {
        auto *box = new QGroupBox(QString::fromLatin1(text), this);
        box->setGeometry(DialogRect(x, y, w, h));
    };
    auto label = [this](const char *text, int x, int y, int w, int h) {
        auto *l = new QLabel(QString::fromLatin1(text), this);
        l->setGeometry(DialogRect(x, y, w, h));
        return l;
    };
    auto button = [this](const char *text, const char *name, int x, int y, int w, int h) {
        auto *b = new QPushButton(QString::fromLatin1(text), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        b->setGeometry(DialogRect(x, y, w, h));
        return b;
    };
    auto combo = [this](const char *name, int x, int y, int w, int h) {
        auto *c = new QComboBox(this);
        c->setObjectName(QString::fromLatin1(name));
        c->setGeometry(DialogRect(x, y, w, h));
        return c;
    };
    auto edit = [this](const char *name, int x, int y, int w, int h) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setGeometry(DialogRect(x, y, w, h));
        return e;
    };

    group("MIDI port", 6, 6, 150, 72);
    label("OUT:", 12, 24, 18, 12);
    m_outList = combo("outList", 36, 24, 114, 12);
    label("IN:", 12, 42, 18, 12);
    m_inList = combo("inList", 36, 42, 114, 12);
    m_tryingLabel = label("trying to connect...", 36, 60, 66, 12);
    m_tryingLabel->setObjectName(QStringLiteral("tryingLabel"));
    m_connectButton = button("Connect", "connectButton", 108, 60, 42, 12);
    group("File control", 6, 84, 150, 48);
    m_pathEdit = edit("pathEdit", 18, 96, 114, 12);
    m_browseButton = button("...", "browseButton", 132, 96, 18, 12);
    m_sendButton = button("Send", "sendButton", 108, 114, 42, 12);
    group("Tavik info", 6, 138, 150, 48);
    label("SER:", 12, 150, 18, 12);
    m_deviceList = combo("deviceList", 36, 150, 114, 12);
    label("Name:", 12, 168, 24, 12);
    m_nameEdit = edit("nameEdit", 36, 168, 114, 12);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setTextVisible(false);
    m_progress->setGeometry(DialogRect(168, 174, 174, 10));
    label("V1.1", 348, 174, 66, 12);

    connect(m_connectButton, &QPushButton::clicked, this, &CGlimmerlyDlg::OnConnect);
    connect(m_sendButton, &QPushButton::clicked, this, &CGlimmerlyDlg::OnSend);
    connect(m_browseButton, &QPushButton::clicked, this, &CGlimmerlyDlg::OnBrowse);
    // activated fires for the user's choices only, never for selections made by the program.
    connect(m_outList, &QComboBox::activated, this, &CGlimmerlyDlg::OnOutSelected);
    connect(m_inList, &QComboBox::activated, this, &CGlimmerlyDlg::OnInSelected);
    connect(m_deviceList, &QComboBox::activated, this, &CGlimmerlyDlg::OnDeviceSelected);
}

void CGlimmerlyDlg::InitDialog() {
    setWindowIcon(QIcon::fromTheme(QStringLiteral("com.kalvenso.TavikLogo"), DialogIcon()));
    m_sender.Port().SetOwner(this,
                             [this](const uint8_t *data, size_t length) { OnSysExReceived(data, length); });

    m_inPort = ReadProfile(kInEntry);
    m_outPort = ReadProfile(kOutEntry);
    m_inName = ReadProfileName(kInNameEntry);
    m_outName = ReadProfileName(kOutNameEntry);
    ReadPortLists();
    FillPortLists();

    m_progress->hide();
    m_tryingLabel->hide();

    m_state = Disconnected;
    ConnectPorts(false);
    UpdateControls();
    m_pathEdit->setText(m_picturePath);
    m_portTimer->start();
}

namespace {

QStringList ToStringList(const std::vector<std::string> &names) {
    QStringList list;
    for (const std::string &name : names)
        list << QString::fromStdString(name);
    return list;
}

} // namespace

bool CGlimmerlyDlg::ReadPortLists() {
    QStringList ins = ToStringList(m_sender.Port().InNames(kMaxPorts));
    QStringList outs = ToStringList(m_sender.Port().OutNames(kMaxPorts));
    bool changed = ins != m_inNames || outs != m_outNames;
    m_inNames = ins;
    m_outNames = outs;
    return changed;
}

int CGlimmerlyDlg::ResolvePort(const QStringList &names, int number, const QString &name) {
    if (name.isEmpty() || (number < names.size() && names.at(number) == name))
        return number;
    return static_cast<int>(names.indexOf(name));
}

void CGlimmerlyDlg::FillPortLists() {
    // Refilled whole: the remembered choice is selected again by name, or nothing while its
    // port is missing.
    auto fill = [](QComboBox *list, const QStringList &names, int selected) {
        list->clear();
        list->addItems(names);
        list->setCurrentIndex(selected < list->count() ? selected : -1);
    };
    bool open = m_state != Disconnected;
    fill(m_inList, m_inNames,
         open ? static_cast<int>(m_inNames.indexOf(m_openInName))
              : ResolvePort(m_inNames, m_inPort, m_inName));
    fill(m_outList, m_outNames,
         open ? static_cast<int>(m_outNames.indexOf(m_openOutName))
              : ResolvePort(m_outNames, m_outPort, m_outName));
}

void CGlimmerlyDlg::PollPorts() {
    if (ReadPortLists())
        FillPortLists();
    if (m_state != Disconnected) {
        QString gone = !m_inNames.contains(m_openInName)     ? m_openInName
                       : !m_outNames.contains(m_openOutName) ? m_openOutName
                                                             : QString();
        if (gone.isEmpty())
            return;
        DropConnection();
        UpdateControls();
        FillPortLists();
        m_reconnect = true;
        m_missingPort = gone;
        qWarning("MIDI port \"%s\" went away; disconnected until it is back", qUtf8Printable(gone));
        ShowPortNotice(gone);
    } else if (m_reconnect && ConnectPorts(false)) {
        UpdateControls();
    }
}

bool CGlimmerlyDlg::ConnectPorts(bool userAsked) {
    int in = ResolvePort(m_inNames, m_inPort, m_inName);
    int out = ResolvePort(m_outNames, m_outPort, m_outName);
    if (in < 0 || out < 0) {
        QString missing = in < 0 ? m_inName : m_outName;
        m_reconnect = true;
        // Said once while the port stays away, and again when the user asks.
        if (missing != m_missingPort)
            qWarning("MIDI port \"%s\" is not available", qUtf8Printable(missing));
        if (missing != m_missingPort || userAsked)
            ShowPortNotice(missing);
        m_missingPort = missing;
        return false;
    }
    // A listed entry opens by its name, looked up again as the port opens; a number beyond the
    // list is still tried and fails.
    bool opened =
        in < m_inNames.size() && out < m_outNames.size()
            ? m_sender.Port().OpenNamed(m_inNames.at(in).toStdString(), m_outNames.at(out).toStdString())
            : m_sender.Port().Open(in, out);
    if (!opened)
        return false;
    m_openInName = m_inNames.at(in);
    m_openOutName = m_outNames.at(out);
    // Profiles that hold numbers only follow the ports they opened from now on.
    if (m_inName.isEmpty())
        m_inName = m_openInName;
    if (m_outName.isEmpty())
        m_outName = m_openOutName;
    m_inList->setCurrentIndex(in);
    m_outList->setCurrentIndex(out);
    m_reconnect = false;
    m_missingPort.clear();
    if (m_portNotice != nullptr)
        m_portNotice->hide();
    m_state = TryingToConnect;
    StartQuery();
    return true;
}

void CGlimmerlyDlg::DropConnection() {
    m_sender.Port().Close();
    m_transfer->Abandon();
    m_queryTimer->stop();
    m_awaitingReply = false;
    m_openInName.clear();
    m_openOutName.clear();
    m_state = Disconnected;
}

void CGlimmerlyDlg::StartQuery() {
    m_sender.SendQuery();
    m_awaitingReply = true;
    m_queryRepeats = 0;
    m_queryTimer->start();
}

void CGlimmerlyDlg::ShowPortNotice(const QString &name) {
    if (m_portNotice == nullptr) {
        m_portNotice = new QMessageBox(QMessageBox::Warning, windowTitle(), QString(), QMessageBox::Ok, this);
        m_portNotice->setObjectName(QStringLiteral("portNoticeBox"));
        m_portNotice->setModal(false);
        m_portNotice->setWindowModality(Qt::NonModal);
    }
    m_portNotice->setText(
        QStringLiteral("MIDI port \"%1\" is not available. The uploader connects by itself when it is back.")
            .arg(name));
    m_portNotice->show();
}

QString CGlimmerlyDlg::ReadProfileName(const char *entry) {
    QSettings settings;
    settings.beginGroup(QString::fromLatin1(kSection));
    QVariant value = settings.value(QString::fromLatin1(entry));
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

void CGlimmerlyDlg::WriteProfileName(const char *entry, const QString &name) {
    QSettings settings;
    settings.beginGroup(QString::fromLatin1(kSection));
    settings.setValue(QString::fromLatin1(entry), name);
    settings.sync();
}

int CGlimmerlyDlg::ReadProfile(const char *entry) {
    QSettings settings;
    settings.beginGroup(QString::fromLatin1(kSection));
    return ParsePortNumber(settings.value(QString::fromLatin1(entry), QStringLiteral("0")).toString());
}

void CGlimmerlyDlg::WriteProfile(const char *entry, int value) {
    QSettings settings;
    settings.beginGroup(QString::fromLatin1(kSection));
    settings.setValue(QString::fromLatin1(entry), QString::number(value));
    settings.sync();
}

void CGlimmerlyDlg::UpdateControls() {
    bool disconnected = m_state == Disconnected;
    bool connected = m_state == Connected;

    m_tryingLabel->setVisible(m_state == TryingToConnect);
    m_outList->setEnabled(disconnected);
    m_inList->setEnabled(disconnected);
    m_connectButton->setText(disconnected ? QStringLiteral("Connect") : QStringLiteral("Disconnect"));
    m_connectButton->setEnabled(true);
    if (!connected) {
        ClearDeviceList();
        m_nameEdit->clear();
    }
    m_deviceList->setEnabled(connected);
    m_nameEdit->setEnabled(connected);
    m_pathEdit->setEnabled(connected);
    m_browseButton->setEnabled(connected);
    m_sendButton->setEnabled(connected);
    m_progress->hide();
}

void CGlimmerlyDlg::ClearDeviceList() {
    m_deviceList->clear();
    m_deviceRows = 0;
    m_cachedSelection = -1;
}

void CGlimmerlyDlg::OnConnect() {
    if (m_state == Disconnected) {
        if (ReadPortLists())
            FillPortLists();
        ConnectPorts(true);
    } else {
        DropConnection();
        m_reconnect = false;
    }
    UpdateControls();
}

void CGlimmerlyDlg::OnOutSelected(int index) {
    if (index < 0 || index >= m_outNames.size() || (index == m_outPort && m_outNames.at(index) == m_outName))
        return;
    m_outPort = index;
    m_outName = m_outNames.at(index);
    WriteProfile(kOutEntry, index);
    WriteProfileName(kOutNameEntry, m_outName);
}

void CGlimmerlyDlg::OnInSelected(int index) {
    if (index < 0 || index >= m_inNames.size() || (index == m_inPort && m_inNames.at(index) == m_inName))
        return;
    m_inPort = index;
    m_inName = m_inNames.at(index);
    WriteProfile(kInEntry, index);
    WriteProfileName(kInNameEntry, m_inName);
}

void CGlimmerlyDlg::OnDeviceSelected(int index) {
    if (index < 0 || index == m_cachedSelection)
        return;
    m_cachedSelection = index;
    int row = m_deviceList->itemData(index).toInt();
    if (row >= 0 && row < m_deviceRows)
        m_nameEdit->setText(m_devices[static_cast<size_t>(row)].name);
}

void CGlimmerlyDlg::OnSysExReceived(const uint8_t *data, size_t length) {
    // The transfer sees every message first: its acknowledgements, and the replies that tell it
    // which of them can still come.
    if (m_transfer->Receive(data, length) == CLogoSender::Reply::DeviceReply && m_state != Disconnected) {
        m_awaitingReply = false;
        m_queryTimer->stop();
        if (m_state == TryingToConnect) {
            m_state = Connected;
            m_queryTimer->stop();
            UpdateControls();
            ClearDeviceList();
        }
        AddDevice();
    }
}

void CGlimmerlyDlg::SetAckTimeout(int ms) {
    m_transfer->SetAckTimeout(ms);
}

void CGlimmerlyDlg::OnTransferFinished() {
    UpdateControls();
    ClearDeviceList();
    StartQuery();
}

void CGlimmerlyDlg::OnQueryTimeout() {
    if (m_state == Disconnected || !m_awaitingReply || m_queryRepeats >= kMaxQueryRepeats)
        return;
    ++m_queryRepeats;
    m_sender.SendQuery();
    m_queryTimer->start();
}

void CGlimmerlyDlg::AddDevice() {
    if (m_deviceRows >= kMaxDevices)
        return;
    // A device answering a repeated query is listed once.
    for (int row = 0; row < m_deviceRows; ++row)
        if (m_devices[static_cast<size_t>(row)].serial == m_sender.ReplySerial())
            return;
    DeviceEntry &entry = m_devices[static_cast<size_t>(m_deviceRows)];
    entry.serial = m_sender.ReplySerial();
    entry.displaySerial = m_sender.ReplyDisplaySerial();
    entry.name = m_sender.ReplyName();

    // The list keeps its items sorted; each item carries the row it belongs to.
    QString text = QStringLiteral("%1 (SN: %2)").arg(entry.name, entry.displaySerial);
    int position = m_deviceList->count();
    for (int i = 0; i < m_deviceList->count(); ++i) {
        if (QString::compare(text, m_deviceList->itemText(i), Qt::CaseInsensitive) < 0) {
            position = i;
            break;
        }
    }
    m_deviceList->insertItem(position, text, m_deviceRows);
    ++m_deviceRows;

    m_deviceList->setCurrentIndex(0);
    m_cachedSelection = 0;
    int row = m_deviceList->itemData(0).toInt();
    m_nameEdit->setText(m_devices[static_cast<size_t>(row)].name);
}

void CGlimmerlyDlg::OnBrowse() {
    m_picturePath = m_pathEdit->text();
    QFileDialog dialog(this);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setDefaultSuffix(QStringLiteral("jpg"));
    dialog.setNameFilters(
        {QStringLiteral("graphics files (*.bmp *.gif *.jpg)"), QStringLiteral("All Files (*)")});
    if (!m_picturePath.isEmpty()) {
        QFileInfo info(m_picturePath);
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    ApplyChosenPicture(QFileInfo(dialog.selectedFiles().first()).absoluteFilePath());
}

void CGlimmerlyDlg::ApplyChosenPicture(const QString &path) {
    m_picturePath = path;
    m_pathEdit->setText(m_picturePath);
    m_picture.LoadPicture(m_picturePath);
    update();
}

void CGlimmerlyDlg::OnSend() {
    // Only a listed device is ever sent to, never all devices at once.
    int item = m_deviceList->currentIndex();
    int row = item < 0 ? -1 : m_deviceList->itemData(item).toInt();
    if (row < 0 || row >= m_deviceRows)
        return;

    if (!m_sender.BuildLogoBlock(m_picture, m_nameEdit->text())) {
        QMessageBox box(QMessageBox::NoIcon, windowTitle(), QString::fromLatin1(kTooLarge), QMessageBox::Ok,
                        this);
        box.setObjectName(QStringLiteral("tooLargeBox"));
        box.exec();
        return;
    }

    m_sendButton->setEnabled(false);
    m_pathEdit->setEnabled(false);
    m_browseButton->setEnabled(false);
    m_deviceList->setEnabled(false);
    m_nameEdit->setEnabled(false);

    uint32_t target = m_devices[static_cast<size_t>(row)].serial;

    m_progress->setRange(0, CLogoSender::kChunkCount);
    m_transfer->Start(target);
    m_progress->setValue(0);
    m_progress->show();
}

void CGlimmerlyDlg::paintEvent(QPaintEvent *event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    m_picture.PaintPreview(painter);
}

void CGlimmerlyDlg::keyPressEvent(QKeyEvent *event) {
    // Enter presses the focused button; with no button focused it ends the dialog.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto *focused = qobject_cast<QPushButton *>(focusWidget())) {
            if (focused->isEnabled())
                focused->click();
        } else {
            accept();
        }
        return;
    }
    QDialog::keyPressEvent(event);
}
