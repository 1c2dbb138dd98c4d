#include "data/Places.h"

#include "data/TextFile.h"

namespace sapidoro {

std::vector<std::string> ReadPlaces(const std::string &path) {
    TextFile file(path);
    std::vector<std::string> places;
    places.push_back(file.readLine());
    do {
        places.push_back(file.readLine());
    } while (!file.eof());
    return places;
}

}  // namespace sapidoro
