#include "net/WebAddress.h"

#include "common/Exception.h"

namespace sapidoro {

namespace {

bool IsWebScheme(const QString &scheme) {
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

}  // namespace

QUrl WebAddressFromText(const QString &text) {
    QString address = text.trimmed();
    if (address.isEmpty()) throw Exception("Nessun indirizzo indicato.");
    // "www.example.org/pagina" as browsers take it; "ftp:", "file:" and the like keep theirs.
    const qsizetype colon = address.indexOf(u':');
    const qsizetype slash = address.indexOf(u'/');
    if (colon < 0 || (slash >= 0 && slash < colon)) address.prepend(QStringLiteral("https://"));
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || !IsWebScheme(url.scheme()))
        throw Exception(QStringLiteral("\u00AB%1\u00BB non \u00E8 un indirizzo web: si possono "
                                       "importare solo indirizzi http e https.")
                            .arg(text.trimmed())
                            .toStdString());
    if (url.host().isEmpty())
        throw Exception(QStringLiteral("L'indirizzo \u00AB%1\u00BB non nomina alcun server.")
                            .arg(text.trimmed())
                            .toStdString());
    return url;
}

bool LooksLikeWebAddress(const QString &text) {
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    return url.isValid() && IsWebScheme(url.scheme()) && !url.host().isEmpty();
}

}  // namespace sapidoro
