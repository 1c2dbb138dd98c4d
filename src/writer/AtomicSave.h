#pragma once

#include "scan/FileMapping.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace sapidoro {

// What a save left: the file as it now is, and its previous version kept beside it as "~".
struct SaveResult {
    std::string path;
    FileIdentity identity;
    FileIdentity backupIdentity;
    bool written = true;  // false: the new bytes were the old ones, and the file was left alone
};

// A data file's bytes as a save reads them, under the folder's lock.
struct SavedFile {
    std::string path;
    FileIdentity identity;
    unsigned mode = 0;
    std::shared_ptr<const FileMapping> mapping;  // null for an empty or unmappable file
    std::string copy;                            // the bytes when not mapped
    std::string_view bytes;
};

// Takes the bytes of the new file piece by piece, as they are made.
using ByteSink = std::function<void(std::string_view bytes)>;

// The new file: the old one's bytes before `from`, then `insert`, then its bytes from `to`
// on; or, with `source`, that file's bytes whole.
struct SavePlan {
    std::uint64_t from = 0;
    std::uint64_t to = 0;
    std::string insert;
    // When set, makes the bytes that go in place of `insert`, handing them to the sink as it
    // goes, so that they are never held whole.
    std::function<void(const ByteSink &write)> produce;
    std::shared_ptr<const SavedFile> source;
    // Reads the written temporary file back before it replaces the old one; throws when it
    // does not hold what was meant.
    std::function<void(const std::string &tempPath)> verify;
    // The change would give the file its own bytes again: nothing is written.
    bool unchanged = false;
};
using SavePlanner = std::function<SavePlan(const SavedFile &old)>;

// Replaces the data file `path` with what `plan` makes of its bytes, all or nothing: under
// the folder's advisory lock, the file is checked to be the one `expected` names (none:
// whatever is there), written to a temporary file in the same folder, flushed, given the
// old file's permissions, read back, renamed over the old file and the folder flushed; the
// old version stays as `path` + "~". Refuses links, read-only files and folders, files with
// other hard links; any failure throws ESaveRefused (EFileChanged when another program
// changed the file) and leaves the file as it was.
SaveResult SaveFile(const std::string &path, const FileIdentity *expected, const SavePlanner &plan);

// The bytes of `path` for a save; with `replacing`, refused as `SaveFile` refuses what it
// cannot replace, else only when it is a link or not a regular file.
std::shared_ptr<SavedFile> ReadForSave(const std::string &path, bool replacing);

// The identity of the file at `path` now (links not followed); throws EInOutError.
FileIdentity CurrentIdentity(const std::string &path);

// Removes the temporary files a save that was killed left in `folder`, unless a save is
// running there now.
void RemoveLeftoverTemps(const std::string &folder);

// The last part of a path, as messages name the file.
std::string FileNameOf(const std::string &path);

}  // namespace sapidoro
