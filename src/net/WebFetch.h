#pragma once

#include "common/Exception.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

namespace sapidoro {

// What a fetch may take; tests shorten the times.
struct FetchLimits {
    std::chrono::milliseconds connectTimeout{15000};  // to connect and send the request
    std::chrono::milliseconds totalTimeout{60000};    // from the first request to the last byte
    qint64 maxBytes = qint64{20} << 20;               // after decompression
    int maxRedirects = 5;
};

// What is fetched, for the messages.
enum class WebResource { Page, Picture };

// A body received whole.
struct FetchedBody {
    QByteArray bytes;
    QByteArray contentType;
    QUrl url;  // after redirects
};

// The user cancelled a fetch.
class EFetchCancelled : public Exception {
public:
    EFetchCancelled() : Exception("Scaricamento annullato.") {}
};

// One GET over http or https within `FetchLimits`: redirects followed by hand, never to
// another scheme, certificates always verified. Its slots never throw; the outcome is read
// once `finished` has been emitted.
class WebFetch : public QObject {
    Q_OBJECT

public:
    WebFetch(QNetworkAccessManager &manager, WebResource what, FetchLimits limits,
             QObject *parent = nullptr);
    ~WebFetch() override;

    void start(const QUrl &url);
    void cancel();

    bool isFinished() const { return m_finished; }
    bool cancelled() const { return m_cancelled; }
    // The Italian message of a failed fetch (UTF-8 via QString); empty when it succeeded.
    const QString &error() const { return m_error; }
    const FetchedBody &body() const { return m_body; }

signals:
    // Bytes received so far, and the expected total (-1 when unknown).
    void progress(qint64 received, qint64 total);
    void finished();

private:
    void request(const QUrl &url);
    void readBody();
    void checkHeaders();
    void replyFinished();
    void fail(const QString &message);
    void finish();
    QString what() const;
    QString networkError(int code, const QString &qtText) const;

    QNetworkAccessManager &m_manager;
    WebResource m_what;
    FetchLimits m_limits;
    QPointer<QNetworkReply> m_reply;
    QTimer m_connectTimer;
    QTimer m_totalTimer;
    QUrl m_firstUrl;
    QSet<QUrl> m_visited;
    int m_redirects = 0;
    qint64 m_expected = -1;
    QString m_sslProblem;
    FetchedBody m_body;
    QString m_error;
    bool m_finished = false;
    bool m_cancelled = false;
};

// Fetches `url` in a local event loop; `watch` may connect the fetch to a progress window
// before it starts. Throws Exception with the fetch's message, EFetchCancelled on cancel.
FetchedBody FetchWebResource(QNetworkAccessManager &manager, const QUrl &url, WebResource what,
                             const FetchLimits &limits,
                             const std::function<void(WebFetch &)> &watch = {});

}  // namespace sapidoro
