#include "data/ByteSource.h"

#include "common/Exception.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace sapidoro {

namespace {

class FileSource final : public ByteSource {
public:
    explicit FileSource(int fd) : m_fd(fd) {}
    ~FileSource() override { ::close(m_fd); }
    FileSource(const FileSource &) = delete;
    FileSource &operator=(const FileSource &) = delete;

    std::size_t read(char *buffer, std::size_t capacity) override {
        for (;;) {
            const ssize_t got = ::read(m_fd, buffer, capacity);
            if (got >= 0) return static_cast<std::size_t>(got);
            if (errno != EINTR) throw EInOutError::fromErrno(errno);
        }
    }

private:
    int m_fd;
};

class MemorySource final : public ByteSource {
public:
    MemorySource(std::string bytes, std::size_t maxRead)
        : m_bytes(std::move(bytes)), m_maxRead(std::max<std::size_t>(maxRead, 1)) {}

    std::size_t read(char *buffer, std::size_t capacity) override {
        const std::size_t n = std::min({capacity, m_maxRead, m_bytes.size() - m_pos});
        std::memcpy(buffer, m_bytes.data() + m_pos, n);
        m_pos += n;
        return n;
    }

private:
    std::string m_bytes;
    std::size_t m_maxRead;
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
    // The readers go from the first byte to the last: let the kernel read ahead further.
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return std::make_unique<FileSource>(fd);
}

std::unique_ptr<ByteSource> MakeMemorySource(std::string bytes, std::size_t maxRead) {
    return std::make_unique<MemorySource>(std::move(bytes), maxRead);
}

}  // namespace sapidoro
