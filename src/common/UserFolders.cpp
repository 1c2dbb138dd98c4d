#include "common/UserFolders.h"

#include <QStandardPaths>

namespace sapidoro {

namespace {

QString ProgramFolderIn(QStandardPaths::StandardLocation location, const QString &name) {
    return QStandardPaths::writableLocation(location) + QLatin1Char('/') + name;
}

}  // namespace

QString UserDataFolder() {
    return ProgramFolderIn(QStandardPaths::GenericDataLocation, QStringLiteral("Sapidoro"));
}

QString UserCacheFolder() {
    return ProgramFolderIn(QStandardPaths::GenericCacheLocation, QStringLiteral("Sapidoro"));
}

QString OldUserDataFolder() {
    return ProgramFolderIn(QStandardPaths::GenericDataLocation, QStringLiteral("Sapidoro 1.3"));
}

}  // namespace sapidoro
