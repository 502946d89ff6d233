// Screenshot of the uploader dialog: a private JACK server, tavik-sim with one Tavik Neo device,
// the real dialog connected to it with a sample picture loaded. Usage: taviklogo_screenshot OUT.png
#include "JackServer.h"
#include "SimPortLocator.h"
#include "SimProcess.h"
#include "logo/CGlimmerlyApp.h"
#include "logo/CGlimmerlyDlg.h"
#include "logo/RtMidiPlatform.h"

#include <QComboBox>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

namespace {

// A sample logo: a dark gradient with a ring and the product name.
QString DrawSamplePicture(const QTemporaryDir &dir) {
    QImage image(440, 330, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 0, 330);
    gradient.setColorAt(0.0, QColor(10, 20, 60));
    gradient.setColorAt(1.0, QColor(0, 0, 0));
    painter.fillRect(image.rect(), gradient);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(90, 200, 255), 14));
    painter.drawEllipse(QPoint(220, 140), 90, 90);
    painter.setPen(QColor(255, 255, 255));
    QFont font = painter.font();
    font.setPixelSize(54);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(0, 240, 440, 80), Qt::AlignCenter, QStringLiteral("Tavik Neo"));
    painter.end();
    QString path = dir.filePath(QStringLiteral("sample-logo.png"));
    image.save(path);
    return path;
}

int Fail(const char *what, const QString &detail = QString()) {
    std::fprintf(stderr, "taviklogo_screenshot: %s %s\n", what, detail.toLocal8Bit().constData());
    return 1;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    CGlimmerlyApp app(argc, argv);
    if (argc < 2)
        return Fail("usage: taviklogo_screenshot OUT.png");
    const QString out = QString::fromLocal8Bit(argv[1]);

    // A profile of its own, so the user's remembered ports stay as they are.
    QTemporaryDir profile;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, profile.path());

    JackServer server(JackServer::uniqueName(QStringLiteral("taviklogo-shot")));
    if (!server.start())
        return Fail("jackd did not start:", server.diagnostics());
    server.applyToThisProcess();
    SimProcess sim(server, {QStringLiteral("--device"), QStringLiteral("neo:12345:Studio")});
    if (!sim.start())
        return Fail("tavik-sim did not start:", sim.diagnostics());
    if (!SimPortLocator::StoreAsProfile())
        return Fail("simulator ports not listed");

    int result = 0;
    {
        CGlimmerlyDlg dialog(std::make_unique<RtMidiPlatform>());
        if (!QTest::qWaitFor([&] { return dialog.DeviceRows() == 1; }, 15000)) {
            result = Fail("no device answered");
        } else {
            QTemporaryDir pictures;
            dialog.ApplyChosenPicture(DrawSamplePicture(pictures));
            dialog.show();
            QTest::qWait(200);
            if (!dialog.grab().save(out))
                result = Fail("cannot write", out);
        }
    }
    sim.stop();
    server.stop();
    return result;
}
