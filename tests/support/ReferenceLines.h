#pragma once

#include <string>
#include <string_view>

namespace sapidoro::test {

// The line rules of the data files applied to a whole buffer at once, byte by byte: the
// plain reference that the block reader and everything built on it are checked against.
class ReferenceLines {
public:
    explicit ReferenceLines(std::string_view bytes);
    bool eof() const { return m_pos >= m_bytes.size(); }
    std::string readLine();
    // Reads up to the first line equal to `marker` and returns the bytes before that line;
    // `found` tells whether it was met before the end.
    std::string readUntilLine(const std::string &marker, bool &found);

private:
    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

}  // namespace sapidoro::test
