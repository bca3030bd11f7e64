#pragma once
// The main dialog's project commands over the project-file reader and
// writer, with the common file dialogs and the progress window.
#include <QWidget>
#include <functional>
#include <memory>

#include "app/exit_watch.h"
#include "files/file_progress.h"
#include "files/project_file.h"
#include "files/project_file_dialogs.h"
#include "main_dialog/main_dialog_services.h"
#include "performer/performer.h"
#include "progress/progress_window.h"

namespace app {

// The progress window as the project files report to it.
class ProgressWindowFileProgress final : public lv::FileProgress {
 public:
  explicit ProgressWindowFileProgress(QWidget*& mainDialog) : mainDialog_(mainDialog) {}
  void Open(const char* caption) override { window_.Open(mainDialog_, QString::fromUtf8(caption)); }
  void SetPosition(int percent) override { window_.SetPosition(percent); }
  void SetText(const char* text) override { window_.SetText(QString::fromUtf8(text)); }
  void Close() override { window_.Close(); }

 private:
  QWidget*& mainDialog_;
  ui::ProgressWindow window_;
};

class ProjectFiles final : public ui::ProjectFiles, public ui::ProjectBundler {
 public:
  // `adapterCount` answers the display adapters present when a file loads;
  // `performer` advances the live LFOs under its frame lock and has the knob
  // turns on their way to its render thread, which a save makes first.
  ProjectFiles(lv::PlugRegistry& registry, std::function<int()> adapterCount, lv::Performer& performer)
      : registry_(registry), adapterCount_(std::move(adapterCount)), performer_(performer) {}

  // The dialogs and the progress window belong to the main dialog.
  void SetMainDialog(QWidget* dialog);
  // The capture devices and samplers the project saves and restores.
  void SetShow(lv::ShowObjects* show) { show_ = show; }
  // Holds the program's end off while a project is written.
  void SetExitWatch(lv::ExitWatch* watch) { exits_ = watch; }

  bool Save(lv::Performance& performance, bool saveAs) override;
  bool Load(lv::Performance& performance, const char* fileName) override;
  std::string LoadFailure() const override { return loadFailure_; }
  bool Bundle(lv::Performance& performance) override;

 private:
  lv::ProjectFileContext Context();

  lv::PlugRegistry& registry_;
  std::function<int()> adapterCount_;
  lv::Performer& performer_;
  QWidget* mainDialog_ = nullptr;
  lv::ShowObjects* show_ = nullptr;
  lv::ExitWatch* exits_ = nullptr;
  std::unique_ptr<lv::CommonProjectFileDialogs> dialogs_;
  ProgressWindowFileProgress progress_{mainDialog_};
  std::string loadFailure_;
};

}  // namespace app
