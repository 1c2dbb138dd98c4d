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
// file yields empty lines. The file is read in blocks into one reused buffer.
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

    // Bytes of the file consumed so far (line ends included).
    std::uint64_t position() const { return m_consumedBefore + m_pos; }

private:
    // Reads more bytes behind those not yet consumed; false when the file has no more.
    bool fill();

    std::unique_ptr<ByteSource> m_source;
    std::size_t m_blockSize;
    std::vector<char> m_buffer;
    std::size_t m_pos = 0;           // first unconsumed byte
    std::size_t m_end = 0;           // end of valid bytes
    std::uint64_t m_consumedBefore = 0;
    bool m_sourceDone = false;       // the source is exhausted or a Ctrl-Z was met
};

}  // namespace sapidoro
