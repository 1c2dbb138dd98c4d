#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sapidoro {

// Reads a foreign text file line by line in a buffer of fixed size, whatever the file holds:
// lines end at LF, CR LF or a lone CR, byte 26 (the end of a DOS file) ends a line, and a
// line longer than the limit stops the reading (`tooLong`) instead of growing the buffer.
class LineReader {
public:
    static constexpr std::size_t kDefaultMaxLine = 1 << 20;

    // Reads a file; throws EInOutError when it cannot be opened or read.
    explicit LineReader(const std::string &path, std::size_t maxLine = kDefaultMaxLine);
    // Reads bytes in memory, which must outlive the reader.
    explicit LineReader(std::string_view bytes, std::size_t maxLine = kDefaultMaxLine);
    ~LineReader();
    LineReader(const LineReader &) = delete;
    LineReader &operator=(const LineReader &) = delete;

    // The first bytes of the file (a megabyte or more), for guessing its encoding.
    std::string_view sample();

    // The next line, valid until the next call; false at the end of the file or after a line
    // over the limit.
    bool next(std::string_view &line);
    bool tooLong() const { return m_tooLong; }
    std::uint64_t lineNumber() const { return m_lineNumber; }
    std::uint64_t size() const { return m_size; }

private:
    bool fill();

    int m_fd = -1;
    std::string_view m_memory;
    std::string m_buffer;
    std::size_t m_begin = 0;  // first unread byte of the buffer
    std::size_t m_end = 0;    // end of the bytes read into the buffer
    std::size_t m_maxLine;
    std::uint64_t m_size = 0;
    std::uint64_t m_lineNumber = 0;
    bool m_sourceDone = false;
    bool m_tooLong = false;
    bool m_pendingCr = false;  // the last line ended at a CR whose LF may come next
};

}  // namespace sapidoro
