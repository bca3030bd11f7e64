#include "platform/window/file_filter.h"

namespace window {
namespace {

std::string Trim(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

}  // namespace

std::vector<std::string> ConvertFileFilter(std::string_view filter) {
  std::vector<std::string> fields;
  while (!filter.empty()) {
    const auto end = filter.find('\0');
    const std::string_view field = filter.substr(0, end);
    if (field.empty()) break;  // the double NUL that ends the list
    fields.emplace_back(field);
    if (end == std::string_view::npos) break;
    filter.remove_prefix(end + 1);
  }

  std::vector<std::string> converted;
  for (size_t i = 0; i + 1 < fields.size(); i += 2) {
    std::string patterns;
    std::string_view rest = fields[i + 1];
    while (!rest.empty()) {
      const auto end = rest.find(';');
      const std::string pattern = Trim(rest.substr(0, end));
      if (!pattern.empty()) {
        if (!patterns.empty()) patterns += ' ';
        patterns += pattern;
      }
      if (end == std::string_view::npos) break;
      rest.remove_prefix(end + 1);
    }
    if (patterns.empty()) continue;
    const std::string name = Trim(fields[i]);
    converted.push_back((name.empty() ? patterns : name) + " (" + patterns + ")");
  }
  return converted;
}

}  // namespace window
