// End to end: the real dialog over RtMidi ports on a private JACK server uploads logos to the
// tavik-sim simulator, which decodes and stores them.
#include "JackServer.h"
#include "SimPortLocator.h"
#include "SimProcess.h"
#include "logo/CGlimmerlyDlg.h"
#include "logo/CLogoPicture.h"
#include "logo/RtMidiPlatform.h"

#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QString SaveTestPicture(const QTemporaryDir &dir) {
    QImage image(220, 176, QImage::Format_RGB32);
    for (int y = 0; y < 176; ++y)
        for (int x = 0; x < 220; ++x)
            // Flat bands that compress well, and a detailed square that does not.
            image.setPixel(x, y,
                           (x >= 150 && y >= 100 && x < 200 && y < 150)
                               ? qRgb(x + y, (x * y) % 256, 255 - y)
                               : qRgb((x / 20) * 23, (y / 16) * 23, 128));
    QString path = dir.filePath("upload.png");
    EXPECT_TRUE(image.save(path));
    return path;
}

// RGB 5-6-5 widened back to 8 bits a channel by repeating the top bits.
QRgb Expand(uint16_t p) {
    int r = p >> 11, g = (p >> 5) & 0x3F, b = p & 0x1F;
    return qRgb(r << 3 | r >> 2, g << 2 | g >> 4, b << 3 | b >> 2);
}

struct Rig {
    JackServer server{JackServer::uniqueName(QStringLiteral("taviklogo-e2e"))};
    QTemporaryDir logoDir;
    std::unique_ptr<SimProcess> sim;
    std::unique_ptr<CGlimmerlyDlg> dlg;

    // beforeSim runs once the server is up.
    bool Start(const std::function<void()> &beforeSim = {}) {
        if (!server.start()) {
            ADD_FAILURE() << server.diagnostics().toStdString();
            return false;
        }
        server.applyToThisProcess();
        if (beforeSim)
            beforeSim();
        if (!StartSim())
            return false;
        if (!SimPortLocator::StoreAsProfile()) {
            ADD_FAILURE() << "simulator ports not listed";
            return false;
        }
        dlg = std::make_unique<CGlimmerlyDlg>(std::make_unique<RtMidiPlatform>());
        return true;
    }

    bool StartSim() {
        sim = std::make_unique<SimProcess>(
            server, QStringList{"--device", "neo:12345:Studio", "--logo-dir", logoDir.path()});
        if (!sim->start()) {
            ADD_FAILURE() << sim->diagnostics().toStdString();
            return false;
        }
        return true;
    }

    // The peers of the dialog's input and output, "in / out".
    QString LogoConnections() const {
        return server.connectionsOf("TavikLogo:in").join(',') + " / " +
               server.connectionsOf("TavikLogo out:out").join(',');
    }

    ~Rig() {
        dlg.reset();
        if (sim)
            sim->stop();
        server.stop();
    }

    template <class W> W *Find(const char *name) { return dlg->findChild<W *>(QString::fromLatin1(name)); }

    bool WaitListed() {
        return QTest::qWaitFor(
            [&] { return dlg->GetState() == CGlimmerlyDlg::Connected && dlg->DeviceRows() == 1; }, 15000);
    }
    bool WaitUploaded() {
        return QTest::qWaitFor([&] { return dlg->AckCounter() == 64 && dlg->DeviceRows() == 1; }, 60000);
    }
};

} // namespace

TEST(LogoEndToEnd, UploadedPictureArrivesPixelForPixelWithNameAndCrc) {
    Rig rig;
    ASSERT_TRUE(rig.Start());
    ASSERT_TRUE(rig.WaitListed()) << rig.sim->diagnostics().toStdString();
    auto *devices = rig.Find<QComboBox>("deviceList");
    EXPECT_EQ(devices->itemText(0), "Studio (SN: 141-202-380)");
    EXPECT_EQ(rig.Find<QLineEdit>("nameEdit")->text(), "Studio");

    QTemporaryDir pictures;
    rig.dlg->ApplyChosenPicture(SaveTestPicture(pictures));
    rig.Find<QLineEdit>("nameEdit")->setText("Mastering A");
    rig.Find<QPushButton>("sendButton")->click();
    EXPECT_FALSE(rig.Find<QProgressBar>("progress")->isHidden());
    ASSERT_TRUE(rig.WaitUploaded()) << "acks " << rig.dlg->AckCounter();

    EXPECT_TRUE(rig.Find<QProgressBar>("progress")->isHidden());
    EXPECT_TRUE(rig.Find<QPushButton>("sendButton")->isEnabled());
    // The rebuilt list shows the name the device now goes by.
    EXPECT_EQ(devices->count(), 1);
    EXPECT_EQ(devices->itemText(0), "Mastering A (SN: 141-202-380)");
    ASSERT_TRUE(rig.sim->waitForLogLine(
        QRegularExpression("^# logo crc ok name \"Mastering A\" serial 12345"), 10000))
        << rig.sim->logLines().join('\n').toStdString();

    QFile nameFile(rig.logoDir.filePath("12345-name.txt"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return nameFile.exists(); }, 5000));
    ASSERT_TRUE(nameFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(nameFile.readAll(), "Mastering A");

    QImage stored(rig.logoDir.filePath("12345-logo.png"));
    ASSERT_EQ(stored.size(), QSize(220, 176));
    std::vector<uint16_t> pixels;
    ASSERT_TRUE(rig.dlg->Picture().ConvertToLogo(pixels));
    int mismatches = 0;
    for (int y = 0; y < 176; ++y)
        for (int x = 0; x < 220; ++x)
            if ((stored.pixel(x, y) & 0xFFFFFF) !=
                (Expand(pixels[static_cast<size_t>(y * 220 + x)]) & 0xFFFFFF))
                ++mismatches;
    EXPECT_EQ(mismatches, 0);
}

TEST(LogoEndToEnd, DisconnectDuringATransferThenASendStartsAgainAtChunkZero) {
    Rig rig;
    ASSERT_TRUE(rig.Start());
    ASSERT_TRUE(rig.WaitListed()) << rig.sim->diagnostics().toStdString();
    QTemporaryDir pictures;
    rig.dlg->ApplyChosenPicture(SaveTestPicture(pictures));
    rig.Find<QLineEdit>("nameEdit")->setText("First");
    rig.Find<QPushButton>("sendButton")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.dlg->AckCounter() >= 5; }, 30000));
    ASSERT_LT(rig.dlg->AckCounter(), 64);
    rig.Find<QPushButton>("connectButton")->click();

    EXPECT_EQ(rig.dlg->GetState(), CGlimmerlyDlg::Disconnected);
    EXPECT_TRUE(rig.Find<QProgressBar>("progress")->isHidden());
    EXPECT_FALSE(rig.Find<QPushButton>("sendButton")->isEnabled());
    EXPECT_FALSE(rig.Find<QPushButton>("browseButton")->isEnabled());
    EXPECT_FALSE(rig.Find<QLineEdit>("pathEdit")->isEnabled());
    EXPECT_FALSE(rig.Find<QComboBox>("deviceList")->isEnabled());
    EXPECT_EQ(rig.Find<QComboBox>("deviceList")->count(), 0);
    EXPECT_TRUE(rig.Find<QComboBox>("inList")->isEnabled());
    EXPECT_EQ(rig.Find<QPushButton>("connectButton")->text(), "Connect");

    rig.Find<QPushButton>("connectButton")->click();
    ASSERT_TRUE(rig.WaitListed());
    rig.Find<QLineEdit>("nameEdit")->setText("Second");
    rig.Find<QPushButton>("sendButton")->click();
    ASSERT_TRUE(rig.WaitUploaded()) << "acks " << rig.dlg->AckCounter();
    // The name travels in chunk 0, so it arrives only if the transfer began there again.
    ASSERT_TRUE(
        rig.sim->waitForLogLine(QRegularExpression("^# logo crc ok name \"Second\" serial 12345"), 10000))
        << rig.sim->logLines().join('\n').toStdString();
    bool firstCompleted = false;
    for (const QString &line : rig.sim->logLines())
        firstCompleted |= line.contains("name \"First\"");
    EXPECT_FALSE(firstCompleted);
}

TEST(LogoEndToEnd, PortsAreFoundByNameAfterOthersCameAndWentAndFollowedWhenTheyGoAndComeBack) {
    Rig rig;
    // Another program's ports in both lists, before the simulator's and later after them.
    struct OtherPorts {
        RtMidiIn in;
        RtMidiOut out;
        explicit OtherPorts(const std::string &name)
            : in(RtMidi::UNIX_JACK, name + " in"), out(RtMidi::UNIX_JACK, name + " out") {
            in.openVirtualPort(name);
            out.openVirtualPort(name);
        }
    };
    std::unique_ptr<OtherPorts> before;
    ASSERT_TRUE(rig.Start([&] { before = std::make_unique<OtherPorts>("before"); }));
    rig.dlg.reset();

    // The stored numbers now name the "after" ports; the restarted dialog opens the simulator's.
    OtherPorts after("after");
    before.reset();
    RtMidiPlatform probe("TavikLogoProbe");
    ASSERT_EQ(probe.InDeviceName(QSettings().value("TavikNeo/MIDI_IN").toUInt()), "after out:after");
    ASSERT_EQ(probe.OutDeviceName(QSettings().value("TavikNeo/MIDI_OUT").toUInt()), "after in:after");
    rig.dlg = std::make_unique<CGlimmerlyDlg>(std::make_unique<RtMidiPlatform>());
    ASSERT_TRUE(rig.WaitListed()) << rig.sim->diagnostics().toStdString();
    const QRegularExpression toSim("^tavik-sim(-\\d+)?:out / tavik-sim(-\\d+)?:in$");
    EXPECT_TRUE(toSim.match(rig.LogoConnections()).hasMatch()) << rig.LogoConnections().toStdString();

    // The simulator's ports go: disconnected with one notice; they come back: connected by itself.
    rig.sim->stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.dlg->GetState() == CGlimmerlyDlg::Disconnected; }, 10000));
    auto *notice = rig.Find<QMessageBox>("portNoticeBox");
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(notice->isVisible());
    ASSERT_TRUE(rig.StartSim());
    ASSERT_TRUE(rig.WaitListed()) << rig.sim->diagnostics().toStdString();
    EXPECT_FALSE(notice->isVisible());
    EXPECT_EQ(rig.dlg->findChildren<QMessageBox *>().size(), 1);
}
