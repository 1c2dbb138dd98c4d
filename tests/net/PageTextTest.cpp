#include "common/Exception.h"
#include "net/PageText.h"
#include "net/PictureJpeg.h"
#include "net/WebAddress.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

#include <gtest/gtest.h>

using namespace sapidoro;

// The character set comes from the header, else the page's own markup, else the bytes.
TEST(PageTextTest, CharacterSetFromHeaderOrPage) {
    const struct {
        const char *bytes, *contentType, *utf8, *encoding;
    } cases[] = {
        {"caff\xE8", "text/html; charset=ISO-8859-1", "caff\xC3\xA8", "ISO-8859-1"},
        {"caff\xC3\xA8", "text/html; charset=\"utf-8\"", "caff\xC3\xA8", "UTF-8"},
        {"<meta charset='windows-1252'>\x80", "text/html",
         "<meta charset='windows-1252'>\xE2\x82\xAC", "Windows-1252"},
        {"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=iso-8859-1\">\xE0", "",
         "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=iso-8859-1\">\xC3\xA0",
         "ISO-8859-1"},
        {"<meta charset=iso-8859-1>\xC3\xA8", "text/html; charset=utf-8",
         "<meta charset=iso-8859-1>\xC3\xA8", "UTF-8"},
        {"\xEF\xBB\xBF"
         "caff\xC3\xA8",
         "text/html", "caff\xC3\xA8", "UTF-8"},
        {"caff\xE8 e t\xC3\xA8", "text/html; charset=utf-8", "caff\xEF\xBF\xBD e t\xC3\xA8",
         "UTF-8"},
        {"caff\xE8", "text/html", "caff\xC3\xA8", "Windows-1252"},
    };
    for (const auto &c : cases) {
        const PageText page = PageTextAsUtf8(c.bytes, c.contentType);
        EXPECT_EQ(page.utf8, c.utf8) << c.bytes;
        EXPECT_EQ(page.encoding, c.encoding) << c.bytes;
    }
}

// What a user pastes is an http or https address, or refused.
TEST(PageTextTest, WebAddresses) {
    EXPECT_EQ(WebAddressFromText(" \thttps://esempio.it/ricetta?id=1 \n"),
              QUrl("https://esempio.it/ricetta?id=1"));
    EXPECT_EQ(WebAddressFromText("www.esempio.it/torta"), QUrl("https://www.esempio.it/torta"));
    for (const char *refused :
         {"ftp://esempio.it/a", "file:///etc/passwd", "javascript:alert(1)", "http://", "   "})
        EXPECT_THROW(WebAddressFromText(QString::fromLatin1(refused)), Exception) << refused;
}

// Pictures in other formats become JPEG of the same size, transparency laid on white.
TEST(PageTextTest, PicturesBecomeJpeg) {
    QImage picture(24, 16, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    for (int x = 0; x < 12; ++x)
        for (int y = 0; y < 16; ++y) picture.setPixel(x, y, qRgb(200, 0, 0));
    for (const QByteArray format : {"png", "webp", "jpeg"}) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(QImageWriter(&buffer, format).write(picture)) << format.constData();
        const QByteArray jpeg = PictureAsJpeg(bytes);
        if (format == "jpeg") {
            EXPECT_EQ(jpeg, bytes);
        }
        const QImage read = QImage::fromData(jpeg, "jpeg");
        ASSERT_EQ(read.size(), picture.size()) << format.constData();
        EXPECT_GT(qRed(read.pixel(2, 8)), 150);
        EXPECT_LT(qGreen(read.pixel(2, 8)), 60);
        if (format != "jpeg") {
            EXPECT_GT(qGreen(read.pixel(20, 8)), 230) << format.constData();
        }
    }
    EXPECT_THROW(PictureAsJpeg("<html>non un'immagine</html>"), Exception);
}
