#include "support/LoopbackServer.h"

#include <QHostAddress>
#include <QMap>
#include <QMutex>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <future>

namespace sapidoro::test {

namespace {

constexpr qint64 kEndlessChunk = 64 * 1024;

void Respond(QTcpSocket *socket, const CannedAnswer &answer) {
    using Body = CannedAnswer::Body;
    switch (answer.kind) {
        case Body::Whole:
            socket->write(answer.head +
                          "Content-Length: " + QByteArray::number(answer.body.size()) +
                          "\r\nConnection: close\r\n\r\n" + answer.body);
            socket->disconnectFromHost();
            break;
        case Body::Endless:
        case Body::Drip: {
            socket->write(answer.head + "Connection: close\r\n\r\n");
            const bool drip = answer.kind == Body::Drip;
            const QByteArray piece =
                drip ? answer.body.left(1)
                     : answer.body.repeated(kEndlessChunk / answer.body.size() + 1);
            auto *timer = new QTimer(socket);
            QObject::connect(timer, &QTimer::timeout, socket, [socket, piece] {
                if (socket->bytesToWrite() < 4 * kEndlessChunk) socket->write(piece);
            });
            timer->start(drip ? 20 : 0);
            break;
        }
        case Body::Silent:
            break;
    }
}

}  // namespace

CannedAnswer Answer(int status, const QByteArray &contentType, const QByteArray &body,
                    const QByteArray &moreHeaders) {
    return {"HTTP/1.1 " + QByteArray::number(status) + " Canned\r\nContent-Type: " + contentType +
                "\r\n" + moreHeaders,
            body, CannedAnswer::Body::Whole};
}

CannedAnswer Redirect(const QByteArray &location) {
    return {"HTTP/1.1 302 Found\r\nLocation: " + location + "\r\n", {}, CannedAnswer::Body::Whole};
}

class LoopbackServer::Thread : public QThread {
public:
    Thread(QByteArray certificate, QByteArray key)
        : m_certificate(std::move(certificate)), m_key(std::move(key)) {}

    quint16 started() {
        std::future<quint16> port = m_port.get_future();
        start();
        return port.get();
    }

    void serve(const QByteArray &path, CannedAnswer answer) {
        const QMutexLocker lock(&m_mutex);
        m_answers.insert(path, std::move(answer));
    }

protected:
    void run() override {
        std::unique_ptr<QTcpServer> server;
        if (m_certificate.isEmpty()) {
            server = std::make_unique<QTcpServer>();
        } else {
            auto tls = std::make_unique<QSslServer>();
            QSslConfiguration config = QSslConfiguration::defaultConfiguration();
            config.setLocalCertificate(QSslCertificate(m_certificate));
            config.setPrivateKey(QSslKey(m_key, QSsl::Rsa));
            tls->setSslConfiguration(config);
            server = std::move(tls);
        }
        server->listen(QHostAddress::LocalHost, 0);
        QObject::connect(server.get(), &QTcpServer::pendingConnectionAvailable, server.get(),
                         [this, s = server.get()] {
                             while (QTcpSocket *socket = s->nextPendingConnection()) accept(socket);
                         });
        m_port.set_value(server->serverPort());
        exec();
    }

private:
    void accept(QTcpSocket *socket) {
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QTcpSocket::readyRead, socket,
                         [this, socket, request = QByteArray()]() mutable {
                             const bool answered = request.contains("\r\n\r\n");
                             request += socket->readAll();
                             if (answered || !request.contains("\r\n\r\n")) return;
                             const QMutexLocker lock(&m_mutex);
                             Respond(socket,
                                     m_answers.value(request.split(' ').value(1),
                                                     Answer(404, "text/plain", "Not Found")));
                         });
    }

    QByteArray m_certificate;
    QByteArray m_key;
    std::promise<quint16> m_port;
    QMutex m_mutex;
    QMap<QByteArray, CannedAnswer> m_answers;
};

LoopbackServer::LoopbackServer(const QByteArray &certificatePem, const QByteArray &keyPem)
    : m_thread(std::make_unique<Thread>(certificatePem, keyPem)), m_tls(!certificatePem.isEmpty()) {
    // A proxy from the environment would take the test's requests off the machine.
    for (const char *name : {"http_proxy", "https_proxy", "all_proxy", "no_proxy", "HTTP_PROXY",
                             "HTTPS_PROXY", "ALL_PROXY", "NO_PROXY"})
        qunsetenv(name);
    m_port = m_thread->started();
}

LoopbackServer::~LoopbackServer() {
    m_thread->quit();
    m_thread->wait();
}

void LoopbackServer::serve(const QByteArray &path, CannedAnswer answer) {
    m_thread->serve(path, std::move(answer));
}

QUrl LoopbackServer::url(const QString &path) const {
    return QUrl(QStringLiteral("http%1://127.0.0.1:%2%3")
                    .arg(m_tls ? QStringLiteral("s") : QString(), QString::number(m_port), path));
}

}  // namespace sapidoro::test
