#include "common/AsciiCase.h"

namespace sapidoro {

std::string AsciiUpper(std::string_view text) {
    std::string upper(text);
    for (char &c : upper) c = AsciiUpper(c);
    return upper;
}

}  // namespace sapidoro
