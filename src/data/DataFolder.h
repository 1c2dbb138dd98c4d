#pragma once

#include <string>

namespace sapidoro {

// The folder of `executablePath` up to and including its last separator ("/", or "\"
// and a drive's ":" in Windows-style paths), so that file names can be appended directly.
std::string DataFolderOf(const std::string &executablePath);

// The folder of the running executable, from the process's own path, ending with "/".
std::string ExecutableDataFolder();

}  // namespace sapidoro
