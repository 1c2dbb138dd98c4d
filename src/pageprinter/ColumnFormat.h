#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace sapidoro {

enum class ColumnAlign { Left, Right, Center };

// One column of a table, header or footer format. A negative width asks for a column of the
// absolute width without cell lines.
struct ColumnSpec {
    ColumnAlign align = ColumnAlign::Left;
    double width = 0;
};

// A decimal number as the locale writes it: blanks around, sign, digits with `decimalSeparator`,
// exponent. Empty when the text is no number.
std::optional<double> ParseDecimal(QStringView text, QChar decimalSeparator);

// Shortest general notation of up to 15 significant digits ("1.5", "25.4", "1E-7").
QString FormatGeneral(double value, QChar decimalSeparator);
// Fixed notation with two decimals ("2.50").
QString FormatFixed2(double value, QChar decimalSeparator);

// Reads one column entry: an optional mark "<", ">" or "^" and a width; a missing or unreadable
// width is `defaultWidth`.
ColumnSpec ParseColumnSpec(QStringView entry, double defaultWidth, QChar decimalSeparator);

// Cells of a row or specs of a format; an empty text gives one empty entry.
QStringList SplitAtSeparator(const QString &text, QChar separator);

// Rewrites a column format entry by entry as mark and width (times `factor`); empty stays empty.
QString NormalizeColumnFormat(const QString &format, QChar separator, double defaultWidth,
                              QChar decimalSeparator, double factor = 1.0);

}  // namespace sapidoro
