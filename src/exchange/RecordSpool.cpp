#include "exchange/RecordSpool.h"

#include "common/Exception.h"
#include "writer/RecordCodec.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace sapidoro {

namespace {

constexpr std::size_t kSpoolBlock = 1 << 20;

[[noreturn]] void Failed(int error) {
    throw EInOutError("Le ricette lette non si possono tenere nella cartella temporanea (" +
                          std::string(std::strerror(error)) + ").",
                      error);
}

int OpenUnnamedFile() {
    const char *tmp = std::getenv("TMPDIR");
    const std::string folder = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) return fd;
    // Where the file system has no unnamed files, a named one is unlinked at once.
    std::string pattern = folder + "/sapidoro-import-XXXXXX";
    fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) Failed(errno);
    ::unlink(pattern.c_str());
    return fd;
}

}  // namespace

RecordSpool::RecordSpool() : m_fd(OpenUnnamedFile()) {
    m_pending.reserve(kSpoolBlock + (64 << 10));
}

RecordSpool::~RecordSpool() {
    ::close(m_fd);
}

SpooledRecord RecordSpool::add(const RecipeFields &recipe) {
    const std::size_t start = m_pending.size();
    AppendEncodedRecord(m_pending, recipe);
    const SpooledRecord record{m_written + start, m_pending.size() - start};
    if (m_pending.size() >= kSpoolBlock) flush();
    return record;
}

void RecordSpool::flush() {
    std::string_view bytes = m_pending;
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(m_fd, bytes.data(), bytes.size(), static_cast<off_t>(m_written));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) Failed(n < 0 ? errno : EIO);
        bytes.remove_prefix(static_cast<std::size_t>(n));
        m_written += static_cast<std::uint64_t>(n);
    }
    m_pending.clear();
}

std::string_view RecordSpool::read(const SpooledRecord &record) {
    if (!m_pending.empty()) flush();
    if (record.at < m_windowAt || record.at + record.size > m_windowAt + m_window.size()) {
        // The window moves on to this record and as much after it as a block holds.
        m_windowAt = record.at;
        const std::uint64_t wanted =
            std::min<std::uint64_t>(std::max<std::uint64_t>(record.size, kSpoolBlock),
                                    m_written - std::min(m_written, record.at));
        m_window.resize(static_cast<std::size_t>(wanted));
        std::size_t got = 0;
        while (got < m_window.size()) {
            const ssize_t n = ::pread(m_fd, m_window.data() + got, m_window.size() - got,
                                      static_cast<off_t>(m_windowAt + got));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        m_window.resize(got);
        if (got < record.size) Failed(EIO);
    }
    return std::string_view(m_window).substr(static_cast<std::size_t>(record.at - m_windowAt),
                                             static_cast<std::size_t>(record.size));
}

}  // namespace sapidoro
