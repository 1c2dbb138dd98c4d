#pragma once

#include <QString>

namespace sapidoro {

// The program's own folders of the user, named "Sapidoro" whatever name the process runs
// under (tests and benchmarks run under others) and without a version, so that an upgrade
// finds them: `$XDG_DATA_HOME/Sapidoro` for the user's data (the shopping list, the week's
// menu) and `$XDG_CACHE_HOME/Sapidoro` for caches. Neither ends with a separator.
QString UserDataFolder();
QString UserCacheFolder();

// The data folder of the releases that named it after the application title with its
// version ("Sapidoro 1.3"); read only to move what it holds into `UserDataFolder()`.
QString OldUserDataFolder();

}  // namespace sapidoro
