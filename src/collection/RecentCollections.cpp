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

QStringList RememberedCollections() {
    QStringList remembered;
    for (const QString &folder : Settings().value(kRecentKey).toStringList()) {
        if (!folder.isEmpty() && !remembered.contains(folder)) remembered << folder;
        if (remembered.size() == kRecentCollectionCount) break;
    }
    return remembered;
}

QStringList RecentCollections() {
    QStringList existing = RememberedCollections();
    existing.removeIf([](const QString &folder) { return !QFileInfo(folder).isDir(); });
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
