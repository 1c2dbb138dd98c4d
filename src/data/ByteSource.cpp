#include "data/ByteSource.h"

#include "common/Exception.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace sapidoro {

namespace {

class FileSource final : public ByteSource {
public:
    explicit FileSource(int fd) : m_fd(fd) {
        // A regular file is read in place: no copy into a buffer, no read call per block.
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) return;
        const auto size = static_cast<std::size_t>(st.st_size);
        void *map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (map == MAP_FAILED) return;
        m_map = static_cast<const char *>(map);
        m_mapSize = size;
    }
    ~FileSource() override {
        if (m_map) ::munmap(const_cast<char *>(m_map), m_mapSize);
        ::close(m_fd);
    }
    FileSource(const FileSource &) = delete;
    FileSource &operator=(const FileSource &) = delete;

    std::size_t read(char *buffer, std::size_t capacity) override {
        for (;;) {
            const ssize_t got = ::read(m_fd, buffer, capacity);
            if (got >= 0) return static_cast<std::size_t>(got);
            if (errno != EINTR) throw EInOutError::fromErrno(errno);
        }
    }

    std::string_view mapped() override { return {m_map, m_mapSize}; }

private:
    int m_fd;
    const char *m_map = nullptr;
    std::size_t m_mapSize = 0;
};

class MemorySource final : public ByteSource {
public:
    MemorySource(std::string bytes, bool inPlace) : m_bytes(std::move(bytes)), m_inPlace(inPlace) {}

    std::size_t read(char *buffer, std::size_t capacity) override {
        const std::size_t n = std::min(capacity, m_bytes.size() - m_pos);
        std::memcpy(buffer, m_bytes.data() + m_pos, n);
        m_pos += n;
        return n;
    }

    std::string_view mapped() override { return m_inPlace ? m_bytes : std::string_view(); }

private:
    std::string m_bytes;
    bool m_inPlace;
    std::size_t m_pos = 0;
};

}  // namespace

std::unique_ptr<ByteSource> OpenFileSource(const std::string &path) {
    if (path.empty()) throw EInOutError("File not found", ENOENT);
    if (path.find('\0') != std::string::npos) throw EInOutError("Invalid filename", EINVAL);
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) throw EInOutError::fromErrno(errno);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return std::make_unique<FileSource>(fd);
}

std::unique_ptr<ByteSource> MakeMemorySource(std::string bytes, bool inPlace) {
    return std::make_unique<MemorySource>(std::move(bytes), inPlace);
}

}  // namespace sapidoro
