#include "writer/CollectionScan.h"

#include "data/RecipeFile.h"

#include <unordered_map>

namespace sapidoro {

CollectionScan ScanCollection(IndexedTextFile &walk, IndexedTextFile &lookup,
                              const std::vector<std::string_view> &names) {
    CollectionScan scan;
    scan.names.resize(names.size());
    std::unordered_map<std::string_view, std::size_t> wanted;
    wanted.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        if (!wanted.emplace(names[i], i).second && !scan.repeated) scan.repeated = i;
    const auto find = [&](std::string_view line) -> NameFacts * {
        const auto it = wanted.find(line);
        return it == wanted.end() ? nullptr : &scan.names[it->second];
    };

    // The start-up walk, jumping from one separator line to the next.
    walk.watchMarkers(kRecordSeparator);
    if (walk.eof()) {
        scan.firstLineMissing = true;
        return scan;
    }
    walk.skipLine();
    scan.appendAt = walk.offset();
    while (!walk.eof()) {
        const std::uint64_t start = walk.offset();
        walk.skipLine();
        if (walk.eof()) break;
        const std::uint64_t nameLine = walk.offset();
        NameFacts *facts = find(walk.readLineView());
        if (facts != nullptr && facts->listedCount++ == 0)
            facts->listed = RecordPlace{start, nameLine, 0};
        if (!walk.skipPastLine(kRecordSeparator)) break;
        scan.appendAt = walk.offset();
        if (facts != nullptr && facts->listed->start == start) facts->listed->end = scan.appendAt;
    }

    // The lookup by name, jumping from one "-Nome" line to the next; a run of them is
    // checked line by line. Past the line where the walk lists the first name, no hit can
    // come before it any more.
    const NameFacts *first = scan.names.empty() ? nullptr : &scan.names[0];
    const std::uint64_t stop =
        first != nullptr && first->listed ? first->listed->nameLine : UINT64_MAX;
    lookup.watchMarkers(kNameMarker);
    while (lookup.skipPastLine(kNameMarker)) {
        for (;;) {
            if (lookup.eof() || lookup.offset() > stop) return scan;
            const std::uint64_t at = lookup.offset();
            const std::string_view line = lookup.readLineView();
            NameFacts *facts = find(line);
            if (facts != nullptr && !facts->lookupHit) facts->lookupHit = at;
            if (line != kNameMarker) break;
        }
    }
    return scan;
}

bool StartsLine(std::string_view bytes, std::uint64_t at) {
    if (at == 0) return true;
    if (bytes[at - 1] == '\r') return true;
    return bytes[at - 1] == '\n' && at >= 2 && bytes[at - 2] == '\r';
}

}  // namespace sapidoro
