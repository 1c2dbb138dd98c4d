// Checks the block reader against a whole-buffer reference reader on arbitrary bytes and
// block sizes: the same lines and the same end-of-file answers.
#include "data/TextFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// The reading rules applied to the whole buffer at once.
class ReferenceReader {
public:
    explicit ReferenceReader(std::string_view bytes)
        : m_bytes(bytes.substr(0, bytes.find('\x1A'))) {}
    bool eof() const { return m_pos >= m_bytes.size(); }
    std::string readLine() {
        std::string line;
        while (m_pos < m_bytes.size() && m_bytes[m_pos] != '\r') line.push_back(m_bytes[m_pos++]);
        if (m_pos < m_bytes.size()) {
            ++m_pos;
            if (m_pos < m_bytes.size() && m_bytes[m_pos] == '\n') ++m_pos;
        }
        return line;
    }

private:
    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 1) return 0;
    const std::size_t blockSize = 1 + data[0] % 64;
    const std::string bytes(reinterpret_cast<const char *>(data) + 1, size - 1);
    sapidoro::TextFile file(sapidoro::MakeMemorySource(bytes), blockSize);
    ReferenceReader reference(bytes);
    // Read a few lines past the end too: they must be empty on both sides.
    for (std::size_t reads = 0; reads <= bytes.size() + 3; ++reads) {
        if (file.eof() != reference.eof()) std::abort();
        if (file.readLine() != reference.readLine()) std::abort();
    }
    return 0;
}
