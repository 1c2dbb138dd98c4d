#include "cache/NameCache.h"

#include "cache/NameCacheCodec.h"
#include "common/UserFolders.h"
#include "search/NameCatalog.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>

namespace sapidoro {

std::int64_t NameCacheClock() {
    struct timespec now;
    if (::clock_gettime(CLOCK_REALTIME, &now) != 0) return 0;
    return now.tv_sec;
}

namespace {

// A file changed within the clock's tick of the walk could change again unseen; its change
// time tells, as its modification time may be set back.
bool SettledWhenWalked(const FileIdentity &id, std::int64_t walkedAt) {
    return walkedAt - std::max(id.modifiedSeconds, id.changedSeconds) >=
           RecordTable::kSettledSeconds;
}

std::string FolderOf(const std::string &path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Replaces `path` whole with `bytes`: a reader finds the old cache, the new one, or none.
bool ReplaceAtomically(const std::string &path, std::string_view bytes) {
    const std::string folder = FolderOf(path);
    if (!QDir().mkpath(QFile::decodeName(QByteArray::fromStdString(folder)))) return false;
    std::string temp = folder + "/.names-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool done = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    done = ::close(fd) == 0 && done;
    done = done && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!done) {
        ::unlink(temp.c_str());
        return false;
    }
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

}  // namespace

std::string NameCachePath(const std::string &dataFolder) {
    std::string folder = dataFolder;
    if (char *real = ::realpath(dataFolder.c_str(), nullptr)) {
        folder = real;
        ::free(real);
    }
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    // The last name, kept readable and short, tells the folders apart for a person.
    std::string tail = folder.substr(folder.rfind('/') + 1);
    if (tail.size() > 32) tail.resize(32);
    for (char &c : tail) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
        if (!plain) c = '_';
    }
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx",
                  static_cast<unsigned long long>(NameCacheCodec::Checksum(folder, 0xF01D)));
    return QFile::encodeName(UserCacheFolder()).toStdString() + '/' + hash + '-' + tail +
           "/names.cache";
}

std::unique_ptr<NameCatalog> ReadNameCache(const std::string &cachePath,
                                           const std::string &recipeFile) {
    try {
        // A link or anything but a plain file in its place is not read.
        const int fd = ::open(cachePath.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return nullptr;
        struct stat info;
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            ::close(fd);
            return nullptr;
        }
        const std::shared_ptr<const FileMapping> cacheMap = FileMapping::OverDescriptor(fd);
        if (cacheMap == nullptr) return nullptr;
        const std::string_view cache(cacheMap->data(), cacheMap->size());
        const auto source = NameCacheCodec::SourceOf(cache);
        if (!source || !SettledWhenWalked(source->identity, source->walkedSeconds)) return nullptr;
        std::shared_ptr<const FileMapping> file = FileMapping::Open(recipeFile);
        if (file == nullptr || !(file->identity() == source->identity) ||
            NameCacheCodec::EdgeChecksum({file->data(), file->size()}) != source->edgeChecksum)
            return nullptr;
        auto catalog = NameCacheCodec::Decode(cache, file);
        // Either file shortened meanwhile read zeros somewhere.
        if (cacheMap->shortened() || file->shortened()) return nullptr;
        return catalog;
    } catch (...) {
        return nullptr;
    }
}

bool WriteNameCache(const std::string &cachePath, const std::string &recipeFile,
                    NameCatalog &catalog, std::int64_t walkedAt) {
    try {
        const std::shared_ptr<const FileMapping> file = catalog.records().mappingOf(recipeFile);
        if (file == nullptr) return false;
        NameCacheCodec::Source source;
        source.identity = file->identity();
        source.walkedSeconds = walkedAt;
        if (!SettledWhenWalked(source.identity, walkedAt)) return false;
        source.edgeChecksum = NameCacheCodec::EdgeChecksum({file->data(), file->size()});
        const std::string bytes = NameCacheCodec::Encode(catalog, source);
        // A cache as large as half the file would save too little to be worth its room.
        if (bytes.empty() || bytes.size() > source.identity.size / 2) return false;
        if (catalog.records().mappingOf(recipeFile) == nullptr) return false;
        return ReplaceAtomically(cachePath, bytes);
    } catch (...) {
        return false;
    }
}

}  // namespace sapidoro
