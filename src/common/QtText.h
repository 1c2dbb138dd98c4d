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

}  // namespace sapidoro
