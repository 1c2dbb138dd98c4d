#include "data/TextFile.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace sapidoro {

TextFile::TextFile(const std::string &path, std::size_t blockSize)
    : TextFile(OpenFileSource(path), blockSize) {}

TextFile::TextFile(std::unique_ptr<ByteSource> source, std::size_t blockSize)
    : m_source(std::move(source)), m_blockSize(std::max<std::size_t>(blockSize, 1)) {
    const std::string_view inPlace = m_source->mapped();
    if (!inPlace.empty()) {
        m_data = inPlace.data();
        m_inPlaceSize = inPlace.size();
    } else {
        m_buffer.resize(m_blockSize);
        m_data = m_buffer.data();
    }
}

bool TextFile::fill() {
    if (m_sourceDone) return false;
    std::size_t got;
    if (m_inPlaceSize > 0) {
        // The bytes are there already: take the next block into view.
        got = std::min(m_blockSize, m_inPlaceSize - m_end);
    } else {
        // Keep the unconsumed tail at the front, grow when a line outgrows the buffer.
        if (m_pos > 0) {
            std::memmove(m_buffer.data(), m_buffer.data() + m_pos, m_end - m_pos);
            m_consumedBefore += m_pos;
            m_end -= m_pos;
            m_pos = 0;
        }
        if (m_buffer.size() - m_end < m_blockSize) m_buffer.resize(m_end + m_blockSize);
        m_data = m_buffer.data();
        got = m_source->read(m_buffer.data() + m_end, m_blockSize);
    }
    if (got == 0) {
        m_sourceDone = true;
        return false;
    }
    // A Ctrl-Z ends the file: nothing from it onward is ever seen.
    if (const void *eofMark = std::memchr(m_data + m_end, 26, got)) {
        m_end = static_cast<std::size_t>(static_cast<const char *>(eofMark) - m_data);
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
        const char *base = m_data;
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
            base = m_data;
            const std::string_view line(base + m_pos, crAt - m_pos);
            m_pos = crAt + 1;
            if (m_pos < m_end && base[m_pos] == '\n') ++m_pos;
            return line;
        }
        const std::size_t scanned = m_end - m_pos;
        if (!fill()) {
            const std::string_view line(m_data + m_pos, m_end - m_pos);
            m_pos = m_end;
            return line;
        }
        scanFrom = m_pos + scanned;
    }
}

std::size_t TextFile::findLine(std::string_view marker, bool keep) {
    std::size_t scan = 0;  // offset from m_pos of the first byte not searched yet
    for (;;) {
        const char *base = m_data + m_pos;
        const std::size_t avail = m_end - m_pos;
        bool undecided = false;
        while (scan < avail) {
            const void *hit = std::memchr(base + scan, marker[0], avail - scan);
            if (!hit) {
                scan = avail;
                break;
            }
            const std::size_t at = static_cast<std::size_t>(static_cast<const char *>(hit) - base);
            // m_pos is a line start; a later line starts after a CR or after a CR's LF.
            const bool lineStart = at == 0 || base[at - 1] == '\r' ||
                                   (base[at - 1] == '\n' && at >= 2 && base[at - 2] == '\r');
            if (lineStart) {
                const std::size_t after = at + marker.size();
                // Deciding needs the byte after the marker and the LF that may follow it.
                if (!m_sourceDone && after + 1 >= avail) {
                    scan = at;
                    undecided = true;
                    break;
                }
                if (after <= avail && std::memcmp(base + at, marker.data(), marker.size()) == 0 &&
                    (after == avail || base[after] == '\r')) {
                    return at;
                }
            }
            scan = at + 1;
        }
        if (!undecided && m_sourceDone) return std::string_view::npos;
        if (!keep && avail >= 2) {
            // Let go of the lines searched already, so that the buffer stays one block.
            const std::size_t limit = std::min(scan, avail - 1);
            if (const void *cr = memrchr(base, '\r', limit)) {
                std::size_t next = static_cast<std::size_t>(static_cast<const char *>(cr) - base) + 1;
                if (base[next] == '\n') ++next;
                m_pos += next;
                scan = scan > next ? scan - next : 0;
            }
        }
        fill();
    }
}

namespace {

void CheckMarker(std::string_view marker) {
    if (marker.empty() || marker.find('\r') != std::string_view::npos) {
        throw std::invalid_argument("a line marker is not empty and holds no CR");
    }
}

}  // namespace

void TextFile::consumeMarkerLine(std::size_t at, std::size_t markerSize) {
    // The marker line was matched with its line end in view: no read is needed here.
    m_pos += at + markerSize;
    if (m_pos < m_end && m_data[m_pos] == '\r') {
        ++m_pos;
        if (m_pos < m_end && m_data[m_pos] == '\n') ++m_pos;
    }
}

bool TextFile::skipPastLine(std::string_view marker) {
    CheckMarker(marker);
    const std::size_t at = findLine(marker, false);
    if (at == std::string_view::npos) {
        m_pos = m_end;
        return false;
    }
    consumeMarkerLine(at, marker.size());
    return true;
}

std::string_view TextFile::readUntilLine(std::string_view marker, bool &found) {
    CheckMarker(marker);
    const std::size_t at = findLine(marker, true);
    found = at != std::string_view::npos;
    const std::string_view before(m_data + m_pos, found ? at : m_end - m_pos);
    if (found) {
        consumeMarkerLine(at, marker.size());
    } else {
        m_pos = m_end;
    }
    return before;
}

}  // namespace sapidoro
