#include "data/Places.h"

#include "data/TextFile.h"

namespace sapidoro {

std::vector<std::string> ReadPlaces(const std::string &path) {
    std::vector<std::string> places;
    ReadPlaces(path, [&places](std::string_view place) { places.emplace_back(place); });
    return places;
}

void ReadPlaces(const std::string &path, const std::function<void(std::string_view)> &onPlace) {
    // Mapped, a line of any length is read in place rather than into a buffer grown for it.
    const std::unique_ptr<TextFile> file = TextFile::MapOrOpen(path);
    onPlace(file->readLineView());
    do {
        onPlace(file->readLineView());
    } while (!file->eof());
}

}  // namespace sapidoro
