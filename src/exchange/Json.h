#pragma once

#include "common/Exception.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sapidoro {

// A JSON value; strings are UTF-8, numbers keep their text.
struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    std::string text;               // String and Number
    std::vector<JsonValue> items;   // Array elements, Object member values
    std::vector<std::string> keys;  // Object member names, beside `items`

    // The first member named `key`, or null.
    const JsonValue *member(std::string_view key) const;
    bool isString() const { return kind == Kind::String; }
};

// A JSON text that cannot be read; the message is Italian, UTF-8.
class EJsonError : public Exception {
public:
    using Exception::Exception;
};

// Bounds that keep a hostile text from taking unbounded stack or memory.
struct JsonLimits {
    std::size_t maxDepth = 512;
    std::size_t maxValues = 1000000;
};

// Parses one JSON text (RFC 8259; invalid UTF-8 inside strings becomes U+FFFD). Throws
// EJsonError with the position for bad syntax, too deep a nesting or too many values.
JsonValue ParseJson(std::string_view text, const JsonLimits &limits = {});

// Reads a JSON text as web pages write it: raw control characters in strings, trailing
// commas, unknown escapes such as "\\'", wrapping (CDATA, HTML comments) before the first
// bracket, and text after the value; objects following the value make a list with it.
// Within the same limits; strict JSON reads as with `ParseJson`.
JsonValue ParseJsonLenient(std::string_view text, const JsonLimits &limits = {});

// `text` as a JSON string literal, quotes included; UTF-8 passes through.
std::string JsonQuote(std::string_view text);

}  // namespace sapidoro
