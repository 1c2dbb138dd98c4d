#pragma once

// What the data-folder fuzz target checks besides the readers: the small helpers of the logic
// layer, each against the plain reference.

#include "FuzzParts.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// StrToInt gives the plain value, or fails with the plain message.
void CheckInteger(std::string_view text);

// A calorie lookup gives nothing when the table has no entry (`entry` empty), else the entry's
// calories converted, or their conversion error.
void CheckCalorieLookup(const std::function<std::optional<std::int32_t>()> &lookup,
                        const std::optional<std::string> &entry);

// The Windows-1252 codec on these bytes, and on them taken as UTF-8.
void CheckTexts(std::string_view text);

// TextBefore and TextAfter with the separators of the data files and with `other`.
void CheckSplits(std::string_view text, std::string_view other);

}  // namespace fuzz
