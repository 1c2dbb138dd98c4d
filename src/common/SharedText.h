#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace sapidoro {

// A data text (Windows-1252) that several holders keep unchanged without a copy each: a
// recipe name of megabytes is held once by the list, the name field and the recipe on show.
class SharedText {
public:
    SharedText() = default;
    // Implicit, so that a holder of a name reads and is set as one of a plain string.
    SharedText(std::string text);

    const std::string &str() const;
    operator const std::string &() const { return str(); }
    operator std::string_view() const { return str(); }
    bool empty() const { return str().empty(); }
    std::size_t size() const { return str().size(); }
    void clear() { m_text.reset(); }

private:
    std::shared_ptr<const std::string> m_text;  // null: the empty text
};

}  // namespace sapidoro
