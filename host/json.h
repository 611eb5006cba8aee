// JSON text of the values the batch protocol prints: strings, numbers, Booleans, arrays.
#ifndef HALVANE_HOST_JSON_H
#define HALVANE_HOST_JSON_H

#include <string>
#include <string_view>
#include <vector>

#include "halvane/variant.h"

namespace host {

// A JSON string literal. UTF-8 passes through; every control character (C0, DEL and C1,
// NUL included) is written as \u00XX so that the line stays one printable line; bytes that are
// not UTF-8 become U+FFFD.
std::string JsonString(std::string_view text);

// A Variant as a JSON value: Empty null, Booleans true/false, numbers as numbers, text as a
// string. An object has no JSON form and prints as null.
std::string JsonValue(const halvane::Variant& value);

// "[a,b,...]" of already encoded values.
std::string JsonArray(const std::vector<std::string>& encoded);
std::string JsonStringArray(const std::vector<std::string>& texts);

}  // namespace host

#endif
