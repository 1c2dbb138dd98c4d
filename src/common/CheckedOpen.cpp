#include "common/CheckedOpen.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

namespace sapidoro {

namespace {

// The absolute path with every link resolved, or empty with errno set.
std::string Resolved(const std::string &path) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                               &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

bool IsInside(const std::string &resolvedPath, const std::string &resolvedFolder) {
    if (resolvedFolder == "/") return resolvedPath.size() > 1;
    return resolvedPath.size() > resolvedFolder.size() + 1 &&
           resolvedPath.compare(0, resolvedFolder.size(), resolvedFolder) == 0 &&
           resolvedPath[resolvedFolder.size()] == '/';
}

// Whether the open file `opened` is the one reached through `path`, which lies in `folder`.
bool LiesInside(const std::string &path, const std::string &folder, const struct stat &opened) {
    const std::string resolvedFolder = Resolved(folder);
    const std::string resolvedPath = Resolved(path);
    if (resolvedFolder.empty() || resolvedPath.empty()) return false;
    struct stat there;
    if (::stat(resolvedPath.c_str(), &there) != 0) return false;
    return there.st_dev == opened.st_dev && there.st_ino == opened.st_ino &&
           IsInside(resolvedPath, resolvedFolder);
}

int Refuse(int fd) {
    if (fd >= 0) ::close(fd);
    errno = EACCES;
    return -1;
}

}  // namespace

int OpenRegularFileInside(const std::string &path, const std::string &folder, std::uint64_t &size) {
    // A look before opening keeps devices from being opened at all: opening some has effects.
    struct stat before;
    if (::stat(path.c_str(), &before) != 0) return -1;
    if (!S_ISREG(before.st_mode)) return Refuse(-1);
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return -1;
    struct stat opened;
    if (::fstat(fd, &opened) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    if (!S_ISREG(opened.st_mode)) return Refuse(fd);
    if (!folder.empty() && !LiesInside(path, folder, opened)) return Refuse(fd);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    size = static_cast<std::uint64_t>(opened.st_size);
    return fd;
}

std::string FolderOf(const std::string &path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

}  // namespace sapidoro
