#include "data/TextFile.h"

#include "scan/FileMapping.h"

#include <algorithm>
#include <cstring>

namespace sapidoro {

TextFile::TextFile(const std::string &path, std::size_t blockSize)
    : TextFile(OpenFileSource(path), blockSize) {}

TextFile::TextFile(std::unique_ptr<ByteSource> source, std::size_t blockSize)
    : m_source(std::move(source)), m_blockSize(std::max<std::size_t>(blockSize, 1)) {
    m_data = m_buffer.data();
}

TextFile::TextFile(std::shared_ptr<const FileMapping> mapping)
    : m_map(std::move(mapping)),
      m_blockSize(0),
      m_data(m_map->data()),
      m_end(m_map->size()),
      m_done(true) {}

TextFile::~TextFile() = default;

std::unique_ptr<TextFile> TextFile::MapOrOpen(const std::string &path) {
    if (std::shared_ptr<const FileMapping> mapping = FileMapping::Open(path))
        return std::unique_ptr<TextFile>(new TextFile(std::move(mapping)));
    return std::make_unique<TextFile>(path);
}

std::unique_ptr<TextFile> TextFile::InMapping(std::shared_ptr<const FileMapping> mapping,
                                              std::size_t offset) {
    auto file = std::unique_ptr<TextFile>(new TextFile(std::move(mapping)));
    file->m_pos = file->m_scan = std::min(offset, file->m_end);
    return file;
}

bool TextFile::fill() {
    if (m_done) return false;
    // The unconsumed bytes move to the front; a long line then only grows the buffer.
    if (m_pos > 0) {
        m_base += m_pos;
        std::memmove(m_buffer.data(), m_buffer.data() + m_pos, m_end - m_pos);
        m_end -= m_pos;
        m_scan -= m_pos;
        m_pos = 0;
    }
    if (m_buffer.size() < m_end + m_blockSize)
        m_buffer.resize(std::max(2 * m_buffer.size(), m_end + m_blockSize));
    m_data = m_buffer.data();
    const std::size_t got = m_source->read(m_buffer.data() + m_end, m_buffer.size() - m_end);
    m_end += got;
    m_done = got == 0;
    return !m_done;
}

void TextFile::endWhereShortened() {
    if (m_map && m_map->shortened()) m_end = std::max(m_pos, std::min(m_end, m_map->currentSize()));
}

bool TextFile::findCr() {
    const char *from = m_data + m_scan;
    const auto *cr = static_cast<const char *>(std::memchr(from, '\r', m_end - m_scan));
    std::size_t to = cr != nullptr ? static_cast<std::size_t>(cr - m_data) : m_end;
    if (const void *ctrlZ = std::memchr(from, 26, to - m_scan)) {
        m_end = static_cast<std::size_t>(static_cast<const char *>(ctrlZ) - m_data);
        m_done = true;
    }
    endWhereShortened();
    if (to >= m_end) {
        m_scan = m_end;
        return false;
    }
    m_scan = to;
    return true;
}

std::string_view TextFile::takeLine(std::size_t end) {
    const std::string_view line(m_data + m_pos, end - m_pos);
    m_pos = end < m_end ? end + 1 + (end + 1 < m_end && m_data[end + 1] == '\n') : m_end;
    m_scan = m_pos;
    return line;
}

bool TextFile::eof() {
    if (m_pos == m_end) fill();
    if (m_pos < m_end && m_data[m_pos] == 26) {
        m_end = m_pos;
        m_done = true;
    }
    endWhereShortened();
    return m_pos == m_end;
}

std::string_view TextFile::readLineView() {
    for (;;) {
        // A CR that ends the bytes at hand may still get its LF from the next read.
        if (findCr() && m_scan + 1 < m_end) return takeLine(m_scan);
        if (!fill()) return takeLine(m_scan);
    }
}

void TextFile::jumpTo(std::uint64_t to) {
    while (offset() < to) {
        if (m_pos == m_end && !fill()) break;
        m_pos += static_cast<std::size_t>(std::min<std::uint64_t>(m_end - m_pos, to - offset()));
        m_scan = m_pos;
    }
}

bool TextFile::skipPastLine(std::string_view marker) {
    while (!eof()) {
        if (readLineView() == marker) return true;
    }
    return false;
}

}  // namespace sapidoro
