#include "pageprinter/PageTokens.h"

#include "pageprinter/ColumnFormat.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>

namespace sapidoro {

QString ReplaceAll(const QString &text, const QString &token, const QString &value) {
    if (token.isEmpty()) return text;
    QString result;
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(token, 0, Qt::CaseSensitive); at >= 0;
         at = text.indexOf(token, from, Qt::CaseSensitive)) {
        result += QStringView(text).mid(from, at - from);
        result += value;
        from = at + token.size();
    }
    result += QStringView(text).mid(from);
    return result;
}

QString ExpandTokens(const QString &text, const TokenValues &values) {
    QString result = ReplaceAll(text, QStringLiteral("{$LINE}"), QString::number(values.line));
    result = ReplaceAll(result, QStringLiteral("{$PAGE}"), QString::number(values.page));
    result = ReplaceAll(result, QStringLiteral("{$DATE}"), values.date);
    result = ReplaceAll(result, QStringLiteral("{$TIME}"), values.time);
    return ReplaceAll(result, QStringLiteral("{$TITLE}"), values.title);
}

QString LocaleShortDate(const QDateTime &moment) {
    return QLocale().toString(moment.date(), QLocale::ShortFormat);
}

QString LocaleLongDate(const QDateTime &moment) {
    return QLocale().toString(moment.date(), QLocale::LongFormat);
}

QString LocaleShortTime(const QDateTime &moment) {
    return QLocale().toString(moment.time(), QLocale::ShortFormat);
}

QString LocaleLongTime(const QDateTime &moment) {
    // The locale's long time format names the time zone; a time of day on a page does not.
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("\\s*t+")));
    return QLocale().toString(moment.time(), format.trimmed());
}

QString FileNameWithoutFolder(const QString &fileName) {
    const qsizetype cut = std::max(
        {fileName.lastIndexOf(u'\\'), fileName.lastIndexOf(u':'), fileName.lastIndexOf(u'/')});
    return fileName.mid(cut + 1);
}

namespace {

// The value of a value code, or an empty string for a column code.
QString CodeValue(QChar code, const FriendlyValues &values) {
    switch (code.unicode()) {
        case u'p':
            return QStringLiteral("{$PAGE}");
        case u'i':
            return QStringLiteral("{$TITLE}");
        case u'd':
            return LocaleShortDate(values.moment);
        case u'D':
            return LocaleLongDate(values.moment);
        case u't':
            return LocaleShortTime(values.moment);
        case u'T':
            return LocaleLongTime(values.moment);
        case u'f':
            return FileNameWithoutFolder(values.fileName);
        case u'F':
            return values.fileName;
        case u'&':
            return QStringLiteral("&");
        default:
            return QString();
    }
}

}  // namespace

FriendlyFormat ApplyFriendlyFormat(const QString &friendly, QChar separator,
                                   double widthBetweenMargins, QChar decimalSeparator,
                                   const FriendlyValues &values) {
    QString text;
    QString marks;
    bool pending = false;
    for (const QChar c : friendly) {
        if (!pending) {
            if (c == u'&') {
                pending = true;
            } else {
                text += c;
            }
            continue;
        }
        pending = false;
        if (c == u'l' || c == u'c' || c == u'r') {
            if (!text.isEmpty()) {
                if (marks.isEmpty()) marks += u'<';
                text += separator;
            }
            marks += c == u'l' ? u'<' : c == u'c' ? u'^' : u'>';
            continue;
        }
        const QString value = CodeValue(c, values);
        text += value.isEmpty() ? QStringLiteral(" ") : value;
    }
    if (marks.isEmpty()) marks += u'<';

    const QString width =
        FormatFixed2(widthBetweenMargins / marks.size(), decimalSeparator).trimmed();
    QStringList specs;
    for (const QChar mark : marks) specs.append(mark + width);
    return {text, specs.join(separator)};
}

}  // namespace sapidoro
