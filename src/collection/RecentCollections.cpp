#include "collection/RecentCollections.h"

#include "collection/CollectionFolder.h"

#include <QFileInfo>
#include <QSettings>

namespace sapidoro {

namespace {

const QString kRecentKey = QStringLiteral("collections/recent");

QSettings Settings() {
    return QSettings(QStringLiteral("Sapidoro"), QStringLiteral("Sapidoro"));
}

}  // namespace

QStringList RecentCollections() {
    QStringList existing;
    for (const QString &folder : Settings().value(kRecentKey).toStringList()) {
        if (QFileInfo(folder).isDir() && !existing.contains(folder)) existing << folder;
        if (existing.size() == kRecentCollectionCount) break;
    }
    return existing;
}

void RememberCollection(const QString &folder) {
    const QString path = AsDataFolder(folder);
    QSettings settings = Settings();
    QStringList recent = settings.value(kRecentKey).toStringList();
    recent.removeAll(path);
    recent.prepend(path);
    while (recent.size() > kRecentCollectionCount) recent.removeLast();
    settings.setValue(kRecentKey, recent);
    settings.sync();
}

}  // namespace sapidoro
