#include "dialogs/plugin_chooser.h"

#include <QHeaderView>
#include <QString>
#include <QTreeWidget>
#include <algorithm>
#include <vector>

#include "dialogs/program_dialogs.h"
#include "dialogs/program_ids.h"
#include "platform/window/dialog.h"
#include "platform/window/qt_window_handle.h"

namespace ui {
namespace {

QString Text(const char* text) { return QString::fromUtf8(text != nullptr ? text : ""); }

int CompareTexts(const char* a, const char* b) { return Text(a).compare(Text(b), Qt::CaseInsensitive); }

int Sign(int value) { return (value > 0) - (value < 0); }

// Rows are sorted by moving the widgets' items: each keeps its kind index as
// its data, so selection and the answer follow the kind, not the position.
void SortRows(QTreeWidget* tree, const PluginKinds& kinds, const PluginChooserMemory& memory) {
  QTreeWidgetItem* selected = tree->currentItem();
  const int selectedKind = selected != nullptr ? selected->data(0, Qt::UserRole).toInt() : -1;
  std::vector<QTreeWidgetItem*> rows;
  while (tree->topLevelItemCount() > 0) rows.push_back(tree->takeTopLevelItem(0));
  std::stable_sort(rows.begin(), rows.end(), [&](QTreeWidgetItem* a, QTreeWidgetItem* b) {
    lv::PlugDesc* kindA = kinds.At(a->data(0, Qt::UserRole).toInt());
    lv::PlugDesc* kindB = kinds.At(b->data(0, Qt::UserRole).toInt());
    return ComparePluginKinds(*kindA, *kindB, memory.sortColumn, memory.direction) < 0;
  });
  for (QTreeWidgetItem* row : rows) tree->addTopLevelItem(row);
  tree->header()->setSortIndicator(memory.sortColumn,
                                   memory.direction > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
  for (QTreeWidgetItem* row : rows) {
    if (row->data(0, Qt::UserRole).toInt() == selectedKind) {
      tree->setCurrentItem(row);
      tree->scrollToItem(row);
    }
  }
}

}  // namespace

int ComparePluginKinds(lv::PlugDesc& a, lv::PlugDesc& b, int column, int direction) {
  int order = 0;
  switch (column) {
    case 1:
      order = CompareTexts(a.GetCategory(), b.GetCategory());
      if (order == 0) order = CompareTexts(a.GetName(), b.GetName());
      break;
    case 2: order = CompareTexts(a.GetDescription(), b.GetDescription()); break;
    default: order = CompareTexts(a.GetName(), b.GetName()); break;
  }
  return Sign(order) * direction;
}

int RunPluginChooser(const PluginKinds& kinds, window::WindowHandle owner, PluginChooserMemory& memory) {
  auto proc = [&kinds, &memory](window::Dialog& dialog, window::MessageId message, window::WParam w,
                                window::LParam l) -> std::intptr_t {
    switch (message) {
      case window::msg::kInitDialog: {
        dialog.AddColumn(ids::kPluginList, "Name", 120);
        dialog.AddColumn(ids::kPluginList, "Category", 90);
        dialog.AddColumn(ids::kPluginList, "Description", 300);
        for (int index = 0; index < kinds.Count(); ++index) {
          lv::PlugDesc* kind = kinds.At(index);
          const int row = dialog.AddString(ids::kPluginList, kind->GetName() != nullptr ? kind->GetName() : "");
          dialog.SetCellText(ids::kPluginList, row, 1, kind->GetCategory() != nullptr ? kind->GetCategory() : "");
          dialog.SetCellText(ids::kPluginList, row, 2,
                             kind->GetDescription() != nullptr ? kind->GetDescription() : "");
          dialog.SetItemData(ids::kPluginList, row, index);
          if (index == memory.lastKind) dialog.SetCurSel(ids::kPluginList, row);
        }
        auto* tree = window::WidgetOf(dialog.Handle())->findChild<QTreeWidget*>(QString::number(ids::kPluginList));
        if (tree != nullptr) {
          for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = tree->topLevelItem(i);
            for (int column = 0; column < 3; ++column) item->setToolTip(column, item->text(column));
          }
          tree->header()->setSectionsClickable(true);
          tree->header()->setSortIndicatorShown(true);
          QObject::connect(tree->header(), &QHeaderView::sectionClicked, tree, [tree, &kinds, &memory](int column) {
            if (column == memory.sortColumn) {
              memory.direction = -memory.direction;
            } else {
              memory.sortColumn = column;
              memory.direction = 1;
            }
            SortRows(tree, kinds, memory);
          });
          SortRows(tree, kinds, memory);
        }
        return 1;
      }
      case window::msg::kNotify: {
        const auto* note = reinterpret_cast<const window::Notification*>(l);
        if (note->code == window::NotificationCode::kItemActivated) {
          dialog.Post(window::msg::kCommand, window::MakeCommand(window::kIdOk), 0);
        }
        return 1;
      }
      case window::msg::kCommand:
        if (window::CommandId(w) == window::kIdOk) {
          const int row = dialog.GetCurSel(ids::kPluginList);
          if (row < 0) return 1;  // nothing chosen yet
          const int kind = static_cast<int>(dialog.GetItemData(ids::kPluginList, row));
          memory.lastKind = kind;
          dialog.End(kind);
        } else if (window::CommandId(w) == window::kIdCancel) {
          dialog.End(-1);
        }
        return 1;
      default: return 0;
    }
  };
  const std::intptr_t result =
      window::RunModalDialog(resources::ProgramDialogs(), ids::kPluginChooserDialog, owner, proc);
  return result >= 0 && result < kinds.Count() ? static_cast<int>(result) : -1;
}

}  // namespace ui
