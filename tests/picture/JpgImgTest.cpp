// The picture control: loading, option changes, failures that keep the picture, painting.
#include "JpegMaker.h"

#include "picture/JpgImg.h"
#include "support/TempDir.h"
#include "support/Watchdog.h"

#include <QPainter>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

namespace sapidoro {
namespace {

using test::JpegSpec;
using test::MakeJpeg;
using test::TempDir;

JpegSpec Sized(int width, int height) {
    JpegSpec params;
    params.width = width;
    params.height = height;
    return params;
}

// A control whose decodes are counted through `OnProgress` (one call per decode).
struct CountedImage {
    TJPEGImage image;
    int decodes = 0;
    CountedImage() {
        image.setProgressStep(100);
        image.setOnProgress([this](QObject *sender) {
            EXPECT_EQ(sender, &image);
            ++decodes;
        });
    }
};

template <class F>
std::string ErrorOf(F &&action) {
    try {
        action();
    } catch (const Exception &error) {
        return error.message();
    }
    return "no error";
}

TEST(TJPEGImage, StartsEmptyWithTheDefaults) {
    TJPEGImage image;
    EXPECT_TRUE(image.FileName().isEmpty());
    EXPECT_TRUE(image.compressedData().isEmpty());
    EXPECT_TRUE(image.picture().isNull());
    EXPECT_EQ(image.NumOfColors(), TNumOfColors::_256);
    EXPECT_EQ(image.DCTMethod(), TDCTMethod::Integ);
    EXPECT_EQ(image.Dither(), TDither::FS);
    EXPECT_FALSE(image.FastProcessing() || image.GrayScale() || image.NoSmooth() ||
                 image.OnePass());
    EXPECT_EQ(image.ProgressStep(), 10);
    EXPECT_FALSE(image.OnProgress());
    EXPECT_EQ(image.Quality(), 75);
    EXPECT_FALSE(image.Progressive());
}

TEST(TJPEGImage, LoadsTheWholeFileAndDecodesIt) {
    TempDir dir;
    const std::string jpeg = MakeJpeg(Sized(40, 30));
    const QString path = QString::fromStdString(dir.write("piatto.jpg", jpeg));
    TJPEGImage image;
    image.setFileName(path);
    EXPECT_EQ(image.FileName(), path);
    EXPECT_EQ(image.compressedData().toStdString(), jpeg);
    EXPECT_EQ(image.picture().size(), QSize(40, 30));
    EXPECT_EQ(image.picture().format(), QImage::Format_Indexed8);
    // The control does not size itself to the picture.
    EXPECT_NE(image.size(), QSize(40, 30));

    image.setFileName(QString());
    EXPECT_TRUE(image.compressedData().isEmpty());
    EXPECT_TRUE(image.picture().isNull());
}

TEST(TJPEGImage, SameNameReadsTheFileAgain) {
    TempDir dir;
    const QString path = QString::fromStdString(dir.write("a.jpg", MakeJpeg(Sized(40, 30))));
    TJPEGImage image;
    image.setFileName(path);
    dir.write("a.jpg", MakeJpeg(Sized(20, 10)));
    image.setFileName(path);
    EXPECT_EQ(image.picture().size(), QSize(20, 10));
}

TEST(TJPEGImage, DecodingOptionsDecodeAgainOtherSettingsOnlyStore) {
    TempDir dir;
    CountedImage counted;
    TJPEGImage &image = counted.image;
    image.setFileName(QString::fromStdString(dir.write("a.jpg", MakeJpeg(Sized(24, 16)))));
    EXPECT_EQ(counted.decodes, 1);

    image.setNumOfColors(TNumOfColors::TrueColor);
    EXPECT_EQ(image.picture().format(), QImage::Format_RGB888);
    image.setGrayScale(true);
    ASSERT_EQ(image.picture().format(), QImage::Format_Indexed8);
    EXPECT_EQ(image.picture().color(200), qRgb(200, 200, 200));
    image.setDCTMethod(TDCTMethod::FloatingPoint);
    image.setDither(TDither::Ordered);
    image.setFastProcessing(true);
    image.setNoSmooth(true);
    image.setOnePass(true);
    EXPECT_EQ(counted.decodes, 8);

    image.setQuality(40);
    image.setProgressive(true);
    image.setProgressStep(50);
    EXPECT_EQ(counted.decodes, 8);
    EXPECT_EQ(image.Quality(), 40);
    EXPECT_TRUE(image.Progressive());
}

TEST(TJPEGImage, ProgressStepStaysWithinOneToHundred) {
    TJPEGImage image;
    image.setProgressStep(0);
    EXPECT_EQ(image.ProgressStep(), 1);
    image.setProgressStep(250);
    EXPECT_EQ(image.ProgressStep(), 100);
    image.setQuality(-5);
    EXPECT_EQ(image.Quality(), 0);
}

TEST(TJPEGImage, ProgressCallsFollowTheStep) {
    TempDir dir;
    TJPEGImage image;
    int calls = 0;
    image.setOnProgress([&calls](QObject *) { ++calls; });
    image.setFileName(QString::fromStdString(dir.write("a.jpg", MakeJpeg(Sized(8, 15)))));
    EXPECT_EQ(calls, 5);  // 20, 40, 60, 80 and 100 percent
}

// Failures leave the picture on show as it was.
class JpegImageFailure : public ::testing::Test {
protected:
    void SetUp() override {
        m_good = QString::fromStdString(m_dir.write("good.jpg", MakeJpeg(Sized(30, 20))));
        m_image.setFileName(m_good);
        m_before = m_image.picture();
        ASSERT_FALSE(m_before.isNull());
    }
    QString path(const char *name, const std::string &bytes) {
        return QString::fromStdString(m_dir.write(name, bytes));
    }

    TempDir m_dir;
    TJPEGImage m_image;
    QString m_good;
    QImage m_before;
};

TEST_F(JpegImageFailure, MissingFileKeepsDataAndPictureButTakesTheName) {
    const QString missing = QString::fromStdString(m_dir.file("manca.jpg"));
    const QByteArray data = m_image.compressedData();
    EXPECT_EQ(ErrorOf([&] { m_image.setFileName(missing); }),
              "Cannot open file " + missing.toStdString());
    EXPECT_THROW(m_image.setFileName(missing), EFOpenError);
    EXPECT_EQ(m_image.FileName(), missing);
    EXPECT_EQ(m_image.compressedData(), data);
    EXPECT_EQ(m_image.picture(), m_before);
    // A folder cannot be opened as a file either.
    EXPECT_THROW(m_image.setFileName(m_dir.qpath()), EFOpenError);
}

TEST_F(JpegImageFailure, OnlyRegularFilesAreRead) {
    const std::string fifo = m_dir.file("fifo.jpg");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", m_dir.file("zero.jpg"));
    std::filesystem::create_symlink(fifo, m_dir.file("collegamento.jpg"));
    const QByteArray data = m_image.compressedData();
    const test::Watchdog watchdog(std::chrono::seconds(30));
    for (const char *name : {"fifo.jpg", "zero.jpg", "collegamento.jpg"}) {
        const QString path = QString::fromStdString(m_dir.file(name));
        EXPECT_EQ(ErrorOf([&] { m_image.setFileName(path); }),
                  "Cannot open file " + path.toStdString());
        EXPECT_EQ(m_image.FileName(), path);
        EXPECT_EQ(m_image.compressedData(), data) << name;
        EXPECT_EQ(m_image.picture(), m_before) << name;
    }
}

TEST_F(JpegImageFailure, NothingIsReadFromOutsideTheRootFolder) {
    TempDir outside;
    outside.write("fuori.jpg", MakeJpeg(Sized(8, 8)));
    outside.write("passwd", "root:x:0:0:root:/root:/bin/sh\n");
    std::filesystem::create_symlink(outside.file("fuori.jpg"), m_dir.file("fuori.jpg"));
    std::filesystem::create_symlink(outside.file("passwd"), m_dir.file("noimage.jpg"));
    std::filesystem::create_symlink("good.jpg", m_dir.file("dentro.jpg"));
    m_image.setRootFolder(m_dir.qpath());
    const QByteArray data = m_image.compressedData();
    for (const char *name : {"fuori.jpg", "noimage.jpg"}) {
        const QString path = QString::fromStdString(m_dir.file(name));
        EXPECT_EQ(ErrorOf([&] { m_image.setFileName(path); }),
                  "Cannot open file " + path.toStdString());
        EXPECT_EQ(m_image.compressedData(), data) << name;
        EXPECT_EQ(m_image.picture(), m_before) << name;
    }
    // A link that stays inside is followed.
    m_image.setFileName(QString::fromStdString(m_dir.file("dentro.jpg")));
    EXPECT_EQ(m_image.compressedData(), data);
    // Without a root folder the control reads any regular file.
    m_image.setRootFolder(QString());
    m_image.setFileName(QString::fromStdString(m_dir.file("fuori.jpg")));
    EXPECT_EQ(m_image.picture().size(), QSize(8, 8));
}

TEST_F(JpegImageFailure, NonJpegFileKeepsThePictureAndFailsAgainOnOptionChange) {
    const QString text = path("testo.jpg", "Hello");
    EXPECT_EQ(ErrorOf([&] { m_image.setFileName(text); }), "Not a JPEG file: starts with $48 $65");
    EXPECT_THROW(m_image.setFileName(text), EJPEGException);
    EXPECT_EQ(m_image.compressedData(), QByteArray("Hello"));
    EXPECT_EQ(m_image.picture(), m_before);
    EXPECT_EQ(ErrorOf([&] { m_image.setOnePass(true); }), "Not a JPEG file: starts with $48 $65");
    EXPECT_TRUE(m_image.OnePass());
    EXPECT_EQ(m_image.picture(), m_before);
}

TEST_F(JpegImageFailure, TruncatedFileWarnsAndKeepsThePicture) {
    const std::string jpeg = MakeJpeg(Sized(60, 40));
    const QString cut = path("corto.jpg", jpeg.substr(0, jpeg.size() * 2 / 3));
    EXPECT_EQ(ErrorOf([&] { m_image.setFileName(cut); }), "There are warnings");
    EXPECT_EQ(m_image.picture(), m_before);
    EXPECT_EQ(ErrorOf([&] { m_image.setNumOfColors(TNumOfColors::TrueColor); }),
              "There are warnings");
    EXPECT_EQ(m_image.picture(), m_before);
}

TEST_F(JpegImageFailure, CmykFileIsRefused) {
    JpegSpec cmyk = Sized(16, 16);
    cmyk.components = 4;
    EXPECT_EQ(ErrorOf([&] { m_image.setFileName(path("cmyk.jpg", MakeJpeg(cmyk))); }),
              "BMP output must be grayscale or RGB");
    EXPECT_EQ(m_image.picture(), m_before);
}

TEST_F(JpegImageFailure, EmptyFileClearsThePictureWithoutError) {
    m_image.setFileName(path("vuoto.jpg", ""));
    EXPECT_TRUE(m_image.picture().isNull());
    EXPECT_TRUE(m_image.compressedData().isEmpty());
}

TEST_F(JpegImageFailure, ProgressHandlerErrorReachesTheCaller) {
    m_image.setOnProgress([](QObject *) { throw std::runtime_error("basta"); });
    EXPECT_THROW(m_image.setFileName(path("altro.jpg", MakeJpeg(Sized(50, 50)))),
                 std::runtime_error);
    EXPECT_EQ(m_image.picture(), m_before);
}

// Renders the control over a background of `marker` and returns what it left.
QImage Rendered(TJPEGImage &image, QSize size, QRgb marker) {
    image.resize(size);
    QImage canvas(size, QImage::Format_RGB32);
    canvas.fill(marker);
    QPainter painter(&canvas);
    image.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    painter.end();
    return canvas;
}

TEST(TJPEGImagePaint, NaturalSizeFromTopLeftNothingElsewhere) {
    TempDir dir;
    TJPEGImage image;
    image.setNumOfColors(TNumOfColors::TrueColor);
    image.setFileName(QString::fromStdString(dir.write("a.jpg", MakeJpeg(Sized(30, 20)))));
    const QImage picture = image.picture().convertToFormat(QImage::Format_RGB32);
    const QRgb marker = qRgb(1, 2, 3);

    const QImage large = Rendered(image, QSize(50, 45), marker);
    EXPECT_EQ(large.copy(0, 0, 30, 20), picture);
    for (int y = 0; y < large.height(); ++y)
        for (int x = 0; x < large.width(); ++x) {
            if (x >= 30 || y >= 20) {
                ASSERT_EQ(large.pixel(x, y), marker) << x << "," << y;
            }
        }

    // Smaller than the picture: cut off at the right and bottom edges.
    EXPECT_EQ(Rendered(image, QSize(12, 9), marker), picture.copy(0, 0, 12, 9));

    image.setFileName(QString());
    EXPECT_EQ(Rendered(image, QSize(10, 10), marker).pixel(0, 0), marker);
}

}  // namespace
}  // namespace sapidoro
