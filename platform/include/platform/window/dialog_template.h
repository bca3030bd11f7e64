#pragma once
#include <map>
#include <string>
#include <vector>

namespace window {

enum class ControlKind {
  kStatic,       // a label
  kButton,       // a push button
  kCheckBox,
  kRadioButton,  // consecutive radio buttons form a group (see kGroup)
  kGroupBox,     // a frame with a title, drawn behind the controls it surrounds
  kEdit,
  kComboBox,     // a drop-down list
  kListBox,
  kListView,     // rows with columns
  kSpin,         // up-down arrows; its buddy edit shows the position
  kSlider,       // horizontal track bar; reports with kHScroll
  kHScrollBar,
  kVScrollBar,
  kProgressBar,
};

// Style bits of a control.
enum ControlStyle : unsigned {
  kStyleNone = 0,
  kDefaultButton = 1u << 0,  // the button that Enter presses
  kGroup = 1u << 1,          // starts a new group of radio buttons
  kReadOnly = 1u << 2,       // edits
  kMultiLine = 1u << 3,      // edits
  kDisabled = 1u << 4,
  kHidden = 1u << 5,
  kNumberOnly = 1u << 6,     // edits accept digits and a minus sign only
};

// Positions and sizes are in dialog units: a quarter of the dialog font's
// average character width across, an eighth of its height down.
struct ControlTemplate {
  ControlKind kind = ControlKind::kStatic;
  int id = -1;
  std::string text;
  int x = 0, y = 0, width = 0, height = 0;
  unsigned style = kStyleNone;
  int buddyId = 0;  // spins: the edit that shows the position (0: the control before)
};

struct DialogTemplate {
  int id = 0;
  std::string caption;
  int width = 0, height = 0;  // dialog units
  std::vector<ControlTemplate> controls;
};

// The dialog layouts of one module (the program, or one plug-in library),
// found by template id like the module's resources.
class DialogTemplateSet {
 public:
  void Add(DialogTemplate layout);
  const DialogTemplate* Find(int id) const;
  // Every template id, in increasing order.
  std::vector<int> Ids() const;

 private:
  std::map<int, DialogTemplate> layouts_;
};

}  // namespace window
