#include "support/LoopbackServer.h"

#include "common/Exception.h"
#include "net/WebFetch.h"

#include <QNetworkAccessManager>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zlib.h>

using namespace sapidoro;
using namespace sapidoro::test;
using namespace std::chrono_literals;

namespace {

// `size` zero bytes as a gzip stream: a few kilobytes that inflate far past the limit.
QByteArray GzipBomb(int size) {
    const QByteArray zeros(size, '\0');
    QByteArray out(size / 500 + 4096, '\0');
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zeros.data()));
    stream.avail_in = static_cast<uInt>(size);
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    out.resize(static_cast<qsizetype>(stream.total_out));
    deflateEnd(&stream);
    return out;
}

// The message a fetch ends with ("" when it succeeds).
std::string FetchMessage(const QUrl &url, const FetchLimits &limits = {}) {
    QNetworkAccessManager manager;
    try {
        FetchWebResource(manager, url, WebResource::Page, limits);
        return {};
    } catch (const Exception &error) {
        return error.message();
    }
}

}  // namespace

// Every way a server can fail or misbehave ends the fetch with its own message.
TEST(WebFetchTest, HostileAndFailingServersEndInAClearMessage) {
    LoopbackServer server;
    const auto path = [&server](const char *p) { return server.url(QString::fromLatin1(p)); };
    server.serve("/manca", Answer(404, "text/html", "<p>non qui</p>"));
    server.serve("/guasto", Answer(500, "text/html", "<p>guasto</p>"));
    server.serve("/muto", {"HTTP/1.1 200 OK\r\n", "x", CannedAnswer::Body::Silent});
    server.serve("/goccia", {"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n", "<p>",
                             CannedAnswer::Body::Drip});
    server.serve("/infinita", {"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n", "<p>ancora</p>",
                               CannedAnswer::Body::Endless});
    server.serve("/bomba",
                 Answer(200, "text/html", GzipBomb(64 << 20), "Content-Encoding: gzip\r\n"));
    server.serve("/giro-a", Redirect("/giro-b"));
    server.serve("/giro-b", Redirect(path("/giro-a").toEncoded()));
    for (int i = 1; i <= 6; ++i)
        server.serve("/salto" + QByteArray::number(i),
                     Redirect("/salto" + QByteArray::number(i + 1)));
    server.serve("/sicuro",
                 Redirect("https://127.0.0.1:" + QByteArray::number(server.port()) + "/"));

    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const QUrl refused(QStringLiteral("http://127.0.0.1:%1/").arg(closed.serverPort()));
    closed.close();

    const QUrl silentTls(path("/muto").toString().replace("http:", "https:"));
    const FetchLimits quick{15s, 700ms};
    const struct {
        const char *what;
        QUrl url;
        FetchLimits limits;
        const char *message;
    } cases[] = {
        {"not http", QUrl("ftp://127.0.0.1/ricetta"), {}, "non \u00e8 un indirizzo web"},
        {"no such name", QUrl("http://sapidoro-prova.invalid/"), {}, "il nome non corrisponde"},
        {"refused", refused, {}, "ha rifiutato la connessione"},
        {"404", path("/manca"), {}, "non esiste sul server (errore HTTP 404"},
        {"500", path("/guasto"), {}, "ha risposto con un errore (HTTP 500"},
        {"no handshake", silentTls, {300ms, 60s}, "non ha risposto entro 0,3 secondi"},
        {"never answers", path("/muto"), quick, "non \u00e8 terminato entro 0,7 secondi"},
        {"slow drip", path("/goccia"), quick, "non \u00e8 terminato entro 0,7 secondi"},
        {"redirect loop", path("/giro-a"), {}, "girano in tondo"},
        {"too many redirects", path("/salto1"), {}, "Troppi reindirizzamenti (pi\u00f9 di 5)"},
        {"to another scheme", path("/sicuro"), {}, "da un indirizzo http a uno https"},
        {"endless body", path("/infinita"), {}, "supera i 20 MB"},
        {"compressed bomb", path("/bomba"), {}, "supera i 20 MB"},
    };
    for (const auto &c : cases) {
        const std::string message = FetchMessage(c.url, c.limits);
        EXPECT_NE(message.find(c.message), std::string::npos) << c.what << ": " << message;
    }
}

// A certificate that does not verify stops the fetch; nothing is read past it.
TEST(WebFetchTest, UnverifiedCertificateIsRefused) {
    const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
    if (openssl.isEmpty()) GTEST_SKIP() << "openssl is not installed: no certificate to test with";
    QTemporaryDir dir;
    QProcess make;
    make.start(openssl, {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj",
                         "/CN=127.0.0.1", "-keyout", dir.filePath("key.pem"), "-out",
                         dir.filePath("cert.pem")});
    ASSERT_TRUE(make.waitForFinished(60000) && make.exitCode() == 0)
        << make.readAllStandardError().toStdString();
    QFile certificate(dir.filePath("cert.pem")), key(dir.filePath("key.pem"));
    ASSERT_TRUE(certificate.open(QIODevice::ReadOnly) && key.open(QIODevice::ReadOnly));
    LoopbackServer server(certificate.readAll(), key.readAll());
    server.serve("/ricetta", Answer(200, "text/html", "<p>segreto</p>"));
    const std::string message = FetchMessage(server.url("/ricetta"));
    EXPECT_NE(
        message.find("Il certificato di sicurezza di \u00ab127.0.0.1\u00bb non \u00e8 valido"),
        std::string::npos)
        << message;
}
