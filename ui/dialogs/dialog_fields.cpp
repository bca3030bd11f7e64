#include "dialogs/dialog_fields.h"

#include <cstdio>

namespace ui {

int ReadNumberField(const std::string& text) {
  const std::string head = text.substr(0, kNumberFieldChars);
  size_t i = 0;
  while (i < head.size() && (head[i] == ' ' || head[i] == '\t')) ++i;
  bool negative = false;
  if (i < head.size() && (head[i] == '-' || head[i] == '+')) negative = head[i++] == '-';
  long value = 0;  // nine digits never overflow
  for (; i < head.size() && head[i] >= '0' && head[i] <= '9'; ++i) value = value * 10 + (head[i] - '0');
  return static_cast<int>(negative ? -value : value);
}

int OneBasedField(const std::string& text) {
  const int value = ReadNumberField(text);
  return value >= 1 && value <= 128 ? value - 1 : -1;
}

int PriorityField(const std::string& text, int outside) {
  const int value = ReadNumberField(text);
  return value >= -127 && value <= 127 ? value : outside;
}

std::vector<std::string> PatchListLines(const lv::Performance& performance) {
  std::vector<std::string> lines;
  for (int32_t index = 0;; ++index) {
    const lv::Bank* bank = performance.BankAt(index);
    if (bank == nullptr) break;
    char line[640];
    if (bank->Name() != nullptr) {
      std::snprintf(line, sizeof line, "%d (%.512s) -  %d notes used", bank->programNumber + 1, bank->Name(),
                    bank->PatchCount());
    } else {
      std::snprintf(line, sizeof line, "%d  -  %d notes used", bank->programNumber + 1, bank->PatchCount());
    }
    lines.emplace_back(line);
  }
  return lines;
}

}  // namespace ui
