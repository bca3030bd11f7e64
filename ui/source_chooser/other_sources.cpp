#include "source_chooser/other_sources.h"

#include <cctype>

#include "registry/plug_registry.h"

namespace ui {
namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// "Camera:" names the kind with prefix "camera"; "Camera:2" does not.
bool NamesKind(const std::string& current, const std::string& prefix) {
  if (current.empty() || current.back() != ':') return false;
  return SameIgnoringCase(current.substr(0, current.size() - 1), prefix);
}

}  // namespace

OtherSources ListOtherSources(const lv::PlugRegistry* kinds, const std::string& current) {
  OtherSources list;
  if (kinds == nullptr) return list;
  for (int32_t index = 0; index < kinds->SourceKindCount(); ++index) {
    lv::SourceDesc* kind = kinds->GetSourceKind(index);
    if (kind == nullptr || kind->IsFileBased()) continue;
    OtherSource entry;
    entry.name = kind->GetName() != nullptr ? kind->GetName() : "";
    entry.prefix = kind->GetPrefix() != nullptr ? kind->GetPrefix() : "";
    if (NamesKind(current, entry.prefix)) list.selected = static_cast<int>(list.entries.size());
    list.entries.push_back(std::move(entry));
  }
  if (list.selected < 0 && !list.entries.empty()) list.selected = 0;
  return list;
}

}  // namespace ui
