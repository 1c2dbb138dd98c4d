#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sapidoro {

// The one order of every sorted list of the program: alphabetical for Italian, without
// regard to case. Texts are Windows-1252 bytes.
int CompareNames(std::string_view a, std::string_view b);

// Whether CompareNames(a, b) is 0; quick for names that differ early.
bool EqualNames(std::string_view a, std::string_view b);

// The positions of `names` in sorted order; names that compare equal keep their order.
// When `apart` is given, it tells for each place of the order whether the name there is
// known to compare unequal to the one before it (1), or may compare equal (0).
std::vector<std::uint32_t> SortedOrder(const std::vector<std::string_view> &names,
                                       std::vector<std::uint8_t> *apart = nullptr);

// A sort whose first names are sorted before the rest are known: they are copied and sorted on
// a thread of their own, then merged with the rest, sorted at the end.
class EarlySort {
public:
    EarlySort();
    ~EarlySort();  // waits for the thread
    EarlySort(const EarlySort &) = delete;
    EarlySort &operator=(const EarlySort &) = delete;

    bool started() const { return m_part != nullptr; }
    // Starts sorting `first`, the first names of the list; no effect when no thread is free.
    void start(const std::vector<std::string_view> &first);
    // The order of every name, the first of which were started; as SortedOrder.
    std::vector<std::uint32_t> finish(const std::vector<std::string_view> &names,
                                      std::vector<std::uint8_t> *apart = nullptr);

private:
    struct Part;
    std::unique_ptr<Part> m_part;
};

// Sorts in place; names that compare equal keep their order.
void SortNames(std::vector<std::string> &names);

}  // namespace sapidoro
