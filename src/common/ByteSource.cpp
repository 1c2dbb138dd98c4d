#include "common/ByteSource.h"

#include "common/CheckedOpen.h"
#include "common/Exception.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace sapidoro {

namespace {

// Serves the file as it was when opened: bytes appended later are not read, so that no
// reader grows past the size the file had.
class FileSource final : public ByteSource {
public:
    FileSource(int fd, std::uint64_t size) : m_fd(fd), m_left(size) {}
    ~FileSource() override { ::close(m_fd); }
    FileSource(const FileSource &) = delete;
    FileSource &operator=(const FileSource &) = delete;

    std::size_t read(char *buffer, std::size_t capacity) override {
        const std::size_t wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(capacity, m_left));
        if (wanted == 0) return 0;
        for (;;) {
            const ssize_t got = ::read(m_fd, buffer, wanted);
            if (got >= 0) {
                m_left -= static_cast<std::uint64_t>(got);
                return static_cast<std::size_t>(got);
            }
            if (errno != EINTR) throw EInOutError::fromErrno(errno);
        }
    }

private:
    int m_fd;
    std::uint64_t m_left;  // bytes of the opened size not read yet
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
    return OpenFileSourceFrom(path, 0);
}

std::unique_ptr<ByteSource> OpenFileSourceFrom(const std::string &path, std::uint64_t offset) {
    if (path.empty()) throw EInOutError("File not found", ENOENT);
    if (path.find('\0') != std::string::npos) throw EInOutError("Invalid filename", EINVAL);
    std::uint64_t size = 0;
    const int fd = OpenRegularFileInside(path, FolderOf(path), size);
    if (fd < 0) throw EInOutError::fromErrno(errno);
    // The readers go from the first byte to the last: let the kernel read ahead further.
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    offset = std::min(offset, size);
    if (offset > 0 && ::lseek(fd, static_cast<off_t>(offset), SEEK_SET) < 0) {
        const int error = errno;
        ::close(fd);
        throw EInOutError::fromErrno(error);
    }
    return std::make_unique<FileSource>(fd, size - offset);
}

std::unique_ptr<ByteSource> MakeMemorySource(std::string bytes, std::size_t maxRead) {
    return std::make_unique<MemorySource>(std::move(bytes), maxRead);
}

}  // namespace sapidoro
