#pragma once
// "Select a source": the open-file dialog over the file-based source kinds,
// with "Other Sources" below it for the sources that are not files (capture
// devices, frame buffers, work buffers). The file list's view mode is kept
// from one opening to the next for the program's life.
#include <QDialog>
#include <QFileDialog>

#include "host/source_dialog.h"
#include "source_chooser/other_sources.h"

class QComboBox;
class QPushButton;

namespace ui {

class SourceChooserDialog : public QDialog {
 public:
  // Control names: the combo "1126" and the button "1127".
  static constexpr int kOtherSourcesCombo = 1126;
  static constexpr int kUseThisSourceButton = 1127;

  SourceChooserDialog(const lv::SourceDialogRequest& request, const lv::PlugRegistry* kinds,
                      QWidget* parent = nullptr);
  ~SourceChooserDialog() override;

  // Valid once the dialog has ended.
  const lv::SourceDialogAnswer& Answer() const { return answer_; }
  QFileDialog* Files() const { return files_; }

  // The view mode the next opening starts with.
  static QFileDialog::ViewMode RememberedViewMode();

 protected:
  void done(int result) override;

 private:
  void UseThisSource();

  QFileDialog* files_ = nullptr;
  QComboBox* others_ = nullptr;
  QPushButton* useThisSource_ = nullptr;
  OtherSources list_;
  lv::SourceDialogAnswer answer_;
};

// Runs the chooser modally on the user-interface thread.
lv::SourceDialogAnswer RunSourceChooser(const lv::SourceDialogRequest& request, const lv::PlugRegistry* kinds);

}  // namespace ui
