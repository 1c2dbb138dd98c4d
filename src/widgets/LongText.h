#pragma once

#include <QString>

#include <string>
#include <string_view>

class QLineEdit;

namespace sapidoro {

// Lines have no length limit, but laying out megabytes that nobody can read costs seconds
// and gigabytes: a control shows a text longer than this by its first `kLongTextLimit`
// characters and an ellipsis, while the program keeps the whole text.
inline constexpr qsizetype kLongTextLimit = 100'000;

// What a control shows of a text: the text itself, or its prefix and an ellipsis.
QString ShownText(const QString &whole);
QString ShownText(std::string_view cp1252);
// True when `shown` is what a control shows of a text longer than the limit.
bool IsShownPrefix(const QString &shown);

// A single-line field that holds a data text (Windows-1252) of any length; the field shows
// `ShownText` of it and gives back the whole text while it still shows that.
void SetFieldText(QLineEdit *field, std::string_view cp1252);
std::string FieldText(const QLineEdit *field);

}  // namespace sapidoro
