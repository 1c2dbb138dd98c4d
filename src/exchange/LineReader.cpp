#include "exchange/LineReader.h"

#include "common/CheckedOpen.h"
#include "common/Exception.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace sapidoro {

namespace {

constexpr std::size_t kFirstBuffer = 64 * 1024;
constexpr std::size_t kSampleSize = 1 << 20;

// The first CR or LF in [at, end) of `bytes`, or `end`; words of eight bytes none of which is
// below 14 are passed over at once.
std::size_t SkipToLineEnd(const char *bytes, std::size_t at, std::size_t end) {
    while (at < end) {
        if (at + 8 <= end) {
            std::uint64_t word;
            std::memcpy(&word, bytes + at, 8);
            if (((word - 0x0E0E0E0E0E0E0E0Eu) & ~word & 0x8080808080808080u) == 0) {
                at += 8;
                continue;
            }
        }
        for (const std::size_t stop = std::min(at + 8, end); at < stop; ++at)
            if (bytes[at] == '\n' || bytes[at] == '\r') return at;
    }
    return end;
}

}  // namespace

LineReader::LineReader(const std::string &path, std::size_t maxLine) : m_maxLine(maxLine) {
    m_fd = OpenRegularFileInside(path, std::string(), m_size);
    if (m_fd < 0) throw EInOutError::fromErrno(errno);
    m_buffer.resize(kFirstBuffer);
}

LineReader::LineReader(std::string_view bytes, std::size_t maxLine)
    : m_memory(bytes), m_maxLine(maxLine) {
    m_size = bytes.size();
    m_buffer.resize(std::min(kFirstBuffer, bytes.size() + 1));
}

LineReader::~LineReader() {
    if (m_fd >= 0) ::close(m_fd);
}

bool LineReader::fill() {
    if (m_sourceDone) return false;
    if (m_begin > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_begin, m_end - m_begin);
        m_end -= m_begin;
        m_begin = 0;
    }
    // The buffer grows only while a line does not fit, up to twice the longest line.
    if (m_end == m_buffer.size()) {
        if (m_buffer.size() >= 2 * m_maxLine + 4096) return false;
        m_buffer.resize(std::min(2 * m_buffer.size(), 2 * m_maxLine + 4096));
    }
    const std::size_t room = m_buffer.size() - m_end;
    std::size_t got = 0;
    if (m_fd >= 0) {
        ssize_t n;
        do {
            n = ::read(m_fd, m_buffer.data() + m_end, room);
        } while (n < 0 && errno == EINTR);
        if (n < 0) throw EInOutError::fromErrno(errno);
        got = static_cast<std::size_t>(n);
    } else {
        got = std::min(room, m_memory.size());
        std::memcpy(m_buffer.data() + m_end, m_memory.data(), got);
        m_memory.remove_prefix(got);
    }
    if (got == 0) {
        m_sourceDone = true;
        return false;
    }
    // Byte 26 ended each DOS file; archives joined such files, so it only ends a line.
    char *const filled = m_buffer.data() + m_end;
    for (void *eof = std::memchr(filled, 26, got); eof != nullptr;
         eof = std::memchr(eof, 26,
                           got - static_cast<std::size_t>(static_cast<char *>(eof) - filled)))
        *static_cast<char *>(eof) = '\n';
    m_end += got;
    return true;
}

std::string_view LineReader::sample() {
    while (m_end - m_begin < kSampleSize && fill()) {
    }
    return {m_buffer.data() + m_begin, m_end - m_begin};
}

bool LineReader::next(std::string_view &line) {
    if (m_tooLong) return false;
    for (std::size_t searched = 0;;) {
        if (m_pendingCr && m_begin < m_end) {
            if (m_buffer[m_begin] == '\n') ++m_begin;
            m_pendingCr = false;
        }
        const char *start = m_buffer.data() + m_begin;
        const std::size_t available = m_end - m_begin;
        std::size_t at = SkipToLineEnd(start, searched, available);
        if (at < available) {
            line = {start, at};
            m_begin += at + 1;
            if (start[at] == '\r') m_pendingCr = true;
            ++m_lineNumber;
            return true;
        }
        if (available > m_maxLine) {
            m_tooLong = true;
            return false;
        }
        searched = available;
        if (m_pendingCr) searched = 0;
        if (!fill()) {
            if (m_end == m_begin) return false;
            line = {m_buffer.data() + m_begin, m_end - m_begin};
            m_begin = m_end;
            ++m_lineNumber;
            return true;
        }
    }
}

}  // namespace sapidoro
