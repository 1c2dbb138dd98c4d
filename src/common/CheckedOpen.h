#pragma once

#include <cstdint>
#include <string>

namespace sapidoro {

// Opens `path` read-only when it is a regular file that lies, once links are resolved,
// inside `folder` (an empty folder allows any place). Anything else (a FIFO, a device, a
// folder, a socket, a link leading out of the folder) is refused without being read, and a
// FIFO without waiting for a writer. The checks look at the file actually opened, so that
// nothing swapped in meanwhile gets through.
// Returns the descriptor, blocking for reads, and sets `size` to the file's size; on
// failure returns -1 with errno set: the open's own error, or EACCES for a refused file.
int OpenRegularFileInside(const std::string &path, const std::string &folder, std::uint64_t &size);

// The folder part of `path` up to its last "/", or "." when it has none.
std::string FolderOf(const std::string &path);

}  // namespace sapidoro
