#include "pageprinter/ColumnFormat.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace sapidoro {

namespace {

bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

QChar MarkOf(ColumnAlign align) {
    switch (align) {
        case ColumnAlign::Right:
            return u'>';
        case ColumnAlign::Center:
            return u'^';
        case ColumnAlign::Left:
            break;
    }
    return u'<';
}

}  // namespace

std::optional<double> ParseDecimal(QStringView text, QChar decimalSeparator) {
    qsizetype i = 0;
    qsizetype end = text.size();
    while (i < end && text[i] == u' ') ++i;
    while (end > i && text[end - 1] == u' ') --end;
    std::string ascii;
    if (i < end && (text[i] == u'+' || text[i] == u'-'))
        ascii += static_cast<char>(text[i++].unicode());
    int mantissaDigits = 0;
    while (i < end && IsDigit(text[i])) {
        ascii += static_cast<char>(text[i++].unicode());
        ++mantissaDigits;
    }
    if (i < end && text[i] == decimalSeparator) {
        ascii += '.';
        ++i;
        while (i < end && IsDigit(text[i])) {
            ascii += static_cast<char>(text[i++].unicode());
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (i < end && (text[i] == u'e' || text[i] == u'E')) {
        ascii += 'e';
        ++i;
        if (i < end && (text[i] == u'+' || text[i] == u'-'))
            ascii += static_cast<char>(text[i++].unicode());
        int exponentDigits = 0;
        while (i < end && IsDigit(text[i])) {
            ascii += static_cast<char>(text[i++].unicode());
            ++exponentDigits;
        }
        if (exponentDigits == 0) return std::nullopt;
    }
    if (i != end) return std::nullopt;
    const char *first = ascii.data();
    if (*first == '+') ++first;
    double value = 0;
    const auto result = std::from_chars(first, ascii.data() + ascii.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value)) return std::nullopt;
    return value;
}

QString FormatGeneral(double value, QChar decimalSeparator) {
    if (!std::isfinite(value)) return QString::number(value);
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    const std::string text(buffer);
    const bool negative = text[0] == '-';
    const std::size_t start = negative ? 1 : 0;
    const std::size_t ePos = text.find('e');
    std::string digits = text.substr(start, 1) + text.substr(start + 2, ePos - start - 2);
    const int exponent = std::stoi(text.substr(ePos + 1));
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    if (digits == "0") return QStringLiteral("0");

    std::string out = negative ? "-" : "";
    if (exponent < -5 || exponent >= 15) {
        out += digits[0];
        if (digits.size() > 1) out.append(".").append(digits, 1, std::string::npos);
        out.append("E").append(std::to_string(exponent));
    } else if (exponent >= 0) {
        const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= integerDigits) {
            out += digits + std::string(integerDigits - digits.size(), '0');
        } else {
            out.append(digits, 0, integerDigits)
                .append(".")
                .append(digits, integerDigits, std::string::npos);
        }
    } else {
        out.append("0.").append(static_cast<std::size_t>(-exponent - 1), '0').append(digits);
    }
    QString result = QString::fromLatin1(out);
    result.replace(u'.', decimalSeparator);
    return result;
}

QString FormatFixed2(double value, QChar decimalSeparator) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    QString result = QString::fromLatin1(buffer);
    result.replace(u'.', decimalSeparator);
    return result;
}

ColumnSpec ParseColumnSpec(QStringView entry, double defaultWidth, QChar decimalSeparator) {
    ColumnSpec column;
    if (!entry.isEmpty()) {
        if (entry[0] == u'<' || entry[0] == u'>' || entry[0] == u'^') {
            column.align = entry[0] == u'>'   ? ColumnAlign::Right
                           : entry[0] == u'^' ? ColumnAlign::Center
                                              : ColumnAlign::Left;
            entry = entry.mid(1);
        }
    }
    if (entry.isEmpty()) {
        column.width = defaultWidth;
    } else {
        column.width = ParseDecimal(entry, decimalSeparator).value_or(defaultWidth);
    }
    return column;
}

QStringList SplitAtSeparator(const QString &text, QChar separator) {
    return text.split(separator, Qt::KeepEmptyParts);
}

QString NormalizeColumnFormat(const QString &format, QChar separator, double defaultWidth,
                              QChar decimalSeparator, double factor) {
    if (format.isEmpty()) return format;
    QStringList specs;
    for (const QString &piece : SplitAtSeparator(format, separator)) {
        const ColumnSpec column = ParseColumnSpec(piece, defaultWidth, decimalSeparator);
        specs.append(MarkOf(column.align) +
                     FormatGeneral(column.width * factor, decimalSeparator).trimmed());
    }
    return specs.join(separator);
}

}  // namespace sapidoro
