#include "json.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "halvane/encodings.h"

namespace host {
namespace {

void AppendEscape(std::string& out, uint32_t codePoint) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(codePoint));
  out += buf;
}

bool IsControl(uint32_t cp) { return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F); }

// The shortest decimal text that reads back as the same value of type T (float or double).
template <class T>
std::string ShortestNumber(T value) {
  if (!std::isfinite(value)) return "null";
  char buf[40];
  for (int precision = 1; precision <= 17; ++precision) {
    std::snprintf(buf, sizeof buf, "%.*g", precision, static_cast<double>(value));
    if (static_cast<T>(std::strtod(buf, nullptr)) == value) break;
  }
  return buf;
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  out.reserve(text.size() + 2);
  for (size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    size_t length = halvane::DecodeUtf8(text, i, cp);
    if (length == 0) {
      out += "\xEF\xBF\xBD";  // U+FFFD for a byte that is not UTF-8
      ++i;
      continue;
    }
    if (cp == '"') {
      out += "\\\"";
    } else if (cp == '\\') {
      out += "\\\\";
    } else if (IsControl(cp)) {
      AppendEscape(out, cp);
    } else {
      out.append(text.substr(i, length));
    }
    i += length;
  }
  out += '"';
  return out;
}

std::string JsonValue(const halvane::Variant& value) {
  using halvane::VarType;
  switch (value.type()) {
    case VarType::Empty:
    case VarType::Object:
      return "null";
    case VarType::Boolean:
      return value.ToBool() ? "true" : "false";
    case VarType::Integer:
    case VarType::Long:
      return std::to_string(value.ToInt32());
    case VarType::Single:
      return ShortestNumber(value.ToSingle());
    case VarType::Double:
      return ShortestNumber(value.ToDouble());
    case VarType::String:
      return JsonString(*value.AsString());
  }
  return "null";
}

std::string JsonArray(const std::vector<std::string>& encoded) {
  std::string out = "[";
  for (size_t i = 0; i < encoded.size(); ++i) {
    if (i > 0) out += ',';
    out += encoded[i];
  }
  return out + "]";
}

std::string JsonStringArray(const std::vector<std::string>& texts) {
  std::vector<std::string> encoded;
  encoded.reserve(texts.size());
  for (const auto& t : texts) encoded.push_back(JsonString(t));
  return JsonArray(encoded);
}

}  // namespace host
