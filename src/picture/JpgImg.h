#pragma once

#include "picture/JpegErrors.h"
#include "picture/JpegOptions.h"

#include <QByteArray>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <functional>

namespace sapidoro {

// Called during decoding with the control as its only argument.
using NotifyEvent = std::function<void(QObject *sender)>;

// An image control showing a decoded JPEG at its natural size from the top-left corner,
// clipped to the control, never stretched or centred. Every decoding option set
// decodes the stored compressed data again; errors reach the caller as exceptions.
class TCustomJPEGImage : public QWidget {
    Q_OBJECT
    // Shows no text, so its font is not offered for design (nor scaled with the window).
    Q_PROPERTY(QFont font READ font WRITE setFont DESIGNABLE false)

public:
    explicit TCustomJPEGImage(QWidget *parent = nullptr);
    ~TCustomJPEGImage() override;

    TNumOfColors NumOfColors() const { return m_options.numOfColors; }
    void setNumOfColors(TNumOfColors value);
    TDCTMethod DCTMethod() const { return m_options.dctMethod; }
    void setDCTMethod(TDCTMethod value);
    TDither Dither() const { return m_options.dither; }
    void setDither(TDither value);
    bool FastProcessing() const { return m_options.fastProcessing; }
    void setFastProcessing(bool value);
    bool GrayScale() const { return m_options.grayScale; }
    void setGrayScale(bool value);
    bool NoSmooth() const { return m_options.noSmooth; }
    void setNoSmooth(bool value);
    bool OnePass() const { return m_options.onePass; }
    void setOnePass(bool value);

    // Percent granularity of `OnProgress`, kept within 1..100.
    int ProgressStep() const { return m_progressStep; }
    void setProgressStep(int value);
    const NotifyEvent &OnProgress() const { return m_onProgress; }
    void setOnProgress(NotifyEvent handler) { m_onProgress = std::move(handler); }
    // Stored only; decoding does not use them.
    int Quality() const { return m_quality; }
    void setQuality(int value);
    bool Progressive() const { return m_progressive; }
    void setProgressive(bool value) { m_progressive = value; }

    // Files are read only when, links resolved, they lie inside this folder; empty allows any
    // place. Whatever the folder, only regular files are read.
    const QString &RootFolder() const { return m_rootFolder; }
    void setRootFolder(const QString &folder) { m_rootFolder = folder; }

    // The whole content of the file last loaded.
    const QByteArray &compressedData() const { return m_data; }
    // The decoded bitmap: indexed 8-bit with its 256-entry colour table, or 24-bit RGB.
    const QImage &picture() const { return m_picture; }

protected:
    QString FileName() const { return m_fileName; }
    // Loads the file and decodes it; the empty name empties the data and the picture.
    void setFileName(const QString &name);

    void paintEvent(QPaintEvent *event) override;

private:
    void decode();
    template <class T>
    void setOption(T &option, T value);

    QString m_fileName;
    QString m_rootFolder;
    QByteArray m_data;
    JpegDecodeOptions m_options;
    int m_progressStep = 10;
    NotifyEvent m_onProgress;
    int m_quality = 75;
    bool m_progressive = false;
    QImage m_picture;
    QPixmap m_pixmap;  // m_picture converted for the screen at the first paint
};

// The picture control that publishes `FileName`.
class TJPEGImage : public TCustomJPEGImage {
    Q_OBJECT

public:
    explicit TJPEGImage(QWidget *parent = nullptr);

    using TCustomJPEGImage::FileName;
    using TCustomJPEGImage::setFileName;
};

}  // namespace sapidoro
