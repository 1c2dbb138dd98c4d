#include "data/TextFile.h"

#include <algorithm>
#include <cstring>

namespace sapidoro {

TextFile::TextFile(const std::string &path, std::size_t blockSize)
    : TextFile(OpenFileSource(path), blockSize) {}

TextFile::TextFile(std::unique_ptr<ByteSource> source, std::size_t blockSize)
    : m_source(std::move(source)), m_blockSize(std::max<std::size_t>(blockSize, 1)) {
    m_buffer.resize(m_blockSize);
}

bool TextFile::fill() {
    if (m_sourceDone) return false;
    // Keep the unconsumed tail at the front, grow when a line outgrows the buffer.
    if (m_pos > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_pos, m_end - m_pos);
        m_consumedBefore += m_pos;
        m_end -= m_pos;
        m_pos = 0;
    }
    if (m_buffer.size() - m_end < m_blockSize) m_buffer.resize(m_end + m_blockSize);
    const std::size_t got = m_source->read(m_buffer.data() + m_end, m_blockSize);
    if (got == 0) {
        m_sourceDone = true;
        return false;
    }
    // A Ctrl-Z ends the file: nothing from it onward is ever seen.
    if (const void *eofMark = std::memchr(m_buffer.data() + m_end, 26, got)) {
        m_end = static_cast<std::size_t>(static_cast<const char *>(eofMark) - m_buffer.data());
        m_sourceDone = true;
        return true;
    }
    m_end += got;
    return true;
}

bool TextFile::eof() {
    while (m_pos == m_end) {
        if (!fill()) return true;
    }
    return false;
}

std::string_view TextFile::readLineView() {
    std::size_t scanFrom = m_pos;
    for (;;) {
        const char *base = m_buffer.data();
        if (const void *cr = std::memchr(base + scanFrom, '\r', m_end - scanFrom)) {
            std::size_t crAt = static_cast<std::size_t>(static_cast<const char *>(cr) - base);
            // The LF that may belong to this line end can sit in the next block.
            if (crAt + 1 == m_end) {
                const std::size_t offset = crAt - m_pos;
                const bool more = fill();  // may move the unconsumed bytes to the front
                crAt = m_pos + offset;
                if (more) {
                    scanFrom = crAt;
                    continue;
                }
            }
            base = m_buffer.data();
            const std::string_view line(base + m_pos, crAt - m_pos);
            m_pos = crAt + 1;
            if (m_pos < m_end && base[m_pos] == '\n') ++m_pos;
            return line;
        }
        const std::size_t scanned = m_end - m_pos;
        if (!fill()) {
            const std::string_view line(m_buffer.data() + m_pos, m_end - m_pos);
            m_pos = m_end;
            return line;
        }
        scanFrom = m_pos + scanned;
    }
}

}  // namespace sapidoro
