#include "net/WebFetch.h"

#include <QEventLoop>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslError>

namespace sapidoro {

namespace {

QString Quoted(const QString &text) {
    return QStringLiteral("\u00AB%1\u00BB").arg(text);
}

QString Seconds(std::chrono::milliseconds time) {
    return QLocale(QLocale::Italian).toString(static_cast<double>(time.count()) / 1000.0, 'g', 3);
}

int HttpStatus(const QNetworkReply &reply) {
    return reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

bool IsRedirect(int status) {
    return status >= 300 && status < 400;
}

}  // namespace

WebFetch::WebFetch(QNetworkAccessManager &manager, WebResource what, FetchLimits limits,
                   QObject *parent)
    : QObject(parent), m_manager(manager), m_what(what), m_limits(limits) {
    // The proxy the desktop is set to, as the user's browser uses it.
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    m_connectTimer.setSingleShot(true);
    m_totalTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("Il server %1 non ha risposto entro %2 secondi.")
                 .arg(Quoted(m_body.url.host()), Seconds(m_limits.connectTimeout)));
    });
    connect(&m_totalTimer, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("Lo scaricamento da %1 non \u00E8 terminato entro %2 secondi.")
                 .arg(Quoted(m_body.url.host()), Seconds(m_limits.totalTimeout)));
    });
}

WebFetch::~WebFetch() {
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        delete m_reply;
    }
}

QString WebFetch::what() const {
    return m_what == WebResource::Page ? QStringLiteral("La pagina") : QStringLiteral("L'immagine");
}

void WebFetch::start(const QUrl &url) {
    m_firstUrl = url;
    m_body.url = url;
    if (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")) {
        fail(QStringLiteral("%1 non \u00E8 un indirizzo web: si possono scaricare solo indirizzi "
                            "http e https.")
                 .arg(Quoted(url.toDisplayString())));
        return;
    }
    m_totalTimer.start(m_limits.totalTimeout);
    request(url);
}

void WebFetch::cancel() {
    m_cancelled = true;
    fail(QStringLiteral("Scaricamento annullato."));
}

void WebFetch::request(const QUrl &url) {
    m_body.url = url;
    m_body.bytes.clear();
    m_expected = -1;
    m_visited.insert(url.adjusted(QUrl::RemoveFragment));
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    // The bytes are counted after decompression here, against the limit of our own.
    request.setDecompressedSafetyCheckThreshold(-1);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Sapidoro/1.3"));
    request.setRawHeader("Accept", m_what == WebResource::Page
                                       ? QByteArrayLiteral("text/html,application/xhtml+xml,"
                                                           "application/ld+json;q=0.9,*/*;q=0.8")
                                       : QByteArrayLiteral("image/jpeg,image/png,image/webp,"
                                                           "image/*;q=0.8"));
    // The Italian version of a site that has several, as the program speaks Italian.
    request.setRawHeader("Accept-Language", QByteArrayLiteral("it-IT,it;q=0.9,en;q=0.5"));
    m_reply = m_manager.get(request);
    connect(m_reply, &QNetworkReply::requestSent, this, [this] { m_connectTimer.stop(); });
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &WebFetch::checkHeaders);
    connect(m_reply, &QNetworkReply::readyRead, this, &WebFetch::readBody);
    connect(m_reply, &QNetworkReply::finished, this, &WebFetch::replyFinished);
    connect(m_reply, &QNetworkReply::sslErrors, this, [this](const QList<QSslError> &errors) {
        if (!errors.isEmpty() && m_sslProblem.isEmpty())
            m_sslProblem = errors.constFirst().errorString();
    });
    m_connectTimer.start(m_limits.connectTimeout);
}

void WebFetch::checkHeaders() {
    if (!m_reply) return;
    const int status = HttpStatus(*m_reply);
    if (status < 200 || status >= 300) return;
    // A compressed body's length says nothing of what it becomes.
    if (!m_reply->hasRawHeader("Content-Encoding"))
        m_expected = m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(nullptr);
    if (m_expected > m_limits.maxBytes)
        fail(QStringLiteral("%1 \u00E8 di %2 MB: si scaricano al massimo %3 MB.")
                 .arg(what(), QString::number(m_expected >> 20),
                      QString::number(m_limits.maxBytes >> 20)));
}

void WebFetch::readBody() {
    if (!m_reply) return;
    const int status = HttpStatus(*m_reply);
    if (status != 0 && (status < 200 || status >= 300)) {
        m_reply->readAll();
        return;
    }
    const qint64 room = m_limits.maxBytes - m_body.bytes.size();
    m_body.bytes += m_reply->read(room + 1);
    if (m_body.bytes.size() > m_limits.maxBytes) {
        fail(QStringLiteral("%1 supera i %2 MB: scaricamento interrotto.")
                 .arg(what(), QString::number(m_limits.maxBytes >> 20)));
        return;
    }
    emit progress(m_body.bytes.size(), m_expected);
}

void WebFetch::replyFinished() {
    if (!m_reply) return;
    readBody();
    if (!m_reply) return;
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();
    m_connectTimer.stop();
    const int status = HttpStatus(*reply);
    const QString host = Quoted(reply->url().host());
    if (IsRedirect(status) && reply->hasRawHeader("Location")) {
        const QUrl target = reply->url().resolved(QUrl::fromEncoded(reply->rawHeader("Location")));
        if (m_visited.contains(target.adjusted(QUrl::RemoveFragment)))
            fail(QStringLiteral("Il server %1 rimanda a un indirizzo gi\u00E0 visitato: i "
                                "reindirizzamenti girano in tondo.")
                     .arg(host));
        else if (++m_redirects > m_limits.maxRedirects)
            fail(QStringLiteral("Troppi reindirizzamenti (pi\u00F9 di %1) a partire da %2.")
                     .arg(QString::number(m_limits.maxRedirects),
                          Quoted(m_firstUrl.toDisplayString())));
        else if (target.scheme() != m_firstUrl.scheme())
            fail(QStringLiteral("Il server %1 rimanda da un indirizzo %2 a uno %3 (%4), che non "
                                "si segue: provare direttamente con quell'indirizzo.")
                     .arg(host, m_firstUrl.scheme(), target.scheme(),
                          Quoted(target.toDisplayString())));
        else
            request(target);
        return;
    }
    const QString reason =
        reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString().trimmed();
    const QString code =
        reason.isEmpty() ? QString::number(status) : QString::number(status) + u' ' + reason;
    if (status == 404 || status == 410)
        fail(QStringLiteral("%1 %2 non esiste sul server (errore HTTP %3).")
                 .arg(what(), Quoted(reply->url().toDisplayString()), code));
    else if (status >= 500)
        fail(QStringLiteral("Il server %1 ha risposto con un errore (HTTP %2): riprovare pi\u00F9 "
                            "tardi.")
                 .arg(host, code));
    else if (status >= 300)
        fail(QStringLiteral("Il server %1 ha rifiutato la richiesta (errore HTTP %2).")
                 .arg(host, code));
    else if (reply->error() != QNetworkReply::NoError)
        fail(networkError(reply->error(), reply->errorString()));
    else {
        m_body.contentType = reply->rawHeader("Content-Type");
        finish();
    }
}

QString WebFetch::networkError(int code, const QString &qtText) const {
    const QString host = Quoted(m_body.url.host());
    switch (code) {
        case QNetworkReply::HostNotFoundError:
            return QStringLiteral(
                       "Il server %1 non esiste: il nome non corrisponde ad alcun indirizzo. "
                       "Controllare l'indirizzo e la connessione.")
                .arg(host);
        case QNetworkReply::ConnectionRefusedError:
            return QStringLiteral("Il server %1 ha rifiutato la connessione.").arg(host);
        case QNetworkReply::SslHandshakeFailedError:
            return QStringLiteral(
                       "Il certificato di sicurezza di %1 non \u00E8 valido (%2): la "
                       "connessione non \u00E8 sicura e non si scarica nulla.")
                .arg(host, m_sslProblem.isEmpty() ? qtText : m_sslProblem);
        case QNetworkReply::RemoteHostClosedError:
            return QStringLiteral("Il server %1 ha chiuso la connessione prima di inviare tutto.")
                .arg(host);
        case QNetworkReply::TimeoutError:
            return QStringLiteral("Il server %1 ha smesso di rispondere.").arg(host);
        default:
            return QStringLiteral("Scaricamento da %1 non riuscito: %2").arg(host, qtText);
    }
}

void WebFetch::fail(const QString &message) {
    if (m_finished) return;
    m_error = message;
    if (m_reply) {
        QNetworkReply *reply = m_reply;
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    finish();
}

void WebFetch::finish() {
    m_finished = true;
    m_connectTimer.stop();
    m_totalTimer.stop();
    emit finished();
}

FetchedBody FetchWebResource(QNetworkAccessManager &manager, const QUrl &url, WebResource what,
                             const FetchLimits &limits,
                             const std::function<void(WebFetch &)> &watch) {
    WebFetch fetch(manager, what, limits);
    if (watch) watch(fetch);
    QEventLoop loop;
    QObject::connect(&fetch, &WebFetch::finished, &loop, &QEventLoop::quit);
    fetch.start(url);
    if (!fetch.isFinished()) loop.exec();
    if (fetch.cancelled()) throw EFetchCancelled();
    if (!fetch.error().isEmpty()) throw Exception(fetch.error().toStdString());
    return fetch.body();
}

}  // namespace sapidoro
