#include "platform/window/dialog_template.h"

namespace window {

void DialogTemplateSet::Add(DialogTemplate layout) {
  const int id = layout.id;
  layouts_.insert_or_assign(id, std::move(layout));
}

const DialogTemplate* DialogTemplateSet::Find(int id) const {
  const auto found = layouts_.find(id);
  return found == layouts_.end() ? nullptr : &found->second;
}

std::vector<int> DialogTemplateSet::Ids() const {
  std::vector<int> ids;
  for (const auto& entry : layouts_) ids.push_back(entry.first);
  return ids;
}

}  // namespace window
