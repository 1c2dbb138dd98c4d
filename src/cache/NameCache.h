#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace sapidoro {

class NameCatalog;

// The sorted start-up listing of a collection kept in the user's cache folder, so that a
// start-up on an unchanged file needs neither the walk nor the sort. The cache is trusted
// only for the very file it was made from (its identity and the checksum of its head and
// tail) and only whole (its own checksum); anything else about it makes it ignored.

// The cache file of the collection in `dataFolder` (ending with a separator): a folder of
// its own under `UserCacheFolder()`, named by a hash of the folder's path and its last name.
std::string NameCachePath(const std::string &dataFolder);

// The listing of `recipeFile` as the cache at `cachePath` keeps it, sorted and without its
// display texts, as `NameCatalog::ListSorted` gives it; nothing when the cache is missing,
// damaged, of another version or of another state of the file. Never throws.
std::unique_ptr<NameCatalog> ReadNameCache(const std::string &cachePath,
                                           const std::string &recipeFile);

// Keeps `catalog`, a listing of `recipeFile` straight from `NameCatalog::ListSorted` begun
// at `walkedAt` (`NameCacheClock()`), at `cachePath`, replacing it whole or not at all; false
// when the file changed since, had changed too shortly before the walk to be told from a
// change during it, or nothing could be written. Never throws.
bool WriteNameCache(const std::string &cachePath, const std::string &recipeFile,
                    NameCatalog &catalog, std::int64_t walkedAt);

// The wall clock's seconds, as file times count them.
std::int64_t NameCacheClock();

}  // namespace sapidoro
