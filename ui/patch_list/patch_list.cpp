#include "patch_list/patch_list.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <algorithm>
#include <cstdio>

#include "patch_list/note_names.h"
#include "platform/window/qt_keys.h"
#include "platform/window/virtual_keys.h"

namespace ui {
namespace {

// The state marks: a hollow dot for an idle row, a filled one for a playing row.
QIcon StateMark(bool playing) {
  QPixmap pixmap(12, 12);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setPen(QColor(40, 40, 40));
  painter.setBrush(playing ? QColor(40, 200, 60) : QColor(Qt::transparent));
  painter.drawEllipse(2, 2, 7, 7);
  return QIcon(pixmap);
}

int DefaultMenu(const PopupMenu& model, const QPoint& screenPoint) {
  QMenu menu;
  for (const PopupItem& item : model.items) {
    if (item.id == 0) {
      menu.addSeparator();
      continue;
    }
    QAction* action = menu.addAction(QString::fromUtf8(item.text.c_str()));
    action->setEnabled(item.enabled);
    action->setCheckable(item.checked);
    action->setChecked(item.checked);
    action->setData(item.id);
  }
  // Vertically centred on the point.
  const QPoint at(screenPoint.x(), screenPoint.y() - menu.sizeHint().height() / 2);
  QAction* chosen = menu.exec(at);
  return chosen != nullptr ? chosen->data().toInt() : 0;
}

// The file-name part of a source name.
std::string FilePart(const std::string& name) {
  const size_t cut = name.find_last_of("\\/");
  return cut == std::string::npos ? name : name.substr(cut + 1);
}

}  // namespace

PatchList::PatchList(QWidget* parent, Links links) : QTableWidget(parent), links_(std::move(links)) {
  menuRunner_ = DefaultMenu;
  QFont listFont(QStringLiteral("tahoma"));
  listFont.setPixelSize(12);
  listFont.setWeight(QFont::Normal);
  setFont(listFont);
  setShowGrid(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setDragEnabled(false);
  setIconSize(QSize(12, 12));
  verticalHeader()->setVisible(false);
  verticalHeader()->setDefaultSectionSize(QFontMetrics(listFont).height() + 4);
  setColumnCount(kColumns);
  setHorizontalHeaderLabels({QStringLiteral("Note"), QStringLiteral("Pri"), QStringLiteral("Buffer"),
                             QStringLiteral("Plugin"), QStringLiteral("Source")});
  // The note column also holds the 12-pixel state mark before its text.
  const int widths[kColumns] = {44 + 12 + 8, 26, 80, 100, 300};
  for (int column = 0; column < kColumns; ++column) setColumnWidth(column, widths[column]);
  horizontalHeader()->setStretchLastSection(false);
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& point) { OnContextMenu(viewport()->mapToGlobal(point)); });
  connect(this, &QTableWidget::currentCellChanged, this,
          [this](int row, int, int previousRow, int) { OnFocusChanged(row, previousRow); });
}

lv::Performance* PatchList::CurrentPerformance() const {
  return links_.performer != nullptr ? links_.performer->GetPerformance() : nullptr;
}

int PatchList::WorkBufferCount() const { return links_.workBuffers != nullptr ? links_.workBuffers->Count() : 0; }

std::vector<std::string> PatchList::WorkBufferList() const {
  std::vector<std::string> names;
  for (int i = 0; i < WorkBufferCount(); ++i) names.push_back(links_.workBuffers->Name(i));
  return names;
}

void PatchList::Refresh() {
  refreshing_ = true;
  clearContents();
  setRowCount(0);
  if (lv::Performance* performance = CurrentPerformance()) {
    setUpdatesEnabled(false);
    setRowCount(kRows);
    for (int note = 0; note < kRows; ++note) {
      for (int column = 0; column < kColumns; ++column) setItem(note, column, new QTableWidgetItem);
      item(note, 0)->setIcon(StateMark(false));
      UpdateItem(note, *performance);
      if (IsPlaying(note)) SetRowPlaying(note, true);
    }
    setUpdatesEnabled(true);
    viewport()->update();
  }
  refreshing_ = false;
  if (links_.shelf != nullptr) links_.shelf->Populate(nullptr);
}

void PatchList::SetText(int row, int column, const std::string& text) {
  QTableWidgetItem* cell = item(row, column);
  if (cell == nullptr) return;
  cell->setText(QString::fromUtf8(text.c_str()));
  // Names show whole: a column grows to the widest text it holds.
  const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
  const int icon = cell->icon().isNull() ? 0 : iconSize().width() + margins;
  const int wanted = fontMetrics().horizontalAdvance(cell->text()) + margins + icon;
  if (wanted > columnWidth(column)) setColumnWidth(column, wanted);
}

void PatchList::UpdateItem(int note, const lv::Performance& performance) {
  if (note < 0 || note >= rowCount()) return;
  SetText(note, 0, NoteName(note));
  if (performance.currentBank == nullptr) return;
  const lv::NoteSlot& slot = performance.currentBank->slots[note];
  if (!slot.patch) {
    for (int column = 1; column < kColumns; ++column) SetText(note, column, "");
    return;
  }
  char text[600];
  std::snprintf(text, sizeof text, slot.priority >= 0 ? "+%d" : "%d", slot.priority);
  SetText(note, 1, text);
  if (slot.target < 0 || slot.target >= WorkBufferCount()) {
    std::snprintf(text, sizeof text, "%d:Screen", slot.target + 1);
  } else {
    std::snprintf(text, sizeof text, "%d:%.500s", slot.target + 1, links_.workBuffers->Name(slot.target).c_str());
  }
  SetText(note, 2, text);
  lv::Plug& patch = *slot.patch;
  if (links_.kinds != nullptr && patch.GetClassId() != nullptr) {
    if (lv::PlugDesc* kind = links_.kinds->Find(*patch.GetClassId())) {
      SetText(note, 3, kind->GetName() != nullptr ? kind->GetName() : "");
    }
  }
  if (patch.GetNumInputs() > 0) {
    const char* input = patch.GetInputName(0);
    if (input != nullptr) SetText(note, 4, FilePart(input));
  }
}

void PatchList::RefreshNote(int note) {
  lv::Performance* performance = CurrentPerformance();
  if (performance == nullptr) return;
  UpdateItem(note, *performance);
  if (performance->currentBank != nullptr && links_.shelf != nullptr) {
    links_.shelf->Populate(&performance->currentBank->slots[note & 127]);
  }
}

void PatchList::SetRowPlaying(int note, bool playing) {
  if (note >= rowCount()) return;
  const QBrush background = playing ? palette().brush(QPalette::Highlight) : QBrush();
  const QBrush foreground = playing ? palette().brush(QPalette::HighlightedText) : QBrush();
  for (int column = 0; column < kColumns; ++column) {
    if (QTableWidgetItem* cell = item(note, column)) {
      cell->setBackground(background);
      cell->setForeground(foreground);
    }
  }
  if (QTableWidgetItem* cell = item(note, 0)) {
    cell->setIcon(StateMark(playing));
    cell->setData(kPlayingRole, playing);
  }
}

void PatchList::MarkNotePlaying(int note, int channel) {
  if (note < 0 || note >= kRows) return;
  uint16_t& mask = playing_[static_cast<size_t>(note)];
  if (mask == 0) SetRowPlaying(note, true);
  if (selector_ && note < rowCount()) setCurrentCell(note, std::max(0, currentColumn()), QItemSelectionModel::NoUpdate);
  if (note < rowCount()) scrollToItem(item(note, 0));
  mask = static_cast<uint16_t>(mask | (1u << (channel & 15)));
}

void PatchList::MarkNoteReleased(int note, int channel) {
  if (note < 0 || note >= kRows) return;
  uint16_t& mask = playing_[static_cast<size_t>(note)];
  mask = static_cast<uint16_t>(mask & ~(1u << (channel & 15)));
  if (mask == 0) SetRowPlaying(note, false);
}

void PatchList::ClearPlaying() {
  for (int note = 0; note < kRows; ++note) {
    playing_[static_cast<size_t>(note)] = 0;
    SetRowPlaying(note, false);
  }
  clearSelection();
}

void PatchList::AdjustPriority(int delta) {
  lv::Performance* performance = CurrentPerformance();
  const int note = currentRow();
  if (note < 0 || performance == nullptr || performance->currentBank == nullptr) return;
  lv::NoteSlot& slot = performance->currentBank->slots[note];
  slot.priority = static_cast<int8_t>(std::clamp(slot.priority + delta, -127, 127));
  performance->modified = 1;
  RefreshNote(note);
}

void PatchList::AdjustTarget(int delta) {
  lv::Performance* performance = CurrentPerformance();
  const int note = currentRow();
  if (note < 0 || performance == nullptr || performance->currentBank == nullptr) return;
  lv::NoteSlot& slot = performance->currentBank->slots[note];
  int target = slot.target + delta;
  if (target >= WorkBufferCount()) target = WorkBufferCount() - 1;
  if (target < -1) target = -1;
  slot.target = target;
  performance->modified = 1;
  RefreshNote(note);
}

void PatchList::OnContextMenu(const QPoint& screenPoint) {
  lv::Performance* performance = CurrentPerformance();
  if (performance == nullptr || performance->currentBank == nullptr) return;
  lv::Bank& bank = *performance->currentBank;
  QList<int> selected;
  for (const QModelIndex& index : selectionModel()->selectedRows()) selected.push_back(index.row());
  std::sort(selected.begin(), selected.end());
  if (selected.size() >= 2 && bank.slots[selected[0]].patch && bank.slots[selected[1]].patch) return;
  const QModelIndex hit = indexAt(viewport()->mapFromGlobal(screenPoint));
  if (!hit.isValid()) return;
  lv::NoteSlot& slot = bank.slots[hit.row()];
  const PopupMenu menu = BuildSlotMenu(hit.column(), slot, WorkBufferList());
  if (menu.Empty()) return;
  const int chosen = menuRunner_(menu, screenPoint);
  if (!ApplySlotMenuChoice(hit.column(), chosen, slot, WorkBufferCount())) return;
  performance->modified = 1;
  RefreshNote(hit.row());
}

void PatchList::OnFocusChanged(int row, int previousRow) {
  if (refreshing_ || row < 0 || row == previousRow || links_.shelf == nullptr || links_.performer == nullptr) return;
  lv::Performance* performance = CurrentPerformance();
  if (performance == nullptr || performance->currentBank == nullptr) return;
  const lv::PerformerState state = links_.performer->State();
  const bool shown = state == lv::Live || (state == lv::FullScreen && performance->displayAdapter != 0);
  if (shown) links_.shelf->Populate(&performance->currentBank->slots[row]);
}

void PatchList::PushKeyboardNote(int note, bool on) {
  if (links_.performer == nullptr) return;
  ui::PushKeyboardNote(*links_.performer, *links_.keyboard, note, on, links_.clock ? links_.clock() : 0);
}

void PatchList::keyPressEvent(QKeyEvent* event) {
  const int key = window::VirtualKeyOf(*event);
  const bool control = (event->modifiers() & Qt::ControlModifier) != 0;
  const bool repeat = event->isAutoRepeat();
  const bool keyboardPlay = links_.keyboard != nullptr && links_.keyboard->enabled;
  if (key == window::vk::kBacktick && !control && !repeat) {
    if (links_.postFull) links_.postFull();
    return;
  }
  if ((key == window::vk::kLeft || key == window::vk::kRight) && !control) {
    if (links_.postBankScroll) {
      links_.postBankScroll(key == window::vk::kLeft ? window::ScrollCode::kLineLeft : window::ScrollCode::kLineRight);
    }
    return;
  }
  if (control) {
    switch (key) {
      case window::vk::kUp: AdjustPriority(1); return;
      case window::vk::kDown: AdjustPriority(-1); return;
      case window::vk::kPageUp: AdjustTarget(1); return;
      case window::vk::kPageDown: AdjustTarget(-1); return;
      case 'C':
      case 'V':
      case 'X': return;  // no clipboard for patches here
      default: QTableWidget::keyPressEvent(event); return;
    }
  }
  const int note = keyboardPlay ? links_.keyboard->NoteOf(key) : -1;
  if (note >= 0) {
    if (!repeat) PushKeyboardNote(note, true);
    return;
  }
  switch (key) {
    case window::vk::kUp:
    case window::vk::kDown: QTableWidget::keyPressEvent(event); return;
    case window::vk::kPageUp:
    case window::vk::kPageDown:
      if (!repeat || !keyboardPlay) QTableWidget::keyPressEvent(event);
      return;
    default: return;  // the list takes no other keys
  }
}

void PatchList::keyReleaseEvent(QKeyEvent* event) {
  const bool control = (event->modifiers() & Qt::ControlModifier) != 0;
  const bool keyboardPlay = links_.keyboard != nullptr && links_.keyboard->enabled;
  const int note = keyboardPlay && !control ? links_.keyboard->NoteOf(window::VirtualKeyOf(*event)) : -1;
  if (note >= 0) {
    // X11 repeats releases too; only the last one is the key going up.
    if (!event->isAutoRepeat()) PushKeyboardNote(note, false);
    return;
  }
  QTableWidget::keyReleaseEvent(event);
}

void PatchList::mouseDoubleClickEvent(QMouseEvent* event) {
  QTableWidget::mouseDoubleClickEvent(event);
  if (currentRow() >= 0 && links_.activated) links_.activated(currentRow());
}

}  // namespace ui
