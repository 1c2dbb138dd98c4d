#pragma once

#include "common/ByteSource.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace sapidoro {

class FileMapping;

// Reads a data file line by line with the reading rules of every data file: a line ends at
// CR, an LF right after that CR belongs to the line end, a lone LF stays in the line, byte 26
// (Ctrl-Z) ends the file, and reading at the end of the file yields empty lines.
//
// The bytes come from a source into a buffer that grows to the longest line, or lie in place
// in a mapping of the file; each byte is looked at once, however long its line.
class TextFile {
public:
    static constexpr std::size_t kDefaultBlockSize = 64 * 1024;

    // Opens `path`; throws EInOutError ("File not found", ...) when it cannot be opened.
    explicit TextFile(const std::string &path, std::size_t blockSize = kDefaultBlockSize);
    explicit TextFile(std::unique_ptr<ByteSource> source,
                      std::size_t blockSize = kDefaultBlockSize);
    ~TextFile();
    TextFile(const TextFile &) = delete;
    TextFile &operator=(const TextFile &) = delete;

    // Reads `path` in place when it can be mapped, so that a line of any length is neither
    // grown into a buffer nor copied; else as the constructor does. The lines are the same.
    static std::unique_ptr<TextFile> MapOrOpen(const std::string &path);
    // Reads a mapping kept from an earlier read of the file, from the line start at `offset`.
    static std::unique_ptr<TextFile> InMapping(std::shared_ptr<const FileMapping> mapping,
                                               std::size_t offset);

    // True when no byte is left or the next byte is 26.
    bool eof();
    // The next line; the view stays valid until the next read.
    std::string_view readLineView();
    std::string readLine() { return std::string(readLineView()); }
    void skipLine() { readLineView(); }
    // Reads lines until one equals `marker` (true), or to the end of the file (false).
    bool skipPastLine(std::string_view marker);
    // The file offset of the next byte to read.
    std::uint64_t offset() const { return m_base + m_pos; }
    // Goes on at file offset `to`, a line start at or after `offset()`; the bytes between are
    // passed over unread.
    void jumpTo(std::uint64_t to);

private:
    explicit TextFile(std::shared_ptr<const FileMapping> mapping);
    // Brings more bytes behind the unconsumed ones; false when the file has no more.
    bool fill();
    // Looks for the next CR from m_scan and leaves m_scan on it (true), or on the end of the
    // bytes at hand (false); a Ctrl-Z before it ends the file there.
    bool findCr();
    // A mapped file shortened by another program ends where it now ends: the bytes past that
    // end read as zeros and are not the file's.
    void endWhereShortened();
    // The line from m_pos up to `end`, consuming its line end.
    std::string_view takeLine(std::size_t end);

    std::unique_ptr<ByteSource> m_source;
    std::shared_ptr<const FileMapping> m_map;
    std::size_t m_blockSize;
    std::string m_buffer;
    const char *m_data = nullptr;
    std::uint64_t m_base = 0;  // file offset of the buffer's first byte
    std::size_t m_pos = 0;     // first unconsumed byte
    std::size_t m_scan = 0;    // no CR lies in [m_pos, m_scan)
    std::size_t m_end = 0;     // end of the bytes at hand
    bool m_done = false;       // the source has no more, or a Ctrl-Z was met
};

}  // namespace sapidoro
