#include "platform/window/kit/dialog_layout.h"

#include <charconv>
#include <strings.h>

#include <cstring>
#include <vector>

#include "platform/sys/log.h"

namespace kit {
namespace {

using window::ControlKind;

struct KindName {
  const char* name;
  ControlKind kind;
};
constexpr KindName kKinds[] = {
    {"STATIC", ControlKind::kStatic},       {"BUTTON", ControlKind::kButton},
    {"CHECKBOX", ControlKind::kCheckBox},   {"RADIO", ControlKind::kRadioButton},
    {"GROUPBOX", ControlKind::kGroupBox},   {"EDIT", ControlKind::kEdit},
    {"COMBOBOX", ControlKind::kComboBox},   {"LISTBOX", ControlKind::kListBox},
    {"LISTVIEW", ControlKind::kListView},   {"SPIN", ControlKind::kSpin},
    {"SLIDER", ControlKind::kSlider},       {"HSCROLL", ControlKind::kHScrollBar},
    {"VSCROLL", ControlKind::kVScrollBar},  {"PROGRESS", ControlKind::kProgressBar},
};

struct FlagName {
  const char* name;
  unsigned style;
};
constexpr FlagName kFlags[] = {
    {"default", window::kDefaultButton}, {"group", window::kGroup},       {"readonly", window::kReadOnly},
    {"multiline", window::kMultiLine},   {"disabled", window::kDisabled}, {"hidden", window::kHidden},
    {"number", window::kNumberOnly},
};

struct Token {
  std::string text;
  bool quoted = false;
};

// Splits a line into words and quoted texts; false on an unclosed quote.
bool Tokenize(std::string_view line, std::vector<Token>* tokens) {
  size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
    } else if (c == '"') {
      Token token{"", true};
      for (++i;; ++i) {
        if (i >= line.size()) return false;
        if (line[i] == '"') break;
        if (line[i] == '\\' && i + 1 < line.size()) ++i;
        token.text += line[i];
      }
      ++i;
      tokens->push_back(std::move(token));
    } else {
      const size_t start = i;
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '"') ++i;
      tokens->push_back({std::string(line.substr(start, i - start)), false});
    }
  }
  return true;
}

bool ToInt(const Token& token, int* value) {
  if (token.quoted) return false;
  const char* end = token.text.data() + token.text.size();
  const auto [ptr, ec] = std::from_chars(token.text.data(), end, *value);
  return ec == std::errc() && ptr == end;
}

bool ParseControl(const std::vector<Token>& tokens, window::ControlTemplate* control) {
  const KindName* kind = nullptr;
  for (const KindName& k : kKinds) {
    if (!tokens[0].quoted && tokens[0].text == k.name) kind = &k;
  }
  if (kind == nullptr || tokens.size() < 6) return false;
  control->kind = kind->kind;
  if (!ToInt(tokens[1], &control->id) || !ToInt(tokens[2], &control->x) || !ToInt(tokens[3], &control->y) ||
      !ToInt(tokens[4], &control->width) || !ToInt(tokens[5], &control->height)) {
    return false;
  }
  size_t next = 6;
  if (next < tokens.size() && tokens[next].quoted) control->text = tokens[next++].text;
  for (; next < tokens.size(); ++next) {
    const Token& flag = tokens[next];
    if (flag.quoted) return false;
    if (flag.text.rfind("buddy=", 0) == 0) {
      if (!ToInt({flag.text.substr(6), false}, &control->buddyId)) return false;
      continue;
    }
    const FlagName* found = nullptr;
    for (const FlagName& f : kFlags) {
      if (flag.text == f.name) found = &f;
    }
    if (found == nullptr) return false;
    control->style |= found->style;
  }
  return true;
}

}  // namespace

std::optional<window::DialogTemplate> ParseDialogLayout(int templateId, std::string_view text, std::string* error) {
  window::DialogTemplate layout;
  layout.id = templateId;
  bool haveHeader = false;
  int lineNumber = 0;
  auto fail = [&](const char* why) -> std::optional<window::DialogTemplate> {
    if (error != nullptr) *error = "line " + std::to_string(lineNumber) + ": " + why;
    return std::nullopt;
  };
  while (!text.empty()) {
    ++lineNumber;
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    std::vector<Token> tokens;
    if (!Tokenize(line, &tokens)) return fail("unclosed quote");
    if (tokens.empty() || (!tokens[0].quoted && tokens[0].text[0] == '#')) continue;
    if (!haveHeader) {
      if (tokens.size() != 4 || tokens[0].quoted || tokens[0].text != "DIALOG" || !ToInt(tokens[1], &layout.width) ||
          !ToInt(tokens[2], &layout.height) || !tokens[3].quoted) {
        return fail("expected DIALOG <width> <height> \"<caption>\"");
      }
      layout.caption = tokens[3].text;
      haveHeader = true;
      continue;
    }
    window::ControlTemplate control;
    if (!ParseControl(tokens, &control)) return fail("not a control");
    layout.controls.push_back(std::move(control));
  }
  if (!haveHeader) return fail("no DIALOG line");
  return layout;
}

window::DialogTemplateSet LoadDialogLayouts(const sys::ResourceTable* module) {
  window::DialogTemplateSet layouts;
  if (module == nullptr) return layouts;
  for (size_t i = 0; i < module->count; ++i) {
    const sys::ResourceEntry& entry = module->entries[i];
    if (strcasecmp(entry.type, sys::kResourceDialog.data()) != 0) continue;
    const std::string_view text(reinterpret_cast<const char*>(entry.data), entry.size);
    std::string error;
    if (auto layout = ParseDialogLayout(int(entry.id), text, &error)) {
      layouts.Add(std::move(*layout));
    } else {
      sys::Log("Dialog layout %u: %s", entry.id, error.c_str());
    }
  }
  return layouts;
}

}  // namespace kit
