#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace sapidoro {

// The picture file a recipe name (Windows-1252) gets in `dataFolder` (ending with "/"), as a
// local path; throws Exception when the name cannot name a file.
QString RecipePicturePath(const std::string &dataFolder, std::string_view name);

// Checks that the picture control decodes `file`; throws Exception with the reason.
void CheckPicture(const QString &file);

// Copies `source` to the recipe's picture file, replacing it whole or not at all.
void StorePicture(const std::string &dataFolder, std::string_view name, const QString &source);

// Renames the picture of `from` to that of `to` when there is one and `to` has none; false
// when nothing was renamed.
bool RenamePicture(const std::string &dataFolder, std::string_view from, std::string_view to);

}  // namespace sapidoro
