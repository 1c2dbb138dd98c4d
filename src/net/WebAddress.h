#pragma once

#include <QString>
#include <QUrl>

namespace sapidoro {

// The address a user typed or pasted, trimmed; one without a scheme is taken as https.
// Throws Exception unless it is an http or https address with a host.
QUrl WebAddressFromText(const QString &text);

// Whether the text (trimmed) is an http or https address, as offered from the clipboard.
bool LooksLikeWebAddress(const QString &text);

}  // namespace sapidoro
