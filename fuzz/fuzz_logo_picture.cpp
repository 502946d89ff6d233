// The uploader's picture reader with the real decoders behind it: any bytes, as a file of any of the
// names a user may pick, loaded as TavikLogo and `tavikctl logo` load a picture (Qt's image handlers
// and plugins under a QCoreApplication, as tavikctl runs with no display). The work picture must come
// out drawn inside the 220 x 176 logo area and black everywhere else, or all black when the file is
// no picture. (The conversion to the logo's pixels reads only that fixed-size work picture, so
// the file's bytes cannot steer it; it is not repeated here.) No allocation may pass the bound
// scripts/fuzz.sh gives libFuzzer (-malloc_limit_mb), twice the product reader's 256 MB decode limit
// (this build decodes with a 64th of it, see CPictureFile.h).
//
// The first input byte picks the file's suffix (the handler Qt tries first); the rest is the file.
#include "logo/CLogoPicture.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {
void require(bool condition) {
    if (!condition)
        std::abort();
}

const char *const Suffixes[] = {"",     ".png", ".bmp", ".jpg", ".jpeg", ".gif", ".ico", ".cur",
                                ".ppm", ".pgm", ".pbm", ".xbm", ".xpm",  ".txt", ".JPG", ".Png"};
constexpr size_t SuffixCount = sizeof(Suffixes) / sizeof(Suffixes[0]);

std::unique_ptr<QTemporaryDir> folder; // removed at exit
CLogoPicture *picture = nullptr;
std::vector<QRgb> blackRow;

bool black(const QRgb *from, size_t count) {
    return std::memcmp(from, blackRow.data(), count * sizeof(QRgb)) == 0;
}

// Every pixel outside the logo area (or everywhere, with logoArea false) is black.
bool blackOutside(const QImage &work, bool logoArea) {
    const size_t width = size_t(work.width());
    const int areaRows = logoArea ? CLogoPicture::kLogoHeight : 0;
    const size_t areaColumns = logoArea ? size_t(CLogoPicture::kLogoWidth) : 0;
    for (int y = 0; y < work.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(work.constScanLine(y));
        if (y < areaRows ? !black(line + areaColumns, width - areaColumns) : !black(line, width))
            return false;
    }
    return true;
}

// The decoders' warnings about damaged files ("Corrupt JPEG data", "CRC error") would be one or
// more lines for most inputs; fatal messages still end the run.
void dropWarnings(QtMsgType type, const QMessageLogContext &, const QString &message) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    // The picture code runs in the programs' application object; tavikctl's has no display.
    new QCoreApplication(*argc, *argv);
    qInstallMessageHandler(dropWarnings);
    // The file is written for every input: in memory where there is a tmpfs (a truncating write
    // on a disk file system costs milliseconds).
    const QString shm = QStringLiteral("/dev/shm");
    folder = QFileInfo(shm).isDir() && QFileInfo(shm).isWritable()
                 ? std::make_unique<QTemporaryDir>(shm + QStringLiteral("/fuzz_logo_picture-XXXXXX"))
                 : std::make_unique<QTemporaryDir>();
    picture = new CLogoPicture();
    blackRow.assign(CLogoPicture::kWorkSize, qRgb(0, 0, 0));
    return folder->isValid() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0)
        return 0;
    const QString path =
        folder->filePath(QStringLiteral("picture") + QLatin1String(Suffixes[data[0] % SuffixCount]));
    {
        QFile file(path);
        require(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        require(file.write(reinterpret_cast<const char *>(data + 1), qint64(size - 1)) == qint64(size - 1));
    }
    const bool loaded = picture->LoadPicture(path);
    const QImage &work = picture->WorkPicture();
    require(work.size() == QSize(CLogoPicture::kWorkSize, CLogoPicture::kWorkSize));
    require(work.format() == QImage::Format_RGB32);
    require(blackOutside(work, loaded));
    QFile::remove(path);
    return 0;
}
