#pragma once
// A main dialog over a Performer on a fake device (passes run from the test
// thread), with fake services, scripted dialogs and scripted message boxes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <memory>

#include "dialogs/program_ids.h"
#include "fake_frame_device.h"
#include "fake_prompts.h"
#include "main_dialog/main_dialog.h"
#include "ui_fakes.h"

namespace uitest {

class MainDialogTest : public testing::Test {
 protected:
  MainDialogTest() {
    performer.SetDevice(&device);
    alpha = &kinds.Add("Alpha", "Sources", "A test source");
    beta = &kinds.Add("Beta", "Effects", "A test effect");
    for (int i = 0; i < kinds.Count(); ++i) {
      kinds.Kind(i).journal = &journal;
      kinds.Kind(i).performer = &performer;
    }
    dialog = std::make_unique<ui::MainDialog>(Services());
    dialog->AttachToPerformer();
  }
  // The fakes as the dialog's services.
  ui::MainDialogServices Services() {
    ui::MainDialogServices services;
    services.performer = &performer;
    services.kinds = &kinds;
    services.projects = &projects;
    services.recent = &recent;
    services.display = &display;
    services.capture = &capture;
    services.shelf = &shelf;
    services.workBuffers = &workBuffers;
    services.dialogs = &dialogs;
    // Files dropped on the list: the source kinds open .avi and .png.
    services.opensAsSource = [](const std::string& path) {
      return path.size() > 4 && (path.ends_with(".avi") || path.ends_with(".png"));
    };
    return services;
  }
  ~MainDialogTest() override {
    dialog.reset();
    performer.Stop(0);
  }

  void NewPerformance() {
    dialog->Command(ids::kMenuNew);
    performer.SetState(lv::Live);
  }
  lv::Performance* Current() const { return performer.GetPerformance(); }
  std::string Text(int id) const { return static_cast<QLabel*>(dialog->Item(id))->text().toStdString(); }
  std::string Cell(int row, int column) const {
    QTableWidgetItem* item = dialog->List().item(row, column);
    return item != nullptr ? item->text().toStdString() : std::string();
  }
  // Assigns kind `kind` to `note` through the Assign button.
  void Assign(int note, int kind) {
    dialogs.notes = {note};
    dialogs.plugins = {kind};
    dialog->Command(ids::kAssign);
  }
  // Delivers what the Performer posted.
  static void Deliver() { QApplication::processEvents(); }

  lvtest::Journal journal;
  lvtest::FakeFrameDevice device{&journal};
  lv::Performer performer;
  FakeKinds kinds;
  FakeKind* alpha = nullptr;
  FakeKind* beta = nullptr;
  FakeProjects projects{kinds};
  FakeRecent recent;
  FakeDisplay display{performer};
  FakeCapture capture{performer};
  RecordingShelf shelf;
  FakeWorkBuffers workBuffers;
  ScriptedDialogs dialogs;
  FakePrompts prompts;
  std::unique_ptr<ui::MainDialog> dialog;
};

}  // namespace uitest
