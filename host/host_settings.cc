#include "host_settings.h"

#include <sys/stat.h>

#include <charconv>
#include <cstdio>
#include <fstream>

namespace host {
namespace {

constexpr off_t kMaxBytes = 64 * 1024;

}  // namespace

HostSettings::HostSettings(std::string path) : path_(std::move(path)) {
  struct stat st {};
  if (::stat(path_.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxBytes) return;
  std::ifstream in(path_, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t equals = line.find('=');
    if (equals == std::string::npos || equals == 0) continue;
    values_[line.substr(0, equals)] = line.substr(equals + 1);
  }
}

std::optional<std::string> HostSettings::Get(const std::string& name) const {
  auto found = values_.find(name);
  if (found == values_.end()) return std::nullopt;
  return found->second;
}

std::optional<int> HostSettings::GetNumber(const std::string& name, int low, int high) const {
  const std::optional<std::string> text = Get(name);
  if (!text) return std::nullopt;
  int value = 0;
  auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
  if (text->empty() || ec != std::errc() || end != text->data() + text->size() || value < low ||
      value > high)
    return std::nullopt;
  return value;
}

void HostSettings::Set(const std::string& name, std::string value) {
  // One line per setting: a line break would make two.
  for (char& c : value)
    if (c == '\n' || c == '\r') c = ' ';
  values_[name] = std::move(value);
}

bool HostSettings::Save() const {
  const std::string temporary = path_ + ".new";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    for (const auto& [name, value] : values_) out << name << '=' << value << '\n';
    out.flush();
    if (!out) {
      std::remove(temporary.c_str());
      return false;
    }
  }
  return std::rename(temporary.c_str(), path_.c_str()) == 0;
}

}  // namespace host
