// Every dialog as a performer first meets it, at this platform's default
// font: the program's own dialogs from its layout list, the main dialog and
// the settings dialog of every kind the registry holds (the built-in kinds
// and the library's), each with a long source path set. A dialog added
// later is walked as well.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QTimer>
#include <map>
#include <string>
#include <vector>

#include "builtin_kinds.h"
#include "dialogs/plugin_chooser.h"
#include "folder_browser/folder_browser.h"
#include "options/sample_parameters_dialog.h"
#include "platform/media/video_encoders.h"
#include "platform/window/text_entry_dialog.h"
#include "program/registry_kinds.h"
#include "progress/progress_window.h"
#include "render/compressor_dialog.h"
#include "dialogs/program_dialogs.h"
#include "dialogs/program_ids.h"
#include "knobs/knob_control.h"
#include "main_dialog_fixture.h"
#include "options_fixture.h"
#include "platform/window/dialog.h"
#include "registry/plug_registry.h"
#include "registry/plugin_libraries.h"
#include "source_chooser/source_chooser.h"
#include "test_host.h"
#include "text_fit.h"

namespace uitest {
namespace {

constexpr const char* kLongPath =
    "/home/performer/Videos/Shows/2026 Winter Tour/Opening Sequence/clip-01_final_render.avi";

// Checks each modal dialog that opens and closes it as Cancel would,
// keeping the faults under the name of what is being walked.
class DialogWalker {
 public:
  DialogWalker() {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Visit(); });
    timer_.start();
  }

  std::string walking;
  std::map<std::string, std::vector<std::string>> faults;
  std::vector<std::string> visited;

 private:
  void Visit() {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) return;
    // The system's file dialog is not ours to lay out.
    if (qobject_cast<QFileDialog*>(dialog) == nullptr) {
      visited.push_back(walking);
      for (const std::string& fault : DialogTextFaults(dialog)) faults[walking].push_back(fault);
    }
    dialog->reject();
  }

  QTimer timer_;
};

// The main dialog with the knob shelf it makes itself, as the program has it.
class DialogTexts : public MainDialogTest {
 protected:
  DialogTexts() {
    dialog.reset();
    ui::MainDialogServices services = Services();
    services.shelf = nullptr;
    dialog = std::make_unique<ui::MainDialog>(std::move(services));
    dialog->AttachToPerformer();
  }
};

// A knob shows its parameter's whole name, or the whole name as its tooltip.
void KnobNameFaults(QWidget* shelf, std::vector<std::string>* faults) {
  for (QWidget* child : shelf->findChildren<QWidget*>()) {
    auto* knob = dynamic_cast<ui::KnobControl*>(child);
    if (knob == nullptr) continue;
    const QString name = knob->windowTitle();
    if (QFontMetrics(knob->font()).horizontalAdvance(name) > knob->width() && knob->toolTip() != name) {
      faults->push_back("knob " + Quoted(name) + " is cut without its name as tooltip");
    }
  }
}

TEST_F(DialogTexts, EveryDialogShowsEveryTextWhole) {
  TestHost host;
  host.selectSource = [](lv::WindowHandle, const char*) { return kLongPath; };
  lv::PlugRegistry registry(&host);
  builtin::RegisterBuiltinKinds(registry);
  lv::PluginLibraries libraries;
  libraries.LoadFolder(LV_PLUGIN_DIR, registry);
  ASSERT_GT(registry.PlugKindCount(), 30) << "the built-in kinds and the library's";

  // A patch with more knobs than the shelf shows at once: its scroll bar too.
  for (const char* name : {"Channels", "Velocity Brightness", "Rotation Speed", "Zoom"}) {
    for (int copy = 0; copy < 6; ++copy) alpha->params.push_back({0, 100, 50, 0, 0, name, nullptr});
  }
  FakeKind& longName = kinds.Add("Fractal Shuffle Source", "2D Effect", "A kind with a long name");
  longName.journal = &journal;
  longName.performer = &performer;
  NewPerformance();
  Assign(60, 0);
  Assign(61, kinds.Count() - 1);
  dialog->show();
  dialog->List().setCurrentCell(60, 0);
  QApplication::processEvents();
  ASSERT_TRUE(dialog->Item(ids::kKnobShelfScroll)->isVisible());
  DialogWalker walker;
  walker.walking = "the main dialog";
  for (const std::string& fault : DialogTextFaults(dialog->centralWidget())) walker.faults[walker.walking].push_back(fault);
  KnobNameFaults(dialog->Item(ids::kKnobShelf), &walker.faults[walker.walking]);

  // The program's own dialogs from its list of layouts; the chooser with
  // every kind's name.
  app::RegistryPluginKinds kinds(registry);
  const window::DialogTemplateSet& programDialogs = resources::ProgramDialogs();
  for (int id : programDialogs.Ids()) {
    if (id == ids::kMainDialog || id == ids::kProgressDialog) continue;  // windows of their own, not modal
    walker.walking = "program dialog " + std::to_string(id);
    if (id == ids::kPluginChooserDialog) {
      ui::PluginChooserMemory memory;
      ui::RunPluginChooser(kinds, nullptr, memory);
      continue;
    }
    window::RunModalDialog(programDialogs, id, nullptr,
                           [](window::Dialog& shown, window::MessageId message, window::WParam w, window::LParam) {
                             if (message == window::msg::kInitDialog) return std::intptr_t(1);
                             if (message == window::msg::kCommand && window::CommandId(w) == window::kIdCancel) {
                               shown.End(0);
                               return std::intptr_t(1);
                             }
                             return std::intptr_t(0);
                           });
  }

  // The program's other small windows and dialogs.
  {
    walker.walking = "the progress window";
    ui::ProgressWindow progress;
    progress.Open(dialog.get(), "Saving");
    QApplication::processEvents();
    for (const std::string& fault : DialogTextFaults(progress.Window())) walker.faults[walker.walking].push_back(fault);
  }
  walker.walking = "the compressor dialog";
  lv::ShowCompressorDialog(nullptr, media::AvailableVideoEncoders(), media::CompressorChoice{});
  walker.walking = "the text entry dialog";
  window::DialogTemplateSet textEntry;
  textEntry.Add(window::TextEntryDialogTemplate());
  window::RunTextEntryDialog(textEntry, nullptr, "Set Patch Name", "Opening Sequence");
  walker.walking = "the sampler's parameters";
  ui::SampleRequest sample;
  sample.width = 640;
  sample.height = 480;
  ui::RunSampleParametersDialog(nullptr, sample);
  walker.walking = "the folder browser";
  ui::BrowseForFolder(nullptr, "/tmp");

  // The Options sheet, page by page: its pages lay themselves out, so every
  // text is checked wherever it lies on them.
  {
    walker.walking = "the Options sheet";
    optionstest::FakeMidiDevices midi;
    midi.names = {"USB Uno MIDI Interface:USB Uno MIDI Interface MIDI 1"};
    optionstest::FakeDisplayModes display;
    display.AddAdapter("llvmpipe (LLVM 15.0.7, 256 bits)", {{1600, 1200, 32, 60}});
    optionstest::ScriptedOptionsPrompts prompts;
    lv::Settings settings;
    lv::LfoArray lfos{};
    lv::Performance performance;
    ui::OptionsSheetContext context{performance, {}, 0};
    context.services = {&performer, &settings, &midi, &display, nullptr, nullptr, &lfos, &prompts};
    ui::OptionsSheet sheet(context);
    sheet.show();
    for (int page = 0; page < ui::OptionsSheet::kPageCount; ++page) {
      sheet.ShowPage(page);
      QApplication::processEvents();
      for (QWidget* control : sheet.Page(page)->findChildren<QWidget*>()) {
        if (control->isVisible()) TextFaultsOf(control, &walker.faults[walker.walking]);
      }
    }
    sheet.reject();
  }

  // "Select a source" over the registry's source kinds.
  {
    walker.walking = "Select a source";
    lv::SourceDialogRequest request;
    request.files.title = "Select a source";
    request.currentSource = kLongPath;
    ui::SourceChooserDialog chooser(request, &registry);
    chooser.show();
    QApplication::processEvents();
    for (QWidget* control : chooser.findChildren<QWidget*>()) {
      if (control->isVisible()) TextFaultsOf(control, &walker.faults[walker.walking]);
    }
  }

  // Every kind's settings dialog, over a source with a long path.
  for (int index = 0; index < registry.PlugKindCount(); ++index) {
    lv::PlugDesc* kind = registry.GetPlugKind(index);
    walker.walking = kind->GetName();
    lv::Plug* plug = registry.CreatePlug(kind);
    if (plug == nullptr) continue;
    for (int32_t input = 0; input < plug->GetNumInputs(); ++input) plug->SetInputName(input, kLongPath);
    plug->Configure(nullptr);
    delete plug;
  }

  for (const char* mustBeWalked : {"the compressor dialog", "the text entry dialog", "the sampler's parameters",
                                   "the folder browser", "Cube Wall Source", "Sphere Pulse Source", "Cubist Source", "Warp Source",
                                   "Display Source", "program dialog 181"}) {
    EXPECT_NE(std::find(walker.visited.begin(), walker.visited.end(), mustBeWalked), walker.visited.end())
        << mustBeWalked << " was not walked";
  }
  for (const auto& [name, found] : walker.faults) {
    for (const std::string& fault : found) ADD_FAILURE() << name << ": " << fault;
  }
  registry.Clear();
  libraries.FreeAll();
}

}  // namespace
}  // namespace uitest
