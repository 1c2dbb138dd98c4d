// Drives the block reader with a script of reads, marker skips, watches and walks by offset,
// at a chosen instruction set level, and checks every answer against the reading rules
// applied to the whole buffer: the same lines and end-of-file answers,
// the same lines found by the marker jumps, and the prefix index holding exactly the places
// where the watched prefix starts.
//
// The input is cut at "#~#" into: control bytes, the file, marker A, marker B, the prefix.
// Control bytes: [0] block size (0: 4096), [1] read size (0: unbounded), [2] instruction set
// level, then one operation per byte.
#include "FuzzParts.h"

#include "scan/IndexedTextFile.h"
#include "scan/LineIndex.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

using namespace sapidoro;

namespace {

[[noreturn]] void Fail(const char *what, std::size_t op) {
    std::fprintf(stderr, "differs from the whole-buffer reading: %s (operation %zu)\n", what, op);
    std::abort();
}

// The reading rules applied to the whole buffer at once.
class ReferenceReader {
public:
    explicit ReferenceReader(std::string_view bytes)
        : m_bytes(bytes.substr(0, bytes.find('\x1A'))) {}
    bool eof() const { return m_pos >= m_bytes.size(); }
    std::size_t position() const { return m_pos; }
    std::size_t size() const { return m_bytes.size(); }
    char at(std::size_t i) const { return m_bytes[i]; }
    // The line from `from`, and where the next one starts.
    std::string_view lineAt(std::size_t from, std::size_t &next) const {
        const std::size_t cr = std::min(m_bytes.find('\r', from), m_bytes.size());
        next = cr;
        if (cr < m_bytes.size()) next += cr + 1 < m_bytes.size() && m_bytes[cr + 1] == '\n' ? 2 : 1;
        return m_bytes.substr(from, cr - from);
    }
    std::string_view readLine() {
        std::size_t next;
        const std::string_view line = lineAt(m_pos, next);
        m_pos = next;
        return line;
    }
    // Reads up to and including the first line equal to `marker`; the bytes before that line.
    std::string_view readUntilLine(std::string_view marker, bool &found) {
        const std::size_t start = m_pos;
        while (!eof()) {
            const std::size_t lineStart = m_pos;
            if (readLine() == marker) {
                found = true;
                return m_bytes.substr(start, lineStart - start);
            }
        }
        found = false;
        return m_bytes.substr(start);
    }
    void advance(std::size_t n) { m_pos += n; }

private:
    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

bool UsableMarker(std::string_view marker) {
    return !marker.empty() && marker.find('\r') == std::string_view::npos;
}

bool FoldedEqual(char a, char b, bool fold) {
    const auto up = [fold](char c) {
        return fold && c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
    };
    return up(a) == up(b);
}

struct Script {
    std::string_view control, bytes, markers[2], prefix;
    std::size_t blockSize, readSize;
};

// Walks lines by offset from the current position and checks the questions a record walk
// asks about the buffered lines.
void WalkByOffset(IndexedTextFile &file, ReferenceReader &reference, unsigned op,
                  bool prefixWatched, bool fold, const Script &s, const std::string_view watched[2],
                  std::size_t n) {
    const std::size_t base = reference.position();
    std::vector<std::size_t> starts{0}, ends;
    const std::size_t lines = 1 + (op >> 3) % 16;
    for (std::size_t k = 0; k < lines; ++k) {
        std::size_t end, refNext;
        const std::size_t next = file.lineAfter(starts.back(), end);
        const std::string_view want = reference.lineAt(base + starts.back(), refNext);
        if (next != refNext - base || file.bytes(starts.back(), end) != want) Fail("lineAfter", n);
        ends.push_back(end);
        if (next == starts.back()) break;  // the end of the file
        starts.push_back(next);
    }
    const std::size_t walked = starts.back();
    if (file.endsAt(walked) != (base + walked >= reference.size())) Fail("endsAt", n);
    // Every walked line is known from a place inside it.
    for (std::size_t k = 0; k < ends.size() && base + ends[k] < reference.size(); ++k) {
        const std::size_t within = starts[k] + (ends[k] - starts[k]) / 2;
        if (file.lineStartOf(within, 0) != starts[k]) Fail("lineStartOf", n);
    }
    // A watched marker's line, when the buffer can tell.
    for (int m = 0; m < 2; ++m) {
        if (watched[m].empty()) continue;
        const std::size_t got = file.markerLine(0, watched[m]);
        if (got == IndexedTextFile::npos) continue;
        std::size_t at = base, next;
        while (at < reference.size() && reference.lineAt(at, next) != watched[m]) at = next;
        if (got != at - base) Fail("markerLine", n);
    }
    // The prefix index, line by line.
    const std::size_t p = std::min<std::size_t>(s.prefix.size(), kMaxPrefix);
    if (!prefixWatched || p == 0) return;
    for (std::size_t k = 0; k < ends.size(); ++k) {
        if (ends[k] - starts[k] < p) continue;
        const std::size_t to = ends[k] - p + 1;
        std::size_t first = to;
        for (std::size_t at = starts[k]; at < to && first == to; ++at) {
            bool match = true;
            for (std::size_t j = 0; j < p; ++j)
                match = match && FoldedEqual(reference.at(base + at + j), s.prefix[j], fold);
            if (match) first = at;
        }
        if (file.prefixIn(starts[k], to) != (first < to)) Fail("prefixIn", n);
        if (file.nextPrefix(starts[k], to) != first) Fail("nextPrefix", n);
    }
    if (op & 0x80) {
        file.advance(walked);
        reference.advance(walked);
    }
}

void Run(const Script &s) {
    IndexedTextFile file(MakeMemorySource(std::string(s.bytes), s.readSize), s.blockSize);
    ReferenceReader reference(s.bytes);
    std::string_view watched[2];
    bool prefixWatched = false, fold = false;
    for (std::size_t n = 3; n < s.control.size() && n < 67; ++n) {
        const auto op = static_cast<unsigned char>(s.control[n]);
        const std::string_view marker = s.markers[(op >> 3) & 1];
        switch (op % 8) {
            case 0:
                if (file.readLine() != reference.readLine()) Fail("readLine", n);
                break;
            case 1:
                file.skipLine();
                reference.readLine();
                break;
            case 2:
            case 3:
            case 4: {
                bool found = false;
                try {
                    const bool got = file.skipPastLine(marker);
                    if (!UsableMarker(marker)) Fail("skipPastLine took an unusable marker", n);
                    reference.readUntilLine(marker, found);
                    if (got != found) Fail("skipPastLine", n);
                } catch (const std::invalid_argument &) {
                    if (UsableMarker(marker)) Fail("skipPastLine refused a marker", n);
                }
                break;
            }
            case 5: {
                const unsigned pick = (op >> 3) % 4;
                const std::string_view first = pick & 1 ? s.markers[1] : s.markers[0];
                const std::string_view second =
                    pick & 2 ? std::string_view() : s.markers[1 - (pick & 1)];
                file.watchMarkers(first, second);
                // Only a marker of two bytes or more, without a CR, is watched.
                const auto usable = [](std::string_view m) {
                    return m.size() >= 2 && UsableMarker(m);
                };
                watched[0] = usable(first) ? first : std::string_view();
                watched[1] = usable(second) ? second : std::string_view();
                break;
            }
            case 6:
                prefixWatched = (op & 0x10) == 0 && !s.prefix.empty();
                fold = op & 0x08;
                file.watchPrefix(prefixWatched ? s.prefix : std::string_view(), fold);
                break;
            default:
                WalkByOffset(file, reference, op, prefixWatched, fold, s, watched, n);
                break;
        }
        if (file.eof() != reference.eof()) Fail("eof", n);
    }
    // The rest of the file, and a few empty lines past its end.
    for (std::size_t reads = 0; reads <= s.bytes.size() + 3; ++reads) {
        if (file.eof() != reference.eof()) Fail("eof at the end", reads);
        if (file.readLine() != reference.readLine()) Fail("readLine at the end", reads);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::vector<std::string_view> parts =
        fuzz::SplitParts(std::string_view(reinterpret_cast<const char *>(data), size), 5);
    Script s{parts[0], parts[1], {parts[2], parts[3]},
             parts[4], 4096,     static_cast<std::size_t>(-1)};
    const auto control = [&](std::size_t i) {
        return i < s.control.size() ? static_cast<unsigned char>(s.control[i]) : 0;
    };
    if (control(0) != 0) s.blockSize = control(0);
    if (control(1) != 0) s.readSize = control(1);
    const ScopedIndexLevel level(static_cast<IndexLevel>(control(2) % 3));
    Run(s);
    return 0;
}
