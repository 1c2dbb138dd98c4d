#include "scan/IndexedTextFile.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace sapidoro {

namespace {

// Zeroed bytes kept behind the buffered ones: the index reads whole 64-byte chunks and a
// few bytes beyond for the patterns.
constexpr std::size_t kPadding = 128;
constexpr std::size_t kChunk = 64;
// The first read of a file; the reads double from there up to the block size, so that a file
// of a few lines never costs a buffer of a whole block.
constexpr std::size_t kFirstRead = 16 * 1024;

thread_local detail::MappedReadHook t_mappedReadHook = nullptr;
thread_local void *t_mappedReadContext = nullptr;

void CheckMarker(std::string_view marker) {
    if (marker.empty() || marker.find('\r') != std::string_view::npos) {
        throw std::invalid_argument("a line marker is not empty and holds no CR");
    }
}

}  // namespace

IndexedTextFile::IndexedTextFile(const std::string &path, std::size_t blockSize)
    : IndexedTextFile(OpenFileSource(path), blockSize) {}

IndexedTextFile::IndexedTextFile(std::unique_ptr<ByteSource> source, std::size_t blockSize)
    : m_source(std::move(source)),
      m_blockSize(std::max<std::size_t>(blockSize, 1)),
      m_readSize(std::min(m_blockSize, kFirstRead)) {
    reserveWindow(2 * m_readSize + kPadding);
}

IndexedTextFile::IndexedTextFile(std::shared_ptr<const FileMapping> mapping, std::size_t blockSize)
    : m_map(std::move(mapping)),
      m_blockSize(std::max<std::size_t>(blockSize, 1)),
      m_readSize(m_blockSize) {
    // The window moves by whole chunks, so that its bytes line up with the bitmaps.
    m_blockSize = m_readSize = std::max(kChunk, m_blockSize & ~(kChunk - 1));
    reserveWindow(2 * m_blockSize + kPadding);
    m_data = m_map->data();
}

std::unique_ptr<IndexedTextFile> IndexedTextFile::MapOrOpen(const std::string &path,
                                                            std::size_t blockSize) {
    if (std::unique_ptr<FileMapping> mapping = FileMapping::Open(path))
        return std::unique_ptr<IndexedTextFile>(new IndexedTextFile(std::move(mapping), blockSize));
    return std::make_unique<IndexedTextFile>(path, blockSize);
}

std::unique_ptr<IndexedTextFile> IndexedTextFile::Over(std::shared_ptr<const FileMapping> mapping,
                                                       std::size_t blockSize) {
    return std::unique_ptr<IndexedTextFile>(new IndexedTextFile(std::move(mapping), blockSize));
}

void IndexedTextFile::reserveWindow(std::size_t bytes) {
    if (!m_map && m_buffer.size() < bytes) {
        m_buffer.resize(std::max(2 * m_buffer.size(), bytes));
        m_data = m_buffer.data();
    }
    const std::size_t words = std::max(bytes, m_buffer.size()) / kChunk + 2;
    if (m_crBits.size() >= words) return;
    if (!m_map) {
        for (auto *bitmap : {&m_crBits, &m_markerBits, &m_prefixBits}) {
            bitmap->resize(std::max(2 * bitmap->size(), words));
        }
        return;
    }
    // Over a mapping the window outgrows its blocks only for a long line, which may run to
    // the file's end: room is made eight times over (at most for the rest of the file), so
    // that the bitmaps are seldom copied, and only the words needed are cleared.
    const std::size_t rest = (m_map->size() - m_base + kPadding) / kChunk + 2;
    const std::size_t room = std::max(words, std::min(8 * m_crBits.capacity(), rest));
    for (auto *bitmap : {&m_crBits, &m_markerBits, &m_prefixBits}) {
        if (bitmap->capacity() < words) bitmap->reserve(room);
        bitmap->resize(words);
    }
}

void IndexedTextFile::dropConsumed() {
    const std::size_t shift = m_pos & ~(kChunk - 1);
    if (shift == 0) return;
    const std::size_t words = shift / kChunk;
    m_base += shift;
    if (m_map) {
        m_data += shift;
    } else {
        std::memmove(m_buffer.data(), m_buffer.data() + shift, m_end - shift);
    }
    if (m_wordEnd > words) {
        for (auto *bitmap : {&m_crBits, &m_markerBits, &m_prefixBits}) {
            std::memmove(bitmap->data(), bitmap->data() + words,
                         (m_wordEnd - words) * sizeof(std::uint64_t));
        }
    }
    m_indexed = std::max(m_indexed, shift) - shift;
    m_pos -= shift;
    m_end -= shift;
    m_wordEnd = (m_end + kChunk - 1) / kChunk;
    m_crBits[m_wordEnd] = m_markerBits[m_wordEnd] = m_prefixBits[m_wordEnd] = 0;
}

void IndexedTextFile::jumpTo(std::uint64_t to) {
    if (!m_map || to <= m_base + m_end) {
        while (offset() < to) {
            std::size_t end;
            const std::size_t next = lineAfter(0, end);
            if (next == 0) break;  // the end of the file
            advance(std::min<std::uint64_t>(next, to - offset()));
        }
        return;
    }
    // The window starts afresh at the chunk that holds the target; nothing before it is read.
    const std::uint64_t chunk = std::min<std::uint64_t>(to, m_map->size()) & ~(kChunk - 1);
    m_data = m_map->data() + chunk;
    m_base = chunk;
    m_pos = m_end = static_cast<std::size_t>(std::min<std::uint64_t>(to, m_map->size()) - chunk);
    m_indexed = 0;
    m_wordEnd = 0;
    m_crBits[0] = m_markerBits[0] = m_prefixBits[0] = 0;
}

bool IndexedTextFile::readMore() {
    if (m_sourceDone) return false;
    dropConsumed();
    if (m_map) return readMoreMapped();
    // A line longer than the buffer, or a larger read, makes it grow.
    reserveWindow(m_end + m_readSize + kPadding);
    const std::size_t got = m_source->read(m_buffer.data() + m_end, m_readSize);
    m_readSize = std::min(2 * m_readSize, m_blockSize);
    if (got == 0) {
        m_sourceDone = true;
        return false;
    }
    const std::size_t before = m_end;
    m_end += got;
    index();
    return m_end > before;
}

bool IndexedTextFile::readMoreUntil(std::size_t want) {
    while (m_end - m_pos < want) {
        if (!readMore()) return false;
    }
    return true;
}

bool IndexedTextFile::readMoreMapped() {
    if (t_mappedReadHook) t_mappedReadHook(t_mappedReadContext, m_mappedReads);
    ++m_mappedReads;
    // The index reads a whole chunk at the window's end and kPadding bytes beyond: the zeros
    // after the mapped file serve for those, so the last line is read in place too.
    const std::size_t size = m_map->size();
    if (m_map->shortened()) return copyTail(m_map->currentSize());
    const std::size_t endAt = m_base + m_end;
    if (endAt >= size) {
        m_sourceDone = true;
        return false;
    }
    const std::size_t grow = std::min(m_blockSize, size - endAt);
    reserveWindow(m_end + grow + kPadding);
    const std::size_t before = m_end;
    m_end += grow;
    index();
    // The index touched every new byte: a fault there means the file was shortened.
    if (m_map->shortened()) copyTail(m_map->currentSize());
    return m_end > before;
}

bool IndexedTextFile::copyTail(std::size_t fileEnd) {
    // What the window holds of the file up to `fileEnd` (never less than what the readers
    // consumed) goes to the buffer, which ends it with zeros.
    const std::size_t before = m_end;
    const std::size_t end =
        std::max(m_pos, std::min(fileEnd > m_base ? fileEnd - m_base : 0, m_map->size() - m_base));
    m_shortened = m_map->shortened() || fileEnd < m_map->size();
    m_buffer.assign(std::max(end, before) + kPadding, 0);
    std::memcpy(m_buffer.data(), m_data, end);
    m_shortened = m_shortened || m_map->shortened();
    m_map.reset();
    m_data = m_buffer.data();
    reserveWindow(m_buffer.size());
    m_end = end;
    // Chunks past a shortened end are indexed again from the buffer's zeros.
    m_indexed = std::min(m_indexed, m_end & ~(kChunk - 1));
    index();
    m_sourceDone = true;
    return m_end > before;
}

void IndexedTextFile::index() {
    if (!m_map) std::memset(m_buffer.data() + m_end, 0, kPadding);
    const LineBitmaps bitmaps{m_crBits.data(), m_markers[0].empty() ? nullptr : m_markerBits.data(),
                              m_watchPrefix ? m_prefixBits.data() : nullptr};
    const std::size_t ctrlZ = IndexLines(m_data, m_indexed, m_end, bitmaps, m_patterns);
    if (ctrlZ < m_end) {
        // A Ctrl-Z ends the file: nothing from it onward is ever seen.
        m_end = ctrlZ;
        m_sourceDone = true;
        if (!m_map) std::memset(m_buffer.data() + m_end, 0, kPadding);
    }
    m_wordEnd = (m_end + kChunk - 1) / kChunk;
    // Searches may look one word further; nothing is found there.
    m_crBits[m_wordEnd] = m_markerBits[m_wordEnd] = m_prefixBits[m_wordEnd] = 0;
    // The chunk whose pattern bits still wait for bytes of the next block is redone.
    m_indexed = m_end >= kMaxPrefix - 1 ? (m_end - (kMaxPrefix - 1)) & ~(kChunk - 1) : 0;
}

void IndexedTextFile::reindex() {
    m_indexed = m_pos & ~(kChunk - 1);
    if (m_end > m_indexed) index();
}

void IndexedTextFile::watchMarkers(std::string_view first, std::string_view second) {
    // A marker's place is known by its first two bytes; one that no line can equal (it holds
    // a CR) is left to `skipPastLine`, which refuses it.
    const auto usable = [](std::string_view m) {
        return m.size() >= 2 && m.find('\r') == std::string_view::npos;
    };
    if (!usable(first)) std::swap(first, second);
    if (!usable(second)) second = usable(first) ? first : std::string_view();
    m_markers[0] = std::string(usable(first) ? first : std::string_view());
    m_markers[1] = std::string(second);
    for (std::size_t i = 0; i < 2; ++i) {
        for (std::size_t j = 0; j < 2 && j < m_markers[i].size(); ++j) {
            m_patterns.markers[i][j] = static_cast<unsigned char>(m_markers[i][j]);
        }
    }
    reindex();
}

void IndexedTextFile::watchPrefix(std::string_view text, bool foldLetters) {
    m_watchPrefix = !text.empty();
    m_patterns.prefix = MakePrefixPattern(text, foldLetters);
    reindex();
}

std::size_t IndexedTextFile::lineAfterSlow(std::size_t from, std::size_t &lineEnd) {
    std::size_t scan = from;  // offset of the first byte not searched for a CR yet
    for (;;) {
        const std::size_t cr = findCr(m_pos + scan);
        if (cr < m_end) {
            const std::size_t crAt = cr - m_pos;
            if (cr + 1 < m_end) {
                lineEnd = crAt;
                return crAt + 1 + (m_data[cr + 1] == '\n');
            }
            // The LF that may belong to this line end can come with the next block.
            if (!readMore()) {
                if (crAt < m_end - m_pos) {
                    lineEnd = crAt;
                    return crAt + 1;
                }
                // The file was seen shortened below the CR: the line ends with the file.
                lineEnd = std::max(from, m_end - m_pos);
                return lineEnd;
            }
            scan = crAt;
            continue;
        }
        const std::size_t searched = m_end - m_pos;
        if (!readMore()) {
            // A file seen shortened may now end below what was searched, even below `from`,
            // a line start found before: the line ends with the file, never before it starts.
            lineEnd = std::max(from, std::min(searched, m_end - m_pos));
            return lineEnd;
        }
        scan = searched;
    }
}

bool IndexedTextFile::markerAt(std::size_t at, std::string_view marker) {
    for (;;) {
        const std::size_t avail = m_end - m_pos;
        const std::size_t after = at + marker.size();
        if (after < avail) {
            return m_data[m_pos + after] == '\r' &&
                   std::memcmp(m_data + m_pos + at, marker.data(), marker.size()) == 0;
        }
        if (m_sourceDone) {
            return after == avail &&
                   std::memcmp(m_data + m_pos + at, marker.data(), marker.size()) == 0;
        }
        readMore();  // when nothing more comes, the file is known to end here
    }
}

namespace {

// The last set bit in [from, to) of a bitmap, or npos.
std::size_t LastBit(const std::vector<std::uint64_t> &bitmap, std::size_t from, std::size_t to) {
    if (to <= from) return IndexedTextFile::npos;
    std::size_t word = (to - 1) >> 6;
    std::uint64_t bits = bitmap[word] & (~std::uint64_t{0} >> (63 - ((to - 1) & 63)));
    const std::size_t firstWord = from >> 6;
    for (;;) {
        if (word == firstWord) bits &= ~std::uint64_t{0} << (from & 63);
        if (bits != 0) return (word << 6) + 63 - static_cast<std::size_t>(__builtin_clzll(bits));
        if (word == firstWord) return IndexedTextFile::npos;
        bits = bitmap[--word];
    }
}

}  // namespace

std::size_t IndexedTextFile::lastLineStart(std::size_t lineStart, std::size_t limit) const {
    // A CR at most three bytes below the limit starts its next line below the limit, LF or
    // not, and that byte is buffered.
    const std::size_t to = std::min(limit, m_end);
    if (to < lineStart + 3) return lineStart;
    const std::size_t cr = LastBit(m_crBits, lineStart, to - 2);
    return cr == npos ? lineStart : cr + 1 + (m_data[cr + 1] == '\n');
}

std::size_t IndexedTextFile::lineStartOf(std::size_t at, std::size_t floor) const {
    const std::size_t cr = LastBit(m_crBits, m_pos + floor, m_pos + at);
    return cr == npos ? floor : cr + 1 + (m_data[cr + 1] == '\n') - m_pos;
}

std::size_t IndexedTextFile::findLine(std::string_view marker) {
    // A watched marker's lines are found by the places where it may start; the lines between
    // them are passed over without a look.
    const bool jump = isWatched(marker);
    std::size_t line = 0;     // offset of the line start at hand
    std::size_t clearTo = 0;  // no line starting before this offset is the marker
    for (;;) {
        if (line > 0) {
            m_pos += line;
            clearTo = clearTo > line ? clearTo - line : 0;
            line = 0;
        }
        if (m_pos + line == m_end && !readMore()) return npos;
        bool candidate;
        if (!jump) {
            // While the lines are buffered, one line end leads to the next by the bitmap.
            std::size_t cr = crAfter(line);
            while (cr != npos &&
                   !(cr - line == marker.size() && m_data[m_pos + line] == marker[0] &&
                     std::memcmp(m_data + m_pos + line, marker.data(), marker.size()) == 0)) {
                const std::size_t nextCr = crAfter(cr + 1);
                line = cr + 1 + (m_data[m_pos + cr + 1] == '\n');
                cr = nextCr;
            }
            if (cr != npos) return line;
            if (line > 0) continue;  // consume what was passed, then go on
            // The walk may have stopped at the buffered end: the line's first byte is then
            // still to come, and `markerAt` reads it.
            candidate = m_pos + line == m_end || m_data[m_pos + line] == marker[0];
        } else if (line < clearTo) {
            candidate = false;
        } else {
            // A place's bit is final when the byte after it is buffered.
            if (!m_sourceDone && m_pos + line + 1 >= m_end) {
                readMore();
                continue;
            }
            const std::size_t limit = m_sourceDone ? m_end : m_end - 1;
            std::size_t at = m_pos + line;
            for (;;) {
                at = findBit(m_markerBits, at, limit);
                if (at >= limit || lineStartsAt(at, m_pos + line)) break;
                ++at;
            }
            if (at >= limit) {
                // Go straight to the last line that starts below the limit.
                clearTo = limit - m_pos;
                line = lastLineStart(m_pos + line, limit) - m_pos;
                candidate = false;
            } else {
                line = at - m_pos;
                clearTo = line + 1;
                candidate = true;
            }
        }
        if (candidate && markerAt(line, marker)) return line;
        // The lines passed over need not stay buffered while the next one is read.
        m_pos += line;
        clearTo = clearTo > line ? clearTo - line : 0;
        line = 0;
        std::size_t end;
        const std::size_t next = lineAfter(line, end);
        if (next == line) return npos;  // the end of the file
        line = next;
    }
}

bool IndexedTextFile::skipPastLineSlow(std::string_view marker) {
    CheckMarker(marker);
    const std::size_t at = findLine(marker);
    if (at == npos) {
        m_pos = m_end;
        return false;
    }
    std::size_t end;
    m_pos += lineAfter(at, end);
    return true;
}

namespace detail {
void SetMappedReadHook(MappedReadHook hook, void *context) {
    t_mappedReadHook = hook;
    t_mappedReadContext = context;
}
}  // namespace detail

}  // namespace sapidoro
