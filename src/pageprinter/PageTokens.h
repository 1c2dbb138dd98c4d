#pragma once

#include <QChar>
#include <QDateTime>
#include <QString>

namespace sapidoro {

// Replaces every occurrence of `token`, case-sensitive, left to right; inserted text is not
// searched again.
QString ReplaceAll(const QString &text, const QString &token, const QString &value);

struct TokenValues {
    int line = 0;
    int page = 0;
    QString date;  // locale short date
    QString time;  // locale long time
    QString title;
};

// Expands "{$LINE}", "{$PAGE}", "{$DATE}", "{$TIME}" and "{$TITLE}", in that order.
QString ExpandTokens(const QString &text, const TokenValues &values);

// Date and time as the locale writes them.
QString LocaleShortDate(const QDateTime &moment);
QString LocaleLongDate(const QDateTime &moment);
QString LocaleShortTime(const QDateTime &moment);
QString LocaleLongTime(const QDateTime &moment);

// The file name without its folder: the text after the last "\", ":" or "/".
QString FileNameWithoutFolder(const QString &fileName);

// Values the "&" codes of a friendly header or footer insert; fixed when the text is applied.
struct FriendlyValues {
    QDateTime moment;
    QString fileName;
};

// The cell text and column format a friendly header or footer stands for.
struct FriendlyFormat {
    QString text;
    QString format;
};

FriendlyFormat ApplyFriendlyFormat(const QString &friendly, QChar separator,
                                   double widthBetweenMargins, QChar decimalSeparator,
                                   const FriendlyValues &values);

}  // namespace sapidoro
