// The uploader dialog over a fake platform layer with an in-process device: start-up and the
// remembered ports, the controls by state, the device list, Send with progress, the oversized
// logo message and Disconnect during a transfer.
#include "FakeMidiPlatform.h"
#include "MessageBoxCloser.h"
#include "SysExMessages.h"
#include "logo/CGlimmerlyDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct SimDevice {
    uint32_t serial;
    std::string name;
};

// The dialog with a fake platform whose devices answer queries and acknowledge chunks.
struct Harness {
    FakeMidiPlatform *fake;
    std::vector<SimDevice> devices;
    int queriesToAnswer = 1000;
    bool autoAck = true;
    int queries = 0;
    std::vector<std::vector<uint8_t>> chunks;
    std::unique_ptr<CGlimmerlyDlg> dlg;

    explicit Harness(std::vector<SimDevice> devs, int ports = 3, bool failOpen = false)
        : devices(std::move(devs)) {
        std::vector<std::string> ins, outs;
        for (int i = 0; i < ports; ++i) {
            ins.push_back("in " + std::to_string(i));
            outs.push_back("out " + std::to_string(i));
        }
        fake = new FakeMidiPlatform(ins, outs);
        fake->failInOpen = failOpen;
        fake->SetResponder([this](const std::vector<uint8_t> &sent) { Respond(sent); });
        dlg = std::make_unique<CGlimmerlyDlg>(std::unique_ptr<MidiPlatform>(fake));
    }

    void Respond(const std::vector<uint8_t> &sent) {
        if (sent.size() == 11 && sent[9] == 0x00) {
            ++queries;
            if (queries > queriesToAnswer)
                return;
            for (const SimDevice &d : devices)
                fake->Inject(TestSysEx::version(TavikSysEx::FamilyNeo, d.serial, d.name, 0x01, 0x00, 0x00));
        } else if (sent.size() > 9 && sent[9] == 0x03) {
            chunks.push_back(sent);
            if (autoAck)
                Ack();
        }
    }

    void Ack() {
        const uint32_t serial = devices.empty() ? 1 : devices[0].serial;
        fake->Inject(TestSysEx::message(TavikSysEx::FamilyNeo, serial, TavikSysEx::ACK_PIC));
    }

    template <class W> W *Find(const char *name) { return dlg->findChild<W *>(QString::fromLatin1(name)); }
    QComboBox *OutList() { return Find<QComboBox>("outList"); }
    QComboBox *InList() { return Find<QComboBox>("inList"); }
    QComboBox *DeviceList() { return Find<QComboBox>("deviceList"); }
    QLineEdit *NameEdit() { return Find<QLineEdit>("nameEdit"); }
    QLineEdit *PathEdit() { return Find<QLineEdit>("pathEdit"); }
    QPushButton *ConnectButton() { return Find<QPushButton>("connectButton"); }
    QPushButton *SendButton() { return Find<QPushButton>("sendButton"); }
    QPushButton *BrowseButton() { return Find<QPushButton>("browseButton"); }
    QProgressBar *Progress() { return Find<QProgressBar>("progress"); }
    QLabel *TryingLabel() { return Find<QLabel>("tryingLabel"); }

    // Waits until every injected message so far has been handled by the dialog.
    bool WaitForDevices(int rows) {
        return QTest::qWaitFor([&] { return dlg->DeviceRows() == rows; }, 5000);
    }
    bool WaitConnected() {
        return QTest::qWaitFor([&] { return dlg->GetState() == CGlimmerlyDlg::Connected; }, 5000);
    }
};

void ClearProfile() {
    QSettings settings;
    settings.clear();
    settings.sync();
}

void SetProfile(const char *entry, const QString &value) {
    QSettings settings;
    settings.setValue(QStringLiteral("TavikNeo/") + QString::fromLatin1(entry), value);
    settings.sync();
}

QString SavePicture(const QTemporaryDir &dir, const char *name, const std::function<QRgb(int, int)> &colour) {
    QImage image(220, 176, QImage::Format_RGB32);
    for (int y = 0; y < 176; ++y)
        for (int x = 0; x < 220; ++x)
            image.setPixel(x, y, colour(x, y));
    QString path = dir.filePath(QString::fromLatin1(name));
    EXPECT_TRUE(image.save(path));
    return path;
}

void ExpectControls(Harness &h, CGlimmerlyDlg::State state) {
    bool disconnected = state == CGlimmerlyDlg::Disconnected;
    bool connected = state == CGlimmerlyDlg::Connected;
    EXPECT_EQ(h.dlg->GetState(), state);
    EXPECT_EQ(!h.TryingLabel()->isHidden(), state == CGlimmerlyDlg::TryingToConnect);
    EXPECT_EQ(h.OutList()->isEnabled(), disconnected);
    EXPECT_EQ(h.InList()->isEnabled(), disconnected);
    EXPECT_EQ(h.ConnectButton()->text(), disconnected ? "Connect" : "Disconnect");
    EXPECT_TRUE(h.ConnectButton()->isEnabled());
    EXPECT_EQ(h.DeviceList()->isEnabled(), connected);
    EXPECT_EQ(h.NameEdit()->isEnabled(), connected);
    EXPECT_EQ(h.PathEdit()->isEnabled(), connected);
    EXPECT_EQ(h.BrowseButton()->isEnabled(), connected);
    EXPECT_EQ(h.SendButton()->isEnabled(), connected);
    EXPECT_TRUE(h.Progress()->isHidden());
    if (!connected) {
        EXPECT_EQ(h.DeviceList()->count(), 0);
        EXPECT_TRUE(h.NameEdit()->text().isEmpty());
    }
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override { ClearProfile(); }
};

} // namespace

TEST_F(DialogTest, LayoutTitleAndTexts) {
    Harness h({});
    EXPECT_EQ(h.dlg->windowTitle(), "Tavik Neo Logo Uploader");
    EXPECT_EQ(h.dlg->size(), QSize(627, 314));
    EXPECT_EQ(h.ConnectButton()->geometry(), QRect(162, 98, 63, 20));
    EXPECT_EQ(h.Progress()->geometry(), QRect(252, 283, 261, 16));
    QStringList texts;
    for (auto *label : h.dlg->findChildren<QLabel *>())
        texts << label->text();
    for (auto *box : h.dlg->findChildren<QGroupBox *>())
        texts << box->title();
    for (auto *button : h.dlg->findChildren<QPushButton *>())
        texts << button->text();
    for (const char *t : {"MIDI port", "OUT:", "IN:", "trying to connect...", "File control", "...", "Send",
                          "Tavik info", "SER:", "Name:", "V1.1"})
        EXPECT_TRUE(texts.contains(QString::fromLatin1(t))) << t;
}

TEST_F(DialogTest, FirstStartWithoutProfileTriesPortsZeroAndZero) {
    {
        Harness h({});
        EXPECT_EQ(h.fake->LastInIndex(), 0);
        EXPECT_EQ(h.fake->LastOutIndex(), 0);
        EXPECT_EQ(h.InList()->currentIndex(), 0);
        EXPECT_EQ(h.OutList()->currentIndex(), 0);
        EXPECT_EQ(h.InList()->count(), 3);
        EXPECT_EQ(h.queries, 1);
        ExpectControls(h, CGlimmerlyDlg::TryingToConnect);
    }
    // Nothing is written at start-up or exit.
    EXPECT_TRUE(QSettings().allKeys().isEmpty());
}

TEST_F(DialogTest, PortsThatCannotOpenLeaveTheDialogDisconnectedWithoutAMessage) {
    Harness h({}, 0);
    EXPECT_EQ(h.InList()->count(), 0);
    EXPECT_EQ(h.OutList()->count(), 0);
    ExpectControls(h, CGlimmerlyDlg::Disconnected);
    h.ConnectButton()->click();
    ExpectControls(h, CGlimmerlyDlg::Disconnected);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(DialogTest, ChangedPortsAreWrittenAtOnceAndUsedAfterARestart) {
    {
        Harness h({});
        h.ConnectButton()->click(); // Disconnect, so the lists can change
        ExpectControls(h, CGlimmerlyDlg::Disconnected);
        h.InList()->setCurrentIndex(2);
        emit h.InList()->activated(2);
        EXPECT_EQ(QSettings().value("TavikNeo/MIDI_IN").toString(), "2");
        EXPECT_FALSE(QSettings().contains("TavikNeo/MIDI_OUT"));
        h.OutList()->setCurrentIndex(1);
        emit h.OutList()->activated(1);
        EXPECT_EQ(QSettings().value("TavikNeo/MIDI_OUT").toString(), "1");
        // The new numbers take effect at the next Connect.
        h.ConnectButton()->click();
        EXPECT_EQ(h.fake->LastInIndex(), 2);
        EXPECT_EQ(h.fake->LastOutIndex(), 1);
    }
    Harness restarted({});
    EXPECT_EQ(restarted.InList()->currentIndex(), 2);
    EXPECT_EQ(restarted.OutList()->currentIndex(), 1);
    EXPECT_EQ(restarted.fake->LastInIndex(), 2);
    EXPECT_EQ(restarted.fake->LastOutIndex(), 1);
    EXPECT_EQ(restarted.dlg->GetState(), CGlimmerlyDlg::TryingToConnect);
}

TEST_F(DialogTest, GarbageHugeOrNegativeProfileValuesCountAsPortZero) {
    for (const char *value : {"abc", "-1", "-2147483648", "99999999999999999999", "", "2x", "0x1"}) {
        SetProfile("MIDI_IN", QString::fromLatin1(value));
        SetProfile("MIDI_OUT", QString::fromLatin1(value));
        Harness h({});
        EXPECT_EQ(h.dlg->InPort(), 0) << value;
        EXPECT_EQ(h.dlg->OutPort(), 0) << value;
        EXPECT_EQ(h.fake->LastInIndex(), 0) << value;
        EXPECT_EQ(h.InList()->currentIndex(), 0) << value;
    }
    EXPECT_EQ(CGlimmerlyDlg::ParsePortNumber(" 12 "), 12);
}

TEST_F(DialogTest, StoredPortBeyondTheListSelectsNothingButIsStillTried) {
    SetProfile("MIDI_IN", "7");
    Harness h({});
    EXPECT_EQ(h.InList()->currentIndex(), -1);
    EXPECT_EQ(h.OutList()->currentIndex(), 0);
    EXPECT_EQ(h.fake->LastInIndex(), 7);
    ExpectControls(h, CGlimmerlyDlg::Disconnected);
}

TEST_F(DialogTest, DevicesAreListedSortedWithTheirRows) {
    Harness h({{1, "B"}, {2, "A"}});
    ASSERT_TRUE(h.WaitForDevices(2));
    ExpectControls(h, CGlimmerlyDlg::Connected);
    ASSERT_EQ(h.DeviceList()->count(), 2);
    EXPECT_EQ(h.DeviceList()->itemText(0), "A (SN: 000-000-020)");
    EXPECT_EQ(h.DeviceList()->itemText(1), "B (SN: 000-000-010)");
    EXPECT_EQ(h.DeviceList()->currentIndex(), 0);
    EXPECT_EQ(h.NameEdit()->text(), "A");
    EXPECT_EQ(h.dlg->Device(h.DeviceList()->itemData(0).toInt()).serial, 2u);

    h.DeviceList()->setCurrentIndex(1);
    emit h.DeviceList()->activated(1);
    EXPECT_EQ(h.NameEdit()->text(), "B");
}

TEST_F(DialogTest, TwentyFirstDeviceIsNotListed) {
    std::vector<SimDevice> devices;
    for (uint32_t i = 1; i <= 21; ++i)
        devices.push_back({i, "Dev" + std::to_string(100 + i)});
    Harness h(devices);
    // Every handled buffer is replaced, so 4 + 21 buffers means all 21 replies were handled.
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.fake->BuffersAdded() == 25; }, 5000));
    EXPECT_EQ(h.dlg->DeviceRows(), 20);
    EXPECT_EQ(h.DeviceList()->count(), 20);
    EXPECT_EQ(h.DeviceList()->findText("Dev121 (SN: " + CLogoSender::FormatSerial(21) + ")"), -1);
}

TEST_F(DialogTest, SendUploadsTheBlockAndRebuildsTheDeviceList) {
    QTemporaryDir dir;
    Harness h({{12345, "Studio"}});
    ASSERT_TRUE(h.WaitForDevices(1));
    h.dlg->ApplyChosenPicture(SavePicture(dir, "logo.png", [](int x, int y) { return qRgb(x, y, 255 - x); }));
    EXPECT_EQ(h.PathEdit()->text(), dir.filePath("logo.png"));
    h.NameEdit()->setText("Renamed");

    h.SendButton()->click();
    EXPECT_FALSE(h.SendButton()->isEnabled());
    EXPECT_FALSE(h.DeviceList()->isEnabled());
    EXPECT_FALSE(h.NameEdit()->isEnabled());
    EXPECT_TRUE(h.ConnectButton()->isEnabled());

    ASSERT_TRUE(
        QTest::qWaitFor([&] { return h.dlg->AckCounter() == 64 && h.dlg->DeviceRows() == 1; }, 10000));
    ASSERT_EQ(h.chunks.size(), 64u);
    EXPECT_EQ(h.queries, 2);
    EXPECT_TRUE(h.Progress()->isHidden());
    EXPECT_TRUE(h.SendButton()->isEnabled());
    EXPECT_EQ(h.NameEdit()->text(), "Studio");

    std::vector<uint8_t> block;
    for (const auto &chunk : h.chunks) {
        EXPECT_EQ(chunk[5], 12345 & 0x7F);
        for (size_t g = 0; g < 128; ++g) {
            const uint8_t *p = chunk.data() + 11 + 5 * g;
            for (int k = 0; k < 4; ++k)
                block.push_back(static_cast<uint8_t>(p[k] | (((p[4] >> k) & 1) << 7)));
        }
    }
    const auto &sent = h.dlg->Sender().LogoBlock();
    EXPECT_TRUE(std::equal(block.begin(), block.end(), sent.begin()));
    EXPECT_EQ(std::string(block.begin() + 4, block.begin() + 11), "Renamed");
    EXPECT_EQ(block[20], 220);
    EXPECT_EQ(block[22], 176);
}

TEST_F(DialogTest, ProgressShowsOneLessThanTheAcknowledgementsAndHidesAfterTheLast) {
    Harness h({{5, "P"}});
    h.autoAck = false;
    ASSERT_TRUE(h.WaitForDevices(1));
    h.SendButton()->click();
    ASSERT_EQ(h.chunks.size(), 1u);
    EXPECT_FALSE(h.Progress()->isHidden());
    EXPECT_EQ(h.Progress()->maximum(), 64);
    EXPECT_EQ(h.Progress()->value(), 0);
    for (int n = 1; n <= 63; ++n) {
        h.Ack();
        ASSERT_TRUE(QTest::qWaitFor([&] { return h.chunks.size() == static_cast<size_t>(n + 1); }, 5000));
        EXPECT_EQ(h.chunks.back()[10], n);
        EXPECT_EQ(h.Progress()->value(), n - 1);
        EXPECT_FALSE(h.Progress()->isHidden());
    }
    h.Ack();
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.dlg->AckCounter() == 64; }, 5000));
    EXPECT_TRUE(h.Progress()->isHidden());
    EXPECT_EQ(h.chunks.size(), 64u);
}

TEST_F(DialogTest, BlackWorkPictureIsSentAsAnEmptyLogo) {
    Harness h({{5, "P"}});
    ASSERT_TRUE(h.WaitForDevices(1));
    h.SendButton()->click();
    ASSERT_FALSE(h.chunks.empty());
    const auto &block = h.dlg->Sender().LogoBlock();
    for (int i = 20; i < 24; ++i)
        EXPECT_EQ(block[i], 0);
    EXPECT_TRUE(std::all_of(block.begin() + 24, block.end(), [](uint8_t b) { return b == 0xFF; }));
}

TEST_F(DialogTest, OversizedLogoShowsTheMessageAndSendsNothing) {
    QTemporaryDir dir;
    Harness h({{5, "P"}});
    ASSERT_TRUE(h.WaitForDevices(1));
    h.dlg->ApplyChosenPicture(SavePicture(
        dir, "checker.png", [](int x, int y) { return (x + y) % 2 ? qRgb(255, 0, 0) : qRgb(0, 255, 0); }));
    MessageBoxCloser boxes;
    h.SendButton()->click();
    EXPECT_EQ(boxes.texts,
              QStringList{"Error: After compression, the logo doesn't fit in the Tavik memory."});
    EXPECT_EQ(boxes.buttons, QList<qsizetype>{1});
    EXPECT_TRUE(h.chunks.empty());
    ExpectControls(h, CGlimmerlyDlg::Connected);
}

TEST_F(DialogTest, DisconnectDuringATransferAndALaterSendStartsAtChunkZero) {
    Harness h({{5, "P"}});
    h.autoAck = false;
    ASSERT_TRUE(h.WaitForDevices(1));
    h.SendButton()->click();
    for (int n = 1; n <= 10; ++n) {
        h.Ack();
        ASSERT_TRUE(QTest::qWaitFor([&] { return h.chunks.size() == static_cast<size_t>(n + 1); }, 5000));
    }
    h.ConnectButton()->click();
    ExpectControls(h, CGlimmerlyDlg::Disconnected);
    EXPECT_FALSE(h.dlg->Sender().TransferActive());

    h.chunks.clear();
    h.ConnectButton()->click();
    ASSERT_TRUE(h.WaitConnected());
    ASSERT_TRUE(h.WaitForDevices(1));
    h.SendButton()->click();
    ASSERT_EQ(h.chunks.size(), 1u);
    EXPECT_EQ(h.chunks[0][10], 0);
    EXPECT_EQ(h.dlg->AckCounter(), 0);
    EXPECT_EQ(h.Progress()->value(), 0);
}

TEST_F(DialogTest, ALostAcknowledgementSendsTheSameChunkAgainAFewTimes) {
    Harness h({{5, "P"}});
    h.autoAck = false;
    ASSERT_TRUE(h.WaitForDevices(1));
    h.dlg->SetAckTimeout(40);
    h.SendButton()->click();
    h.Ack();
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.chunks.size() == 2u; }, 5000));
    // No acknowledgement for chunk 1: it goes out again, five times at most.
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.chunks.size() == 7u; }, 5000));
    QTest::qWait(300);
    ASSERT_EQ(h.chunks.size(), 7u);
    for (size_t i = 1; i < 7; ++i)
        EXPECT_EQ(h.chunks[i], h.chunks[1]);
    EXPECT_EQ(h.dlg->AckCounter(), 1);
    // A late acknowledgement carries the transfer on where it stood.
    h.Ack();
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.chunks.size() == 8u; }, 5000));
    EXPECT_EQ(h.chunks.back()[10], 2);
    h.ConnectButton()->click();
    QTest::qWait(200);
    EXPECT_EQ(h.chunks.size(), 8u); // nothing is sent again after a Disconnect
}

TEST_F(DialogTest, AnUnansweredQueryIsRepeatedAndADeviceIsListedOnce) {
    Harness h({{5, "P"}, {6, "Q"}});
    h.queriesToAnswer = 0; // the first query is lost
    h.ConnectButton()->click();
    h.ConnectButton()->click();
    ASSERT_EQ(h.dlg->GetState(), CGlimmerlyDlg::TryingToConnect);
    const int before = h.queries;
    h.queriesToAnswer = before + 2; // the next two are answered
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.dlg->GetState() == CGlimmerlyDlg::Connected; }, 5000));
    ASSERT_TRUE(h.WaitForDevices(2));
    // Once connected nobody asks again, and answers to a repeated query add no second row.
    QTest::qWait(1500);
    EXPECT_EQ(h.queries, before + 1);
    h.Respond(TestSysEx::message(TavikSysEx::FamilyNeo, 0, TavikSysEx::SEND_VERSION));
    QTest::qWait(100);
    EXPECT_EQ(h.dlg->DeviceRows(), 2);
    EXPECT_EQ(h.DeviceList()->count(), 2);
}

TEST_F(DialogTest, SendWithAnEmptyDeviceListDoesNothing) {
    Harness h({{5, "P"}});
    h.queriesToAnswer = 1; // the device stays silent after the upload
    ASSERT_TRUE(h.WaitForDevices(1));
    h.SendButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.dlg->AckCounter() == 64; }, 10000));
    EXPECT_EQ(h.DeviceList()->count(), 0);
    h.chunks.clear();
    h.SendButton()->click();
    EXPECT_TRUE(h.chunks.empty());
    EXPECT_TRUE(h.Progress()->isHidden());
    // The query after the upload went unanswered, so it was repeated three times.
    EXPECT_TRUE(QTest::qWaitFor([&] { return h.queries == 5; }, 10000));
    // Nothing goes to a listed device that is not selected, nor to all devices.
    h.queriesToAnswer = 1000;
    h.Respond(TestSysEx::message(TavikSysEx::FamilyNeo, 0, TavikSysEx::SEND_VERSION));
    ASSERT_TRUE(h.WaitForDevices(1));
    h.DeviceList()->setCurrentIndex(-1);
    h.SendButton()->click();
    EXPECT_TRUE(h.chunks.empty());
}

TEST_F(DialogTest, EnterOutsideAButtonAndEscapeEndTheDialog) {
    Harness h({{5, "P"}});
    ASSERT_TRUE(h.WaitForDevices(1));
    h.dlg->show();
    h.NameEdit()->setFocus();
    QTest::keyClick(h.NameEdit(), Qt::Key_Return);
    EXPECT_FALSE(h.dlg->isVisible());
    EXPECT_EQ(h.dlg->result(), QDialog::Accepted);

    h.dlg->show();
    QTest::keyClick(h.dlg.get(), Qt::Key_Escape);
    EXPECT_FALSE(h.dlg->isVisible());
    EXPECT_EQ(h.dlg->result(), QDialog::Rejected);
}

TEST_F(DialogTest, PortListsStopAtOneHundredEntries) {
    Harness h({}, 120);
    EXPECT_EQ(h.InList()->count(), 100);
    EXPECT_EQ(h.OutList()->count(), 100);
}

TEST_F(DialogTest, FileDialogOffersThePictureFilterAndLoadsTheChosenFile) {
    QTemporaryDir dir;
    QString path = SavePicture(dir, "chosen.jpg", [](int, int) { return qRgb(255, 255, 255); });
    Harness h({{5, "P"}});
    ASSERT_TRUE(h.WaitForDevices(1));
    h.PathEdit()->setText(path);

    QStringList filters;
    QString suffix;
    auto answer = [&](bool accept) {
        QTimer::singleShot(0, [&, accept] {
            auto *fd = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!fd)
                return;
            filters = fd->nameFilters();
            suffix = fd->defaultSuffix();
            if (accept) {
                fd->selectFile(path);
                QMetaObject::invokeMethod(fd, "accept");
            } else {
                fd->reject();
            }
        });
    };
    answer(false);
    h.BrowseButton()->click();
    EXPECT_EQ(filters, QStringList({"graphics files (*.bmp *.gif *.jpg)", "All Files (*)"}));
    EXPECT_EQ(suffix, "jpg");
    std::vector<uint16_t> pixels;
    EXPECT_FALSE(h.dlg->Picture().ConvertToLogo(pixels));

    answer(true);
    h.BrowseButton()->click();
    EXPECT_EQ(h.PathEdit()->text(), path);
    ASSERT_TRUE(h.dlg->Picture().ConvertToLogo(pixels));
    EXPECT_EQ(pixels[0], 0xCFF9);
}

TEST_F(DialogTest, PortsAreFoundByNameAndAChoiceStoresTheName) {
    // The stored input number names another port now: the name wins; the output's still fits.
    SetProfile("MIDI_IN", "0");
    SetProfile("MIDI_IN_NAME", "in 2");
    SetProfile("MIDI_OUT", "1");
    SetProfile("MIDI_OUT_NAME", "out 1");
    Harness h({{5, "P"}});
    EXPECT_EQ(h.fake->LastInIndex(), 2);
    EXPECT_EQ(h.fake->LastOutIndex(), 1);
    ASSERT_TRUE(h.WaitForDevices(1));
    h.ConnectButton()->click();
    emit h.OutList()->activated(2);
    EXPECT_EQ(QSettings().value("TavikNeo/MIDI_OUT").toString(), "2");
    EXPECT_EQ(QSettings().value("TavikNeo/MIDI_OUT_NAME").toString(), "out 2");
}
