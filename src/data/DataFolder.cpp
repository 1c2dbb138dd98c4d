#include "data/DataFolder.h"

#include <unistd.h>

#include <climits>
#include <vector>

namespace sapidoro {

std::string DataFolderOf(const std::string &executablePath) {
    std::size_t at = executablePath.find_last_of("/\\");
    if (at == std::string::npos) at = executablePath.find(':');  // a bare drive, "C:x.exe"
    if (at == std::string::npos) return {};
    return executablePath.substr(0, at + 1);
}

std::string ExecutableDataFolder() {
    std::vector<char> buffer(PATH_MAX + 1);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) return {};
        if (static_cast<std::size_t>(n) < buffer.size())
            return DataFolderOf(std::string(buffer.data(), static_cast<std::size_t>(n)));
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace sapidoro
