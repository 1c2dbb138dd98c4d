#pragma once

#include <QString>
#include <QStringList>

namespace sapidoro {

// `path` as a data folder: absolute, cleaned, ending with "/".
QString AsDataFolder(const QString &path);

// Why `path` cannot be opened as a collection, as an Italian sentence for the user; empty
// when it can: an existing, readable folder whose ricette.txt is a readable regular file
// inside it.
QString CollectionFolderProblem(const QString &path);

// The folder opened at start-up: the command line's folder, else the most recent remembered
// folder, whatever state it is in now (the start-up asks when it cannot be opened), else the
// executable's folder.
QString ChooseStartFolder(const QString &argument, const QStringList &remembered,
                          const QString &executableFolder);

}  // namespace sapidoro
