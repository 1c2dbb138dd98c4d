#pragma once

#include "common/QtText.h"

#include <QString>

#include <string>
#include <string_view>

class QLineEdit;

namespace sapidoro {

// What a control shows of a text: the text itself, or its first `limit` characters and an
// ellipsis when it is longer (the limit and the bytes' overload are in QtText.h).
QString ShownText(const QString &whole, qsizetype limit = kLongTextLimit);
// What a single-line field shows of a text (the bytes' overload is in QtText.h).
QString FieldShownText(const QString &whole);
// True when `shown` may be a cut text (long, ending with the ellipsis), and when it is
// the cut of `whole`.
bool MayBeCut(const QString &shown);
bool IsCutOf(const QString &shown, const QString &whole);
bool IsCutOf(const QString &shown, std::string_view wholeCp1252);

// A single-line field that holds a data text (Windows-1252) of any length; the field shows
// `FieldShownText` of it and gives back the whole text while it still shows that.
void SetFieldText(QLineEdit *field, std::string_view cp1252);
std::string FieldText(const QLineEdit *field);

}  // namespace sapidoro
