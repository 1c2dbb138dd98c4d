#include "writer/CollectionScan.h"

#include "data/RecipeFile.h"

#include <unordered_map>

namespace sapidoro {

CollectionScan ScanCollection(TextFile &file, const std::vector<std::string_view> &names) {
    CollectionScan scan;
    scan.names.resize(names.size());
    std::unordered_map<std::string_view, std::size_t> wanted;
    for (std::size_t i = 0; i < names.size(); ++i) wanted.emplace(names[i], i);
    const auto find = [&](std::string_view line) -> NameFacts * {
        const auto it = wanted.find(line);
        return it == wanted.end() ? nullptr : &scan.names[it->second];
    };

    if (file.eof()) {
        scan.firstLineMissing = true;
        return scan;
    }
    file.skipLine();
    scan.appendAt = file.offset();

    enum class Walk { Head, Name, Body } walk = Walk::Head;
    std::uint64_t recordStart = 0, previousStart = 0;
    bool previousIsNameMarker = false;
    NameFacts *recordFacts = nullptr;
    while (!file.eof()) {
        const std::uint64_t lineStart = file.offset();
        const std::string_view line = file.readLineView();
        if (previousIsNameMarker) {
            NameFacts *facts = find(line);
            if (facts != nullptr && !facts->lookupHit) facts->lookupHit = previousStart;
        }
        switch (walk) {
            case Walk::Head:
                recordStart = lineStart;
                walk = Walk::Name;
                break;
            case Walk::Name:
                recordFacts = find(line);
                if (recordFacts != nullptr && recordFacts->listedCount++ == 0)
                    recordFacts->listed = RecordPlace{recordStart, 0};
                walk = Walk::Body;
                break;
            case Walk::Body:
                if (line == kRecordSeparator) {
                    scan.appendAt = file.offset();
                    if (recordFacts != nullptr && recordFacts->listed->start == recordStart)
                        recordFacts->listed->end = scan.appendAt;
                    walk = Walk::Head;
                }
                break;
        }
        previousIsNameMarker = line == kNameMarker;
        previousStart = lineStart;
    }
    return scan;
}

bool StartsLine(std::string_view bytes, std::uint64_t at) {
    if (at == 0) return true;
    if (bytes[at - 1] == '\r') return true;
    return bytes[at - 1] == '\n' && at >= 2 && bytes[at - 2] == '\r';
}

}  // namespace sapidoro
