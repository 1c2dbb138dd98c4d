#pragma once

#include <QString>
#include <QStringList>

namespace sapidoro {

// The collections opened last are remembered in the user's settings
// (QSettings "Sapidoro"/"Sapidoro", under the XDG config folder).
inline constexpr int kRecentCollectionCount = 5;

// The remembered folders, the most recent first, as they were remembered: a folder moved or
// unmounted meanwhile stays, so that it opens again once it is back.
QStringList RememberedCollections();

// The remembered folders, the most recent first, those that no longer exist left out.
QStringList RecentCollections();

// Puts `folder` first among the remembered ones, keeping at most kRecentCollectionCount.
void RememberCollection(const QString &folder);

}  // namespace sapidoro
