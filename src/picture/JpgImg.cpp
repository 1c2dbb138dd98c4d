#include "picture/JpgImg.h"

#include "common/CheckedOpen.h"
#include "picture/JpegDecoder.h"

#include <QFile>
#include <QPainter>
#include <QScopeGuard>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <new>
#include <span>

namespace sapidoro {

namespace {

// The file's content as it was when opened, never more than its size then. Throws
// EFOpenError when it cannot be opened, is no regular file or lies outside `folder`.
QByteArray ReadPictureFile(const QString &name, const QString &folder) {
    const QByteArray path = QFile::encodeName(name);
    const std::string cannotOpen = "Cannot open file " + name.toStdString();
    if (path.contains('\0')) throw EFOpenError(cannotOpen);
    std::uint64_t size = 0;
    const int fd =
        OpenRegularFileInside(path.toStdString(), QFile::encodeName(folder).toStdString(), size);
    if (fd < 0) throw EFOpenError(cannotOpen);
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    const std::string cannotRead = "Cannot read file " + name.toStdString();
    if (size > static_cast<std::uint64_t>(std::numeric_limits<qsizetype>::max()))
        throw EFOpenError(cannotRead);
    QByteArray content;
    try {
        content = QByteArray(static_cast<qsizetype>(size), Qt::Uninitialized);
    } catch (const std::bad_alloc &) {
        throw EFOpenError(cannotRead);  // a file far larger than any picture
    }
    qsizetype got = 0;
    while (got < content.size()) {
        const ssize_t n =
            ::read(fd, content.data() + got, static_cast<std::size_t>(content.size() - got));
        if (n == 0) break;  // shortened meanwhile
        if (n > 0)
            got += n;
        else if (errno != EINTR)
            throw EFOpenError(cannotRead);
    }
    content.truncate(got);
    return content;
}

}  // namespace

TCustomJPEGImage::TCustomJPEGImage(QWidget *parent) : QWidget(parent) {
    setFileName(QString());
}

TCustomJPEGImage::~TCustomJPEGImage() = default;

template <class T>
void TCustomJPEGImage::setOption(T &option, T value) {
    option = value;
    decode();
}

void TCustomJPEGImage::setNumOfColors(TNumOfColors value) {
    setOption(m_options.numOfColors, value);
}
void TCustomJPEGImage::setDCTMethod(TDCTMethod value) {
    setOption(m_options.dctMethod, value);
}
void TCustomJPEGImage::setDither(TDither value) {
    setOption(m_options.dither, value);
}
void TCustomJPEGImage::setFastProcessing(bool value) {
    setOption(m_options.fastProcessing, value);
}
void TCustomJPEGImage::setGrayScale(bool value) {
    setOption(m_options.grayScale, value);
}
void TCustomJPEGImage::setNoSmooth(bool value) {
    setOption(m_options.noSmooth, value);
}
void TCustomJPEGImage::setOnePass(bool value) {
    setOption(m_options.onePass, value);
}

// A step of 0 would divide by zero while decoding; out-of-range steps take the nearest bound.
void TCustomJPEGImage::setProgressStep(int value) {
    m_progressStep = std::clamp(value, 1, 100);
}

void TCustomJPEGImage::setQuality(int value) {
    m_quality = std::clamp(value, 0, 100);
}

void TCustomJPEGImage::setFileName(const QString &name) {
    m_fileName = name;
    if (name.isEmpty()) {
        m_data.clear();
    } else {
        m_data = ReadPictureFile(name, m_rootFolder);
    }
    decode();
}

void TCustomJPEGImage::decode() {
    if (m_data.isEmpty()) {
        m_picture = QImage();
        m_pixmap = QPixmap();
        update();
        return;
    }
    JpegProgress progress;
    progress.step = m_progressStep;
    progress.report = [this](int) {
        // A copy, so that a handler replacing itself does not destroy the running call.
        if (const NotifyEvent handler = m_onProgress) handler(this);
    };
    // A shared copy keeps the bytes alive should a progress handler load another file.
    const QByteArray kept = m_data;
    const std::span<const std::uint8_t> bytes(
        reinterpret_cast<const std::uint8_t *>(kept.constData()),
        static_cast<std::size_t>(kept.size()));
    m_picture = DecodeJpeg(bytes, m_options, progress);
    m_pixmap = QPixmap();
    update();
}

void TCustomJPEGImage::paintEvent(QPaintEvent *) {
    if (m_picture.isNull()) return;
    if (m_pixmap.isNull()) m_pixmap = QPixmap::fromImage(m_picture);
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_pixmap);
}

TJPEGImage::TJPEGImage(QWidget *parent) : TCustomJPEGImage(parent) {}

}  // namespace sapidoro
