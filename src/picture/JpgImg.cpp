#include "picture/JpgImg.h"

#include "picture/JpegDecoder.h"

#include <QFile>
#include <QPainter>

#include <algorithm>
#include <span>

namespace sapidoro {

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
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly))
            throw EFOpenError("Cannot open file " + name.toStdString());
        QByteArray content = file.readAll();
        if (file.error() != QFileDevice::NoError)
            throw EFOpenError("Cannot read file " + name.toStdString());
        m_data = std::move(content);
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
