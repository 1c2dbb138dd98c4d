#pragma once

#include <QByteArray>
#include <QUrl>

#include <memory>

namespace sapidoro::test {

// What the server answers on one path.
struct CannedAnswer {
    enum class Body {
        Whole,    // `body` with its length, then the connection closes
        Endless,  // `body` repeated for ever, no length
        Drip,     // the first byte of `body` again and again, slowly, for ever
        Silent    // the request is read and never answered
    };
    QByteArray head;  // the status line and headers, each ending in CR LF
    QByteArray body;
    Body kind = Body::Whole;
};

// A complete answer of the given status and content type.
CannedAnswer Answer(int status, const QByteArray &contentType, const QByteArray &body,
                    const QByteArray &moreHeaders = {});
// A redirect to `location`.
CannedAnswer Redirect(const QByteArray &location);

// An HTTP server on 127.0.0.1 in a thread of its own, answering each path with the answer
// given for it (404 for the others); with a certificate and key (PEM) it speaks TLS.
class LoopbackServer {
public:
    explicit LoopbackServer(const QByteArray &certificatePem = {}, const QByteArray &keyPem = {});
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer &) = delete;
    LoopbackServer &operator=(const LoopbackServer &) = delete;

    void serve(const QByteArray &path, CannedAnswer answer);
    quint16 port() const { return m_port; }
    // The address of `path` on this server.
    QUrl url(const QString &path) const;

private:
    class Thread;
    std::unique_ptr<Thread> m_thread;
    quint16 m_port = 0;
    bool m_tls = false;
};

}  // namespace sapidoro::test
