#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <string_view>
#include <vector>

namespace sapidoro {

// Conversions at the widget boundary: data texts are Windows-1252 bytes, widgets hold QString.
QString FromCp1252(std::string_view bytes);
std::string ToCp1252(const QString &text);
QStringList FromCp1252List(const std::vector<std::string> &items);

// Lines have no length limit, but laying out megabytes that nobody can read costs seconds
// and gigabytes: a control shows a text longer than this by its first `kLongTextLimit`
// characters and an ellipsis, while the program keeps the whole text.
inline constexpr qsizetype kLongTextLimit = 100'000;
// A single-line field shows one line's width: a text it would show cut is cut shorter, at
// this many characters, since laying out the longer prefix costs a pick most of its time.
inline constexpr qsizetype kFieldCutLength = 10'000;
// The ellipsis that ends a text shown cut.
inline constexpr char16_t kCutMark = 0x2026;

// What a control shows of a data text: the text converted, or its first `limit` characters
// and an ellipsis when it is longer; only that prefix is converted.
QString ShownText(std::string_view cp1252, qsizetype limit = kLongTextLimit);
// What a single-line field shows of a data text: the text converted, or, when it is longer
// than `kLongTextLimit`, its first `kFieldCutLength` characters and an ellipsis.
QString FieldShownText(std::string_view cp1252);

}  // namespace sapidoro
