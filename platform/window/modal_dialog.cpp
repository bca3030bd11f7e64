#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QSlider>
#include <QTreeWidget>
#include <algorithm>
#include <map>
#include <vector>

#include "message_event.h"
#include "platform/window/dialog.h"
#include "platform/window/qt_dialog_layout.h"
#include "platform/window/qt_window_handle.h"
#include "platform/window/ui_thread.h"
#include "spin_control.h"

namespace window {
namespace {

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Label texts use '&' as buttons do: "&&" is one '&', a single one marks the
// mnemonic, which a label does not show.
QString LabelText(const QString& raw) {
  QString shown;
  for (qsizetype i = 0; i < raw.size(); ++i) {
    if (raw[i] == '&') {
      if (i + 1 < raw.size() && raw[i + 1] == '&') {
        shown += '&';
        ++i;
      }
      continue;
    }
    shown += raw[i];
  }
  return shown;
}

// At most `count` characters (code points, never half of one).
std::string Truncated(const QString& text, int count) {
  if (count <= 0) return {};
  QList<uint> codePoints = text.toUcs4();
  if (codePoints.size() > count) codePoints.resize(count);
  return QString::fromUcs4(reinterpret_cast<const char32_t*>(codePoints.constData()), codePoints.size())
      .toStdString();
}

// Blanks, an optional minus when signed, decimal digits, blanks; nothing else.
bool ParseDialogInt(const std::string& text, bool isSigned, int* value) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return false;
  const size_t end = text.find_last_not_of(" \t") + 1;
  bool negative = false;
  if (isSigned && text[begin] == '-') {
    negative = true;
    ++begin;
  }
  if (begin == end) return false;
  const std::int64_t limit = isSigned ? (negative ? 2147483648LL : 2147483647LL) : 4294967295LL;
  std::int64_t number = 0;
  for (size_t i = begin; i < end; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    number = number * 10 + (text[i] - '0');
    if (number > limit) return false;
  }
  if (negative) number = -number;
  *value = isSigned ? static_cast<int>(number) : static_cast<int>(static_cast<std::uint32_t>(number));
  return true;
}

// A line of text in dialog units down.
constexpr int kLineUnits = 8;

ScrollCode ScrollCodeOfAction(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: return ScrollCode::kLineRight;
    case QAbstractSlider::SliderSingleStepSub: return ScrollCode::kLineLeft;
    case QAbstractSlider::SliderPageStepAdd: return ScrollCode::kPageRight;
    case QAbstractSlider::SliderPageStepSub: return ScrollCode::kPageLeft;
    case QAbstractSlider::SliderToMinimum: return ScrollCode::kLeft;
    case QAbstractSlider::SliderToMaximum: return ScrollCode::kRight;
    default: return ScrollCode::kThumbTrack;
  }
}

class ModalDialog final : public QDialog, public Dialog {
 public:
  ModalDialog(const DialogTemplate& layout, QWidget* parent, DialogProc proc)
      : QDialog(parent), proc_(std::move(proc)) {
    setWindowTitle(FromUtf8(layout.caption));
    for (const ControlTemplate& control : layout.controls) Build(control);
    std::vector<QWidget*> widgets;
    for (const Control& control : controls_) widgets.push_back(control.widget);
    setFixedSize(PlaceDialogControls(layout, widgets, font()));
    for (Control& control : controls_) {
      if (control.kind == ControlKind::kStatic) ShowStaticText(control);
    }
    ResolveBuddies(layout);
  }

  std::intptr_t Run(LParam param) {
    Send(msg::kInitDialog, 0, param);
    if (!ended_) {
      running_ = true;
      exec();
      running_ = false;
    }
    Send(msg::kDestroy, 0, 0);
    return result_;
  }

  // --- Dialog ---------------------------------------------------------------

  void Post(MessageId message, WParam w, LParam l) override {
    PostMessageEvent(this, message, w, l);
  }

  WindowHandle Handle() override { return HandleOf(this); }
  void SetCaption(const std::string& text) override { setWindowTitle(FromUtf8(text)); }
  bool HasItem(int id) override { return Find(id) != nullptr; }

  void SetItemText(int id, const std::string& text) override {
    Control* control = Find(id);
    if (control == nullptr) return;
    const QString value = FromUtf8(text);
    QWidget* widget = control->widget;
    switch (control->kind) {
      case ControlKind::kStatic:
        control->rawText = value;
        ShowStaticText(*control);
        break;
      case ControlKind::kButton:
      case ControlKind::kCheckBox:
      case ControlKind::kRadioButton: static_cast<QAbstractButton*>(widget)->setText(value); break;
      case ControlKind::kGroupBox: static_cast<QGroupBox*>(widget)->setTitle(value); break;
      case ControlKind::kEdit:
        if (auto* line = qobject_cast<QLineEdit*>(widget)) {
          line->setText(value);
        } else {
          static_cast<QPlainTextEdit*>(widget)->setPlainText(value);
        }
        break;
      case ControlKind::kComboBox: {
        auto* combo = static_cast<QComboBox*>(widget);
        combo->setCurrentIndex(combo->findText(value, Qt::MatchFixedString));
        break;
      }
      default: break;
    }
  }

  std::string GetItemText(int id, int bufferSize) override {
    Control* control = Find(id);
    if (control == nullptr) return {};
    return Truncated(TextOf(*control), bufferSize - 1);
  }

  void SetItemInt(int id, int value, bool isSigned) override {
    SetItemText(id, isSigned ? std::to_string(value) : std::to_string(static_cast<std::uint32_t>(value)));
  }

  int GetItemInt(int id, bool* ok, bool isSigned) override {
    int value = 0;
    const bool parsed = Find(id) != nullptr && ParseDialogInt(GetItemText(id, 0x7FFFFFFF), isSigned, &value);
    if (ok != nullptr) *ok = parsed;
    return parsed ? value : 0;
  }

  void SetItemFont(int id, const FontDescription& description) override {
    Control* control = Find(id);
    if (control == nullptr) return;
    QFont font = this->font();
    if (!description.face.empty()) font.setFamily(FromUtf8(description.face));
    if (description.height > 0) font.setPixelSize(description.height);
    font.setWeight(static_cast<QFont::Weight>(std::clamp(description.weight, 1, 1000)));
    font.setItalic(description.italic);
    font.setUnderline(description.underline);
    font.setStrikeOut(description.strikeOut);
    control->widget->setFont(font);
  }

  void CheckButton(int id, CheckState state) override {
    Control* control = Find(id);
    if (control == nullptr) return;
    if (control->kind == ControlKind::kCheckBox) {
      auto* box = static_cast<QCheckBox*>(control->widget);
      if (state == CheckState::kIndeterminate) box->setTristate(true);
      box->setCheckState(state == CheckState::kChecked         ? Qt::Checked
                         : state == CheckState::kIndeterminate ? Qt::PartiallyChecked
                                                               : Qt::Unchecked);
    } else if (control->kind == ControlKind::kRadioButton) {
      // Like the system's radio buttons, setting one leaves the others alone.
      static_cast<QRadioButton*>(control->widget)->setChecked(state == CheckState::kChecked);
    }
  }

  CheckState GetCheck(int id) override {
    Control* control = Find(id);
    if (control == nullptr) return CheckState::kUnchecked;
    if (control->kind == ControlKind::kCheckBox) {
      switch (static_cast<QCheckBox*>(control->widget)->checkState()) {
        case Qt::Checked: return CheckState::kChecked;
        case Qt::PartiallyChecked: return CheckState::kIndeterminate;
        case Qt::Unchecked: return CheckState::kUnchecked;
      }
    }
    if (control->kind == ControlKind::kRadioButton) {
      return static_cast<QRadioButton*>(control->widget)->isChecked() ? CheckState::kChecked : CheckState::kUnchecked;
    }
    return CheckState::kUnchecked;
  }

  void CheckRadioButton(int first, int last, int id) override {
    for (Control& control : controls_) {
      if (control.kind == ControlKind::kRadioButton && control.id >= first && control.id <= last) {
        static_cast<QRadioButton*>(control.widget)->setChecked(control.id == id);
      }
    }
  }

  int AddString(int id, const std::string& text) override {
    Control* control = Find(id);
    if (control == nullptr) return -1;
    const QString value = FromUtf8(text);
    const Quiet quiet(this);
    switch (control->kind) {
      case ControlKind::kComboBox: {
        auto* combo = static_cast<QComboBox*>(control->widget);
        combo->addItem(value, QVariant::fromValue<qlonglong>(0));
        return combo->count() - 1;
      }
      case ControlKind::kListBox: {
        auto* list = static_cast<QListWidget*>(control->widget);
        auto* item = new QListWidgetItem(value, list);
        item->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(0));
        return list->count() - 1;
      }
      case ControlKind::kListView: {
        auto* tree = static_cast<QTreeWidget*>(control->widget);
        auto* item = new QTreeWidgetItem(tree, QStringList{value});
        item->setData(0, Qt::UserRole, QVariant::fromValue<qlonglong>(0));
        if (isVisible()) FitColumns(tree);
        return tree->topLevelItemCount() - 1;
      }
      default: return -1;
    }
  }

  void ResetContent(int id) override {
    Control* control = Find(id);
    if (control == nullptr) return;
    const Quiet quiet(this);
    if (control->kind == ControlKind::kComboBox) static_cast<QComboBox*>(control->widget)->clear();
    if (control->kind == ControlKind::kListBox) static_cast<QListWidget*>(control->widget)->clear();
    if (control->kind == ControlKind::kListView) static_cast<QTreeWidget*>(control->widget)->clear();
  }

  int GetCount(int id) override {
    Control* control = Find(id);
    if (control == nullptr) return 0;
    switch (control->kind) {
      case ControlKind::kComboBox: return static_cast<QComboBox*>(control->widget)->count();
      case ControlKind::kListBox: return static_cast<QListWidget*>(control->widget)->count();
      case ControlKind::kListView: return static_cast<QTreeWidget*>(control->widget)->topLevelItemCount();
      default: return 0;
    }
  }

  std::string GetString(int id, int index) override {
    const QVariant value = EntryData(id, index, Qt::DisplayRole);
    return value.isValid() ? value.toString().toStdString() : std::string();
  }

  int FindStringExact(int id, const std::string& text) override {
    const QString wanted = FromUtf8(text);
    const int count = GetCount(id);
    for (int i = 0; i < count; ++i) {
      if (EntryData(id, i, Qt::DisplayRole).toString().compare(wanted, Qt::CaseInsensitive) == 0) return i;
    }
    return -1;
  }

  void SetItemData(int id, int index, std::intptr_t data) override {
    SetEntryData(id, index, QVariant::fromValue<qlonglong>(static_cast<qlonglong>(data)));
  }

  std::intptr_t GetItemData(int id, int index) override {
    const QVariant value = EntryData(id, index, Qt::UserRole);
    return value.isValid() ? static_cast<std::intptr_t>(value.toLongLong()) : 0;
  }

  void SetCurSel(int id, int index) override {
    Control* control = Find(id);
    if (control == nullptr) return;
    const Quiet quiet(this);
    switch (control->kind) {
      case ControlKind::kComboBox: {
        auto* combo = static_cast<QComboBox*>(control->widget);
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
        break;
      }
      case ControlKind::kListBox: {
        auto* list = static_cast<QListWidget*>(control->widget);
        if (index >= 0 && index < list->count()) {
          list->setCurrentRow(index);
        } else {
          list->clearSelection();
          list->setCurrentRow(-1);
        }
        break;
      }
      case ControlKind::kListView: {
        auto* tree = static_cast<QTreeWidget*>(control->widget);
        QTreeWidgetItem* item = index >= 0 ? tree->topLevelItem(index) : nullptr;
        if (item != nullptr) {
          tree->setCurrentItem(item);
          tree->scrollToItem(item);
        } else {
          tree->clearSelection();
          tree->setCurrentItem(nullptr);
        }
        break;
      }
      default: break;
    }
  }

  int GetCurSel(int id) override {
    Control* control = Find(id);
    if (control == nullptr) return -1;
    switch (control->kind) {
      case ControlKind::kComboBox: return static_cast<QComboBox*>(control->widget)->currentIndex();
      case ControlKind::kListBox: {
        auto* list = static_cast<QListWidget*>(control->widget);
        QListWidgetItem* item = list->currentItem();
        return item != nullptr && item->isSelected() ? list->row(item) : -1;
      }
      case ControlKind::kListView: {
        auto* tree = static_cast<QTreeWidget*>(control->widget);
        QTreeWidgetItem* item = tree->currentItem();
        return item != nullptr && item->isSelected() ? tree->indexOfTopLevelItem(item) : -1;
      }
      default: return -1;
    }
  }

  void AddColumn(int id, const std::string& title, int widthPixels) override {
    Control* control = Find(id);
    if (control == nullptr || control->kind != ControlKind::kListView) return;
    auto* tree = static_cast<QTreeWidget*>(control->widget);
    const int column = control->columns++;
    tree->setColumnCount(std::max(1, control->columns));
    tree->headerItem()->setText(column, FromUtf8(title));
    tree->setColumnWidth(column, widthPixels);
    tree->header()->setVisible(true);
  }

  void SetCellText(int id, int row, int column, const std::string& text) override {
    Control* control = Find(id);
    if (control == nullptr || control->kind != ControlKind::kListView || column < 0) return;
    auto* tree = static_cast<QTreeWidget*>(control->widget);
    QTreeWidgetItem* item = tree->topLevelItem(row);
    if (item != nullptr) item->setText(column, FromUtf8(text));
    if (isVisible()) FitColumns(tree);
  }

  void SetRange(int id, int minimum, int maximum) override {
    Control* control = Find(id);
    if (control == nullptr) return;
    if (control->kind == ControlKind::kSpin) {
      auto* spin = static_cast<SpinControl*>(control->widget);
      spin->SetRange(minimum, maximum);
    } else if (auto* slider = qobject_cast<QAbstractSlider*>(control->widget)) {
      slider->setRange(minimum, maximum);
    } else if (auto* bar = qobject_cast<QProgressBar*>(control->widget)) {
      bar->setRange(minimum, maximum);
    }
  }

  void SetPosition(int id, int position) override {
    Control* control = Find(id);
    if (control == nullptr) return;
    if (control->kind == ControlKind::kSpin) {
      static_cast<SpinControl*>(control->widget)->SetPosition(position);
      WriteBuddy(*control);
    } else if (auto* slider = qobject_cast<QAbstractSlider*>(control->widget)) {
      slider->setValue(position);
    } else if (auto* bar = qobject_cast<QProgressBar*>(control->widget)) {
      bar->setValue(position);
    }
  }

  int GetPosition(int id) override {
    Control* control = Find(id);
    if (control == nullptr) return 0;
    if (control->kind == ControlKind::kSpin) return SyncSpinFromBuddy(*control);
    // During a drag the slider's position runs ahead of its value.
    if (auto* slider = qobject_cast<QAbstractSlider*>(control->widget)) return slider->sliderPosition();
    if (auto* bar = qobject_cast<QProgressBar*>(control->widget)) return bar->value();
    return 0;
  }

  void EnableItem(int id, bool enabled) override {
    if (Control* control = Find(id)) control->widget->setEnabled(enabled);
  }
  bool IsItemEnabled(int id) override {
    Control* control = Find(id);
    return control != nullptr && control->widget->isEnabled();
  }
  void ShowItem(int id, bool shown) override {
    if (Control* control = Find(id)) control->widget->setVisible(shown);
  }
  bool IsItemShown(int id) override {
    Control* control = Find(id);
    return control != nullptr && !control->widget->isHidden();
  }
  void SetFocus(int id) override {
    if (Control* control = Find(id)) control->widget->setFocus(Qt::OtherFocusReason);
  }

  void SetTimer(int timerId, int milliseconds) override {
    KillTimer(timerId);
    timers_[timerId] = startTimer(std::max(0, milliseconds));
  }

  void KillTimer(int timerId) override {
    const auto found = timers_.find(timerId);
    if (found == timers_.end()) return;
    killTimer(found->second);
    timers_.erase(found);
  }

  void End(std::intptr_t result) override {
    result_ = result;
    ended_ = true;
    if (running_) done(0);
  }

 protected:
  bool event(QEvent* event) override {
    TakeOverEvent(event);
    if (event->type() == MessageEvent::Type()) {
      const auto* posted = static_cast<const MessageEvent*>(event);
      if (!ended_) Send(posted->message, posted->w, posted->l);
      return true;
    }
    return QDialog::event(event);
  }

  void showEvent(QShowEvent* event) override {
    // The procedure fills its lists before the dialog shows.
    for (Control& control : controls_) {
      if (control.kind == ControlKind::kListView) FitColumns(static_cast<QTreeWidget*>(control.widget));
    }
    QDialog::showEvent(event);
  }

  void timerEvent(QTimerEvent* event) override {
    for (const auto& [timerId, qtId] : timers_) {
      if (qtId == event->timerId()) {
        if (!ended_) Send(msg::kTimer, static_cast<WParam>(timerId), 0);
        return;
      }
    }
    QDialog::timerEvent(event);
  }

  // Esc: the procedure decides, as with the Cancel button.
  void reject() override {
    if (!ended_) Send(msg::kCommand, MakeCommand(kIdCancel), 0);
  }

  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    if (ended_) return;
    if (Send(msg::kClose, 0, 0) == 0 && !ended_) Send(msg::kCommand, MakeCommand(kIdCancel), 0);
  }

 private:
  struct Control {
    int id = -1;
    ControlKind kind = ControlKind::kStatic;
    QWidget* widget = nullptr;
    QString rawText;   // statics: the text as set, '&' and all
    int group = -1;    // radio buttons: their group
    int buddy = -1;    // spins: index of the buddy edit
    int columns = 0;   // list views
  };

  // Silences the selection reports of list boxes while the program itself
  // changes them; the user's changes still report.
  struct Quiet {
    explicit Quiet(ModalDialog* dialog) : dialog(dialog), was(dialog->quiet_) { dialog->quiet_ = true; }
    ~Quiet() { dialog->quiet_ = was; }
    ModalDialog* dialog;
    bool was;
  };

  std::intptr_t Send(MessageId message, WParam w, LParam l) {
    if (!proc_) return 0;
    return proc_(*this, message, w, l);
  }

  void SendCommand(int id, NotifyCode code) { Send(msg::kCommand, MakeCommand(id, code), 0); }

  // A one-line static shows a text too long for it (a source's path, set
  // while the dialog runs) shortened in the middle, whole as its tooltip.
  static void ShowStaticText(Control& control) {
    auto* label = static_cast<QLabel*>(control.widget);
    const QString whole = LabelText(control.rawText);
    if (label->wordWrap()) {
      label->setText(whole);
      return;
    }
    const QString shown = ElidedPath(label->fontMetrics(), whole, label->contentsRect().width());
    label->setText(shown);
    label->setToolTip(shown == whole ? QString() : whole);
  }

  // List views show their entries whole: a column grows to its widest cell.
  static void FitColumns(QTreeWidget* tree) {
    for (int column = 0; column < tree->columnCount(); ++column) {
      const int wanted = static_cast<QAbstractItemView*>(tree)->sizeHintForColumn(column);
      if (wanted > tree->columnWidth(column)) tree->setColumnWidth(column, wanted);
    }
  }

  Control* Find(int id) {
    for (Control& control : controls_) {
      if (control.id == id) return &control;
    }
    return nullptr;
  }

  QString TextOf(const Control& control) const {
    QWidget* widget = control.widget;
    switch (control.kind) {
      case ControlKind::kStatic: return control.rawText;
      case ControlKind::kButton:
      case ControlKind::kCheckBox:
      case ControlKind::kRadioButton: return static_cast<QAbstractButton*>(widget)->text();
      case ControlKind::kGroupBox: return static_cast<QGroupBox*>(widget)->title();
      case ControlKind::kEdit:
        if (auto* line = qobject_cast<QLineEdit*>(widget)) return line->text();
        return static_cast<QPlainTextEdit*>(widget)->toPlainText();
      case ControlKind::kComboBox: return static_cast<QComboBox*>(widget)->currentText();
      case ControlKind::kListBox: {
        QListWidgetItem* item = static_cast<QListWidget*>(widget)->currentItem();
        return item != nullptr ? item->text() : QString();
      }
      default: return {};
    }
  }

  QVariant EntryData(int id, int index, int role) {
    Control* control = Find(id);
    if (control == nullptr || index < 0) return {};
    switch (control->kind) {
      case ControlKind::kComboBox: {
        auto* combo = static_cast<QComboBox*>(control->widget);
        return index < combo->count() ? combo->itemData(index, role) : QVariant();
      }
      case ControlKind::kListBox: {
        QListWidgetItem* item = static_cast<QListWidget*>(control->widget)->item(index);
        return item != nullptr ? item->data(role) : QVariant();
      }
      case ControlKind::kListView: {
        QTreeWidgetItem* item = static_cast<QTreeWidget*>(control->widget)->topLevelItem(index);
        return item != nullptr ? item->data(0, role) : QVariant();
      }
      default: return {};
    }
  }

  void SetEntryData(int id, int index, const QVariant& value) {
    Control* control = Find(id);
    if (control == nullptr || index < 0) return;
    switch (control->kind) {
      case ControlKind::kComboBox: {
        auto* combo = static_cast<QComboBox*>(control->widget);
        if (index < combo->count()) combo->setItemData(index, value, Qt::UserRole);
        break;
      }
      case ControlKind::kListBox:
        if (QListWidgetItem* item = static_cast<QListWidget*>(control->widget)->item(index)) {
          item->setData(Qt::UserRole, value);
        }
        break;
      case ControlKind::kListView:
        if (QTreeWidgetItem* item = static_cast<QTreeWidget*>(control->widget)->topLevelItem(index)) {
          item->setData(0, Qt::UserRole, value);
        }
        break;
      default: break;
    }
  }

  void WriteBuddy(const Control& spin) {
    if (spin.buddy < 0) return;
    const int position = static_cast<SpinControl*>(spin.widget)->Position();
    const Control& buddy = controls_[static_cast<size_t>(spin.buddy)];
    if (auto* line = qobject_cast<QLineEdit*>(buddy.widget)) line->setText(QString::number(position));
  }

  // The user may have typed into the buddy: a valid number in range there
  // is the spin's position.
  int SyncSpinFromBuddy(Control& control) {
    auto* spin = static_cast<SpinControl*>(control.widget);
    if (control.buddy >= 0) {
      int typed = 0;
      const QString text = TextOf(controls_[static_cast<size_t>(control.buddy)]);
      if (ParseDialogInt(text.toStdString(), true, &typed) && spin->Clamp(typed) == typed) spin->SetPosition(typed);
    }
    return spin->Position();
  }

  void Build(const ControlTemplate& layout) {
    Control control;
    control.id = layout.id;
    control.kind = layout.kind;
    const QString text = FromUtf8(layout.text);
    const int id = layout.id;
    const bool startsGroup = layout.kind == ControlKind::kRadioButton &&
                             ((layout.style & kGroup) != 0 || controls_.empty() ||
                              controls_.back().kind != ControlKind::kRadioButton);
    switch (layout.kind) {
      case ControlKind::kStatic: {
        auto* label = new QLabel(LabelText(text), this);
        // Only a static of two lines or more wraps; a one-line static that
        // wrapped would show half of its second line.
        label->setWordWrap(layout.height >= 2 * kLineUnits);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        control.rawText = text;
        control.widget = label;
        break;
      }
      case ControlKind::kButton: {
        auto* button = new QPushButton(text, this);
        button->setDefault((layout.style & kDefaultButton) != 0);
        connect(button, &QPushButton::clicked, this, [this, id] { SendCommand(id, NotifyCode::kClicked); });
        control.widget = button;
        break;
      }
      case ControlKind::kCheckBox: {
        auto* box = new QCheckBox(text, this);
        connect(box, &QCheckBox::clicked, this, [this, id] { SendCommand(id, NotifyCode::kClicked); });
        control.widget = box;
        break;
      }
      case ControlKind::kRadioButton: {
        auto* radio = new QRadioButton(text, this);
        // Exclusivity is ours: only the user's click unchecks the others.
        radio->setAutoExclusive(false);
        control.group = startsGroup ? ++groups_ : groups_;
        const int group = control.group;
        connect(radio, &QRadioButton::clicked, this, [this, id, group, radio] {
          radio->setChecked(true);
          for (Control& other : controls_) {
            if (other.group == group && other.widget != radio) static_cast<QRadioButton*>(other.widget)->setChecked(false);
          }
          SendCommand(id, NotifyCode::kClicked);
        });
        control.widget = radio;
        break;
      }
      case ControlKind::kGroupBox: {
        auto* box = new QGroupBox(text, this);
        control.widget = box;
        break;
      }
      case ControlKind::kEdit: {
        if ((layout.style & kMultiLine) != 0) {
          auto* edit = new QPlainTextEdit(text, this);
          edit->setReadOnly((layout.style & kReadOnly) != 0);
          connect(edit, &QPlainTextEdit::textChanged, this, [this, id] { SendCommand(id, NotifyCode::kTextChanged); });
          control.widget = edit;
        } else {
          auto* edit = new QLineEdit(text, this);
          edit->setReadOnly((layout.style & kReadOnly) != 0);
          if ((layout.style & kNumberOnly) != 0) {
            edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]*")), edit));
          }
          connect(edit, &QLineEdit::textChanged, this, [this, id] { SendCommand(id, NotifyCode::kTextChanged); });
          control.widget = edit;
        }
        break;
      }
      case ControlKind::kComboBox: {
        auto* combo = new QComboBox(this);
        connect(combo, &QComboBox::activated, this, [this, id] { SendCommand(id, NotifyCode::kSelectionChanged); });
        control.widget = combo;
        break;
      }
      case ControlKind::kListBox: {
        auto* list = new QListWidget(this);
        connect(list, &QListWidget::itemSelectionChanged, this, [this, id] {
          if (!quiet_) SendCommand(id, NotifyCode::kSelectionChanged);
        });
        connect(list, &QListWidget::itemDoubleClicked, this, [this, id] { SendCommand(id, NotifyCode::kDoubleClicked); });
        control.widget = list;
        break;
      }
      case ControlKind::kListView: {
        auto* tree = new QTreeWidget(this);
        tree->setRootIsDecorated(false);
        tree->setAllColumnsShowFocus(true);
        tree->setColumnCount(1);
        tree->header()->setVisible(false);
        connect(tree, &QTreeWidget::currentItemChanged, this, [this, id, tree](QTreeWidgetItem* current) {
          if (quiet_) return;
          Notification note{id, NotificationCode::kItemChanged, 0, 0, tree->indexOfTopLevelItem(current)};
          Send(msg::kNotify, static_cast<WParam>(id), reinterpret_cast<LParam>(&note));
        });
        connect(tree, &QTreeWidget::itemDoubleClicked, this, [this, id, tree](QTreeWidgetItem* item) {
          Notification note{id, NotificationCode::kItemActivated, 0, 0, tree->indexOfTopLevelItem(item)};
          Send(msg::kNotify, static_cast<WParam>(id), reinterpret_cast<LParam>(&note));
        });
        control.widget = tree;
        break;
      }
      case ControlKind::kSpin: {
        auto* spin = new SpinControl(this);
        const size_t index = controls_.size();
        spin->onStep = [this, id, index](int delta) { StepSpin(index, id, delta); };
        control.widget = spin;
        break;
      }
      case ControlKind::kSlider:
      case ControlKind::kHScrollBar:
      case ControlKind::kVScrollBar: {
        QAbstractSlider* slider = nullptr;
        if (layout.kind == ControlKind::kSlider) {
          auto* track = new QSlider(Qt::Horizontal, this);
          track->setTickPosition(QSlider::TicksBelow);
          slider = track;
        } else {
          slider = new QScrollBar(layout.kind == ControlKind::kVScrollBar ? Qt::Vertical : Qt::Horizontal, this);
        }
        const MessageId message = layout.kind == ControlKind::kVScrollBar ? msg::kVScroll : msg::kHScroll;
        connect(slider, &QAbstractSlider::actionTriggered, this, [this, id, message, slider](int action) {
          const auto code = static_cast<unsigned>(ScrollCodeOfAction(action));
          Send(message, MakeWParam(code, static_cast<unsigned>(slider->sliderPosition())), id);
        });
        connect(slider, &QAbstractSlider::sliderReleased, this, [this, id, message, slider] {
          Send(message, MakeWParam(static_cast<unsigned>(ScrollCode::kThumbPosition),
                                   static_cast<unsigned>(slider->sliderPosition())), id);
          Send(message, MakeWParam(static_cast<unsigned>(ScrollCode::kEndScroll), 0), id);
        });
        control.widget = slider;
        break;
      }
      case ControlKind::kProgressBar: {
        auto* bar = new QProgressBar(this);
        bar->setTextVisible(false);
        control.widget = bar;
        break;
      }
    }
    QWidget* widget = control.widget;
    widget->setObjectName(QString::number(layout.id));
    if (layout.kind == ControlKind::kGroupBox) widget->lower();
    if ((layout.style & kDisabled) != 0) widget->setEnabled(false);
    if ((layout.style & kHidden) != 0) widget->setVisible(false);
    controls_.push_back(control);
  }

  void ResolveBuddies(const DialogTemplate& layout) {
    for (size_t i = 0; i < controls_.size(); ++i) {
      if (controls_[i].kind != ControlKind::kSpin) continue;
      const int buddyId = layout.controls[i].buddyId;
      for (size_t j = 0; j < controls_.size(); ++j) {
        const bool chosen = buddyId != 0 ? controls_[j].id == buddyId : j + 1 == i;
        if (chosen && controls_[j].kind == ControlKind::kEdit) {
          controls_[i].buddy = static_cast<int>(j);
          break;
        }
      }
    }
  }

  void StepSpin(size_t index, int id, int delta) {
    Control& control = controls_[index];
    auto* spin = static_cast<SpinControl*>(control.widget);
    Notification note{id, NotificationCode::kSpinDelta, SyncSpinFromBuddy(control), delta, -1};
    if (Send(msg::kNotify, static_cast<WParam>(id), reinterpret_cast<LParam>(&note)) != 0) return;
    spin->SetPosition(spin->Position() + delta);
    WriteBuddy(control);
    Send(msg::kVScroll, MakeWParam(static_cast<unsigned>(ScrollCode::kThumbPosition),
                                   static_cast<unsigned>(spin->Position())), id);
  }

  DialogProc proc_;
  std::vector<Control> controls_;
  std::map<int, int> timers_;
  int groups_ = 0;
  bool quiet_ = false;
  bool ended_ = false;
  bool running_ = false;
  std::intptr_t result_ = 0;
};

}  // namespace

std::intptr_t RunModalDialog(const DialogTemplateSet& templates, int templateId, WindowHandle owner,
                             DialogProc proc, LParam param) {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr || !IsUiThread()) return -1;
  const DialogTemplate* layout = templates.Find(templateId);
  if (layout == nullptr) return -1;
  ModalDialog dialog(*layout, WidgetOf(owner), std::move(proc));
  return dialog.Run(param);
}

}  // namespace window
