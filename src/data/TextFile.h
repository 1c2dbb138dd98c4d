#pragma once

#include "data/ByteSource.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sapidoro {

// Reads a data file line by line with the reading rules of every data file:
// a line ends at CR, an LF right after that CR belongs to the line end, a lone LF
// stays in the line, byte 26 (Ctrl-Z) ends the file, and reading at the end of the
// file yields empty lines. A regular file is read in place (mapped) and checked for the
// Ctrl-Z one block at a time; other sources are read in blocks into one reused buffer.
class TextFile {
public:
    static constexpr std::size_t kDefaultBlockSize = 256 * 1024;

    // Opens `path`; throws EInOutError ("File not found", ...) when it cannot be opened.
    explicit TextFile(const std::string &path, std::size_t blockSize = kDefaultBlockSize);
    explicit TextFile(std::unique_ptr<ByteSource> source,
                      std::size_t blockSize = kDefaultBlockSize);

    // True when no byte is left or the next byte is 26.
    bool eof();

    // The next line; the view stays valid until the next read.
    std::string_view readLineView();
    std::string readLine() { return std::string(readLineView()); }
    void skipLine() { readLineView(); }

    // Reads lines until one equals `marker` (true), or to the end of the file (false); the
    // same as a loop of `readLineView`, but it searches the bytes for the marker instead of
    // taking them line by line. The marker is not empty and holds no CR (else
    // std::invalid_argument).
    bool skipPastLine(std::string_view marker);

    // Like `skipPastLine` (same condition on the marker), and returns the bytes of the lines read before the marker line,
    // line ends included (all the rest of the file when there is no marker line). The view
    // stays valid until the next read.
    std::string_view readUntilLine(std::string_view marker, bool &found);

    // Bytes of the file consumed so far (line ends included).
    std::uint64_t position() const { return m_consumedBefore + m_pos; }

private:
    // Reads more bytes behind those not yet consumed; false when the file has no more.
    bool fill();
    // Offset from the current line of the next line equal to `marker`, or npos at the end
    // of the file; keeps the lines before it in the buffer when `keep` is set.
    std::size_t findLine(std::string_view marker, bool keep);
    void consumeMarkerLine(std::size_t at, std::size_t markerSize);

    std::unique_ptr<ByteSource> m_source;
    std::size_t m_blockSize;
    std::vector<char> m_buffer;
    const char *m_data = nullptr;    // the buffer, or the whole file when read in place
    std::size_t m_inPlaceSize = 0;   // size of the file read in place, 0 otherwise
    std::size_t m_pos = 0;           // first unconsumed byte
    std::size_t m_end = 0;           // end of valid bytes
    std::uint64_t m_consumedBefore = 0;
    bool m_sourceDone = false;       // the source is exhausted or a Ctrl-Z was met
};

}  // namespace sapidoro
