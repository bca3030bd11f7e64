#pragma once
// An ordered record of what the fakes were asked to do, shared by the test
// plug-ins and the fake device so their calls interleave as they happened.
#include <mutex>
#include <string>
#include <vector>

namespace lvtest {

class Journal {
 public:
  void Add(std::string entry) {
    std::lock_guard lock(mutex_);
    entries_.push_back(std::move(entry));
  }
  std::vector<std::string> Entries() {
    std::lock_guard lock(mutex_);
    return entries_;
  }
  // The entries that start with `prefix`, in order.
  std::vector<std::string> Matching(const std::string& prefix) {
    std::vector<std::string> result;
    for (const std::string& entry : Entries())
      if (entry.rfind(prefix, 0) == 0) result.push_back(entry);
    return result;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> entries_;
};

}  // namespace lvtest
