#pragma once

#include "common/Exception.h"

#include <string>
#include <utility>

namespace sapidoro {

// The runtime's input/output error met on `path` (native bytes), as an Italian sentence
// (UTF-8) that names the file.
std::string FileErrorText(const EInOutError &error, const std::string &path);

// Runs `read`, which reads `path`; its runtime error comes out as that Italian sentence. The
// actions of collections, editing, import and the shopping list read through it, while the
// searches and the recipe load keep the runtime's own texts.
template <class Read>
decltype(auto) ReadingFile(const std::string &path, Read &&read) {
    try {
        return std::forward<Read>(read)();
    } catch (const EInOutError &error) {
        throw Exception(FileErrorText(error, path));
    }
}

}  // namespace sapidoro
