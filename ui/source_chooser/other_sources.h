#pragma once
// The "Other Sources" list of the source chooser: every registered source
// kind that is not opened by file name, and which of them the current source
// names.
#include <string>
#include <vector>

namespace lv {
class PlugRegistry;
class SourceDesc;
}  // namespace lv

namespace ui {

struct OtherSource {
  std::string name;    // shown in the list
  std::string prefix;  // the answer: the source name without its colon
};

struct OtherSources {
  std::vector<OtherSource> entries;  // registry order
  int selected = -1;                 // -1 with no entries
};

// `current` selects the kind whose prefix it is followed by one colon and
// nothing more (the prefix compared ignoring case); otherwise the first entry.
OtherSources ListOtherSources(const lv::PlugRegistry* kinds, const std::string& current);

}  // namespace ui
