#pragma once

#include "common/ByteSource.h"
#include "scan/FileMapping.h"
#include "scan/LineIndex.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sapidoro {

// The reader of the record walks (the start-up listing and the searches that the record
// table cannot serve): the same lines as the plain `TextFile`, read in large blocks into one
// reused buffer or in place from a mapping (the first reads are smaller, so that a short file
// takes little memory). Each block is indexed once as it arrives: a bitmap of its CR bytes,
// so that lines are found by position without searching the bytes again, and optionally
// bitmaps of the places where a watched line marker or a search string may start, so that a
// reader can jump over lines that cannot hold them.
class IndexedTextFile {
public:
    static constexpr std::size_t kDefaultBlockSize = 512 * 1024;
    static constexpr std::size_t npos = std::string_view::npos;

    // Opens `path`; throws EInOutError ("File not found", ...) when it cannot be opened.
    explicit IndexedTextFile(const std::string &path, std::size_t blockSize = kDefaultBlockSize);
    explicit IndexedTextFile(std::unique_ptr<ByteSource> source,
                             std::size_t blockSize = kDefaultBlockSize);

    // Maps `path` when it is a regular file, so that its bytes are read in place; anything
    // else is read like the constructor above does. The lines read are the same.
    static std::unique_ptr<IndexedTextFile> MapOrOpen(const std::string &path,
                                                      std::size_t blockSize = kDefaultBlockSize);

    // True once the mapped file was seen shortened by another program; the reader then ends
    // where the file now ends.
    bool shortened() const { return m_shortened || (m_map && m_map->shortened()); }
    // False when bytes up to offset `to` from the current position may have read as zeros:
    // the mapped file was shortened and no longer reaches that far.
    bool intact(std::size_t to) const {
        return !m_map || !m_map->shortened() || m_base + m_pos + to <= m_map->currentSize();
    }

    // The file offset of the next byte to read.
    std::uint64_t offset() const { return m_base + m_pos; }
    // Reads a file through a mapping kept from an earlier read of it.
    static std::unique_ptr<IndexedTextFile> Over(std::shared_ptr<const FileMapping> mapping,
                                                 std::size_t blockSize = kDefaultBlockSize);

    // The mapping the file is read through; null on the plain road, and once a shortened
    // file's last bytes are read from a copy.
    const FileMapping *mapping() const { return m_map.get(); }
    std::shared_ptr<const FileMapping> sharedMapping() const { return m_map; }
    // Goes on at file offset `to`, a line start at or after `offset()`, passing over the bytes
    // between without reading them when the file is mapped.
    void jumpTo(std::uint64_t to);

    // True when no byte is left or the next byte is 26.
    bool eof() { return m_pos == m_end && !readMore(); }

    // The next line; the view stays valid until the next read.
    std::string_view readLineView() {
        std::size_t end;
        const std::size_t next = lineAfter(0, end);
        const std::string_view line(m_data + m_pos, end);
        m_pos += next;
        return line;
    }
    std::string readLine() { return std::string(readLineView()); }
    void skipLine() { readLineView(); }

    // Reads lines until one equals `marker` (true), or to the end of the file (false); the
    // same as a loop of `readLineView`. The marker is not empty and holds no CR (else
    // std::invalid_argument). A watched marker (see `watchMarkers`) is found by a jump.
    bool skipPastLine(std::string_view marker) {
        if (isWatched(marker)) {
            const std::size_t at = markerLine(0, marker);
            if (at != npos) {
                std::size_t end;
                m_pos += lineAfter(at, end);
                return true;
            }
        }
        return skipPastLineSlow(marker);
    }

    // Indexes the places where these whole-line markers may begin (by their first two
    // bytes; a shorter marker is not watched), so that `skipPastLine` and `markerLine` jump
    // to them. Replaces the markers watched before; none stops the watch.
    void watchMarkers(std::string_view first, std::string_view second = {});

    // Indexes the places where `text` may start, by its first kMaxPrefix bytes; with
    // `foldLetters` the text is folded to upper case and "a" to "z" in the file match "A" to
    // "Z". The places are a superset: every start of the text is among them. An empty text
    // stops the watch.
    void watchPrefix(std::string_view text, bool foldLetters);

    // --- Walking by offset, for readers that go through many lines ---
    // Offsets count from the current position. The bytes from there on stay buffered at the
    // same offsets, whatever is read meanwhile, until `advance` consumes them; views into
    // them last until the next read. Offsets of line starts are what the functions take.

    // For the line that starts at offset `from`: sets `lineEnd` to the offset of its CR (or
    // of the end of the file) and returns the offset of the next line. At the end of the
    // file both are `from`. Reads more of the file as needed.
    std::size_t lineAfter(std::size_t from, std::size_t &lineEnd) {
        const std::size_t cr = findCr(m_pos + from);
        // Fast path: the line end and the byte after it are in the buffer.
        if (cr + 1 < m_end) {
            lineEnd = cr - m_pos;
            return cr + 1 + (m_data[cr + 1] == '\n') - m_pos;
        }
        return lineAfterSlow(from, lineEnd);
    }
    // True when the file ends at offset `at` (a line start, or the buffered end).
    bool endsAt(std::size_t at) { return m_pos + at >= m_end && !readMoreUntil(at + 1); }
    std::string_view bytes(std::size_t from, std::size_t to) const {
        return {m_data + m_pos + from, to - from};
    }
    // An offset handed out before the file was seen shortened may lie past its new end.
    void advance(std::size_t n) { m_pos = std::min(m_pos + n, m_end); }
    // The bytes buffered from the current position on.
    std::size_t buffered() const { return m_end - m_pos; }

    // The following look at the buffer only, never read, and answer npos when the buffered
    // bytes cannot decide.

    // The offset of the first CR at or after offset `from`, with the byte after it.
    std::size_t crAfter(std::size_t from) const {
        const std::size_t cr = findCr(m_pos + from);
        return cr + 1 < m_end ? cr - m_pos : npos;
    }
    // The offset of the first line equal to the watched `marker` that starts at or after the
    // line start `from`, with its line end and the byte after it buffered.
    std::size_t markerLine(std::size_t from, std::string_view marker) const {
        const std::size_t lineStart = m_pos + from;
        // A place's bit looks at the byte after it: final only when that byte is buffered.
        const std::size_t limit = m_sourceDone ? m_end : m_end - (m_end > 0);
        const std::size_t size = marker.size();
        for (std::size_t at = lineStart;; ++at) {
            at = findBit(m_markerBits, at, limit);
            if (at + size + 1 >= m_end) return npos;
            if (m_data[at + size] == '\r' && lineStartsAt(at, lineStart) &&
                std::memcmp(m_data + at, marker.data(), size) == 0) {
                return at - m_pos;
            }
        }
    }
    // As `markerLine`; also sets `otherSeen` when a line equal to the other watched marker,
    // `other`, starts before the line found (or, without one, among the buffered lines).
    std::size_t markerLineNoting(std::size_t from, std::string_view marker, std::string_view other,
                                 bool &otherSeen) const {
        const std::size_t lineStart = m_pos + from;
        const std::size_t limit = m_sourceDone ? m_end : m_end - (m_end > 0);
        const std::size_t size = marker.size();
        const std::size_t otherSize = other.size();
        for (std::size_t at = lineStart;; ++at) {
            at = findBit(m_markerBits, at, limit);
            if (at + size + 1 >= m_end) return npos;
            if (!lineStartsAt(at, lineStart)) continue;
            if (m_data[at + size] == '\r' && std::memcmp(m_data + at, marker.data(), size) == 0)
                return at - m_pos;
            if (at + otherSize + 1 < m_end && m_data[at + otherSize] == '\r' &&
                std::memcmp(m_data + at, other.data(), otherSize) == 0)
                otherSeen = true;
        }
    }
    // The start of the line that holds offset `at`, the line start `floor` at the earliest;
    // it is after `at` when `at` is the LF of a CR LF line end.
    std::size_t lineStartOf(std::size_t at, std::size_t floor) const;

    // True when the watched prefix may start at some offset in [from, to); `to` at most the
    // buffered end less the prefix length plus one.
    bool prefixIn(std::size_t from, std::size_t to) const {
        if (from >= to) return false;
        const std::size_t a = m_pos + from, b = m_pos + to;
        std::size_t word = a >> 6;
        const std::size_t lastWord = (b - 1) >> 6;
        const std::uint64_t lastMask = ~std::uint64_t{0} >> (63 - ((b - 1) & 63));
        const std::uint64_t bits = m_prefixBits[word] & (~std::uint64_t{0} << (a & 63));
        if (word == lastWord) return (bits & lastMask) != 0;
        if (bits != 0) return true;
        while (++word < lastWord) {
            if (m_prefixBits[word] != 0) return true;
        }
        return (m_prefixBits[lastWord] & lastMask) != 0;
    }
    // The first offset in [from, to) where the watched prefix may start, or `to`; the same
    // bound on `to`.
    std::size_t nextPrefix(std::size_t from, std::size_t to) const {
        return findBit(m_prefixBits, m_pos + from, m_pos + to) - m_pos;
    }

private:
    // The first set bit in [at, limit) of a bitmap, or `limit`.
    std::size_t findBit(const std::vector<std::uint64_t> &bitmap, std::size_t at,
                        std::size_t limit) const {
        if (at >= limit) return limit;
        std::size_t word = at >> 6;
        std::uint64_t bits = bitmap[word] & (~std::uint64_t{0} << (at & 63));
        const std::size_t lastWord = (limit - 1) >> 6;
        while (bits == 0) {
            if (++word > lastWord) return limit;
            bits = bitmap[word];
        }
        const std::size_t found = (word << 6) + static_cast<std::size_t>(__builtin_ctzll(bits));
        return found < limit ? found : limit;
    }
    // The first CR at or after buffer offset `at` (at most m_end), or m_end when none is
    // buffered; the bitmap word past those in use is kept clear.
    std::size_t findCr(std::size_t at) const {
        std::size_t word = at >> 6;
        std::uint64_t bits = m_crBits[word] & (~std::uint64_t{0} << (at & 63));
        while (bits == 0) {
            if (++word >= m_wordEnd) return m_end;
            bits = m_crBits[word];
        }
        const std::size_t cr = (word << 6) + static_cast<std::size_t>(__builtin_ctzll(bits));
        return cr < m_end ? cr : m_end;
    }
    // Whether buffer offset `at` begins a line, given that buffer offset `lineStart` does.
    bool lineStartsAt(std::size_t at, std::size_t lineStart) const {
        // A later line begins after a CR, or after a CR's LF.
        if (at == lineStart) return true;
        const char before = m_data[at - 1];
        // An LF right after a CR belongs to that CR's line end.
        if (before == '\r') return m_data[at] != '\n';
        return before == '\n' && at - 1 > lineStart && m_data[at - 2] == '\r';
    }
    bool isWatched(std::string_view marker) const {
        return !marker.empty() && (marker == m_markers[0] || marker == m_markers[1]);
    }
    std::size_t lineAfterSlow(std::size_t from, std::size_t &lineEnd);
    bool skipPastLineSlow(std::string_view marker);
    // Whether the line at offset `at` is exactly `marker`; reads more when it cannot tell.
    bool markerAt(std::size_t at, std::string_view marker);
    // The start of the last line that begins in (lineStart, limit), found by its CR, or
    // `lineStart`; a line beginning right below the limit may be missed.
    std::size_t lastLineStart(std::size_t lineStart, std::size_t limit) const;
    // Offset of the first line equal to `marker`, from the current position (a line start);
    // npos at the end of the file. Lines before it are consumed.
    std::size_t findLine(std::string_view marker);
    IndexedTextFile(std::shared_ptr<const FileMapping> mapping, std::size_t blockSize);
    // Reads more bytes behind those not yet consumed; false when the file has no more.
    bool readMore();
    // Lets go of the consumed bytes in whole chunks, so that the bitmaps keep lining up.
    void dropConsumed();
    // Makes the bitmaps (and the buffer when reading) hold at least `bytes` bytes.
    void reserveWindow(std::size_t bytes);
    // The mapped road of `readMore`: moves the window's end on in the mapping; once the file
    // is seen shortened, copies what is left of it (up to `fileEnd`) into the buffer.
    bool readMoreMapped();
    bool copyTail(std::size_t fileEnd);
    // Reads until offset `want` is buffered or the file has no more; false at the end.
    bool readMoreUntil(std::size_t want);
    // Builds the bitmaps of buffer bytes [m_indexed, m_end); may shorten m_end at a Ctrl-Z.
    void index();
    // Makes the bitmaps follow new patterns, from the current position on.
    void reindex();

    std::unique_ptr<ByteSource> m_source;      // the plain road
    std::shared_ptr<const FileMapping> m_map;  // the mapped road, until its tail is copied
    std::uint64_t m_base = 0;                  // the file offset of m_data[0]
    bool m_shortened = false;
    std::size_t m_blockSize;
    std::size_t m_readSize;               // bytes asked for by the next read, up to the block size
    std::vector<char> m_buffer;           // buffered bytes and a zeroed tail
    std::vector<std::uint64_t> m_crBits;  // bit i: buffer byte i is a CR
    std::vector<std::uint64_t> m_markerBits;  // bit i: a watched marker may start there
    std::vector<std::uint64_t> m_prefixBits;  // bit i: the watched prefix may start there
    const char *m_data = nullptr;
    std::size_t m_pos = 0;          // first unconsumed byte
    std::size_t m_end = 0;          // end of valid bytes
    std::size_t m_indexed = 0;      // bitmaps are final below this (a multiple of 64)
    std::size_t m_wordEnd = 0;      // bitmap words in use
    bool m_sourceDone = false;      // the source is exhausted or a Ctrl-Z was met
    std::size_t m_mappedReads = 0;  // reads of the mapped window so far
    std::string m_markers[2];       // watched markers
    bool m_watchPrefix = false;
    IndexPatterns m_patterns;
};

namespace detail {
// Test seam: called on the reading thread before each read of a mapped window, with the
// number of reads of that reader before it, so that a test can change the file at a chosen
// read. Null stops it.
using MappedReadHook = void (*)(void *context, std::size_t readNumber);
void SetMappedReadHook(MappedReadHook hook, void *context);
}  // namespace detail

}  // namespace sapidoro
