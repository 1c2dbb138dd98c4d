#include "support/ReferenceLines.h"

namespace sapidoro::test {

ReferenceLines::ReferenceLines(std::string_view bytes)
    : m_bytes(bytes.substr(0, bytes.find('\x1A'))) {}

std::string ReferenceLines::readLine() {
    std::string line;
    while (m_pos < m_bytes.size() && m_bytes[m_pos] != '\r') line.push_back(m_bytes[m_pos++]);
    if (m_pos < m_bytes.size()) {
        ++m_pos;
        if (m_pos < m_bytes.size() && m_bytes[m_pos] == '\n') ++m_pos;
    }
    return line;
}

std::string ReferenceLines::readUntilLine(const std::string &marker, bool &found) {
    const std::size_t start = m_pos;
    found = false;
    while (!eof()) {
        const std::size_t lineStart = m_pos;
        if (readLine() == marker) {
            found = true;
            return std::string(m_bytes.substr(start, lineStart - start));
        }
    }
    return std::string(m_bytes.substr(start));
}

}  // namespace sapidoro::test
