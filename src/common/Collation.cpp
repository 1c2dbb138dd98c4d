#include "common/Collation.h"

#include "common/QtText.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <numeric>

namespace sapidoro {

namespace {

const QCollator &NameCollator() {
    static const QCollator collator = [] {
        QCollator c{QLocale(QLocale::Italian, QLocale::Italy)};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(false);
        return c;
    }();
    return collator;
}

}  // namespace

int CompareNames(std::string_view a, std::string_view b) {
    return NameCollator().compare(FromCp1252(a), FromCp1252(b));
}

void SortNames(std::vector<std::string> &names) {
    // One sort key per name, so that the sort compares bytes instead of collating each time.
    const QCollator &collator = NameCollator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(names.size());
    for (const std::string &name : names) keys.push_back(collator.sortKey(FromCp1252(name)));
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t x, std::size_t y) { return keys[x].compare(keys[y]) < 0; });
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (std::size_t i : order) sorted.push_back(std::move(names[i]));
    names = std::move(sorted);
}

}  // namespace sapidoro
