// New, open, save, close, bundle and the save-if-modified prompt, with the
// title.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include <QMenu>
#include <QTemporaryDir>

#include "files/project_bundle.h"
#include "main_dialog_fixture.h"

namespace uitest {
namespace {

std::string TempPath(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }

std::string FileText(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> RowTexts(const ui::PatchList& list) {
  std::vector<std::string> rows;
  for (int row = 0; row < list.rowCount(); ++row) {
    std::string line;
    for (int column = 0; column < list.columnCount(); ++column) line += list.item(row, column)->text().toStdString() + "|";
    rows.push_back(line);
  }
  return rows;
}

using FileCommandsTest = MainDialogTest;

TEST_F(FileCommandsTest, SavedClosedAndOpenedAgainShowsTheSameRows) {
  NewPerformance();
  EXPECT_EQ(dialog->windowTitle().toStdString(), "Lorvane GPU v1.06 - Untitled");
  dialogs.bankNumbers = {4};
  dialog->Command(ids::kCreateNew);
  Assign(60, 1);
  ASSERT_NE(Current()->NotePatch(60), nullptr);
  const std::vector<std::string> before = RowTexts(dialog->List());
  EXPECT_EQ(before[60], "C  3|+0|0:Screen|Beta||");

  const std::string path = TempPath("ui-roundtrip.lvp");
  projects.saveAsPath = path;
  dialog->Command(ids::kMenuSaveAs);
  EXPECT_EQ(dialog->windowTitle().toStdString(), "Lorvane GPU v1.06 - " + path);
  dialog->Command(ids::kMenuClose);
  EXPECT_EQ(Current(), nullptr);
  EXPECT_EQ(dialog->List().rowCount(), 0);
  EXPECT_FALSE(dialog->Item(ids::kAssign)->isEnabled());
  EXPECT_EQ(dialog->windowTitle().toStdString(), "Lorvane GPU v1.06");

  dialog->Command(ids::kMenuRecentFirst);  // the file just closed
  ASSERT_NE(Current(), nullptr);
  // The project opens on its first bank, which is bank 0 here; bank 5 holds the note.
  dialog->BankScroll(window::ScrollCode::kRight, 0);
  EXPECT_EQ(Text(ids::kBankNumber), "5");
  EXPECT_EQ(RowTexts(dialog->List()), before);
  EXPECT_EQ(dialog->windowTitle().toStdString(), "Lorvane GPU v1.06 - " + path);
}

TEST_F(FileCommandsTest, FailedOpenLeavesThePreviousPerformanceCurrentAndUntouched) {
  NewPerformance();
  Assign(10, 0);
  lv::Performance* previous = Current();
  const uint8_t modified = previous->modified;
  prompts.answer = window::kIdNo;
  projects.openPath = TempPath("no-such-project.lvp");
  dialog->Command(ids::kMenuOpen);
  EXPECT_EQ(projects.loads, 1);
  EXPECT_EQ(Current(), previous);
  EXPECT_EQ(previous->modified, modified);
  EXPECT_NE(previous->NotePatch(10), nullptr);
  EXPECT_EQ(performer.State(), lv::Live);
  EXPECT_EQ(performer.PerformanceBeingLoaded(), nullptr);
  EXPECT_EQ(Cell(10, 3), "Alpha");
  for (const window::MessageBoxRequest& box : prompts.Boxes())
    EXPECT_NE(box.icon, window::MessageBoxIcon::kError) << "a file that is not there is not reported";

  // A file that opened but was refused (cut short) is reported, and the
  // performance is kept as for any failed open.
  projects.loadFailure = "The file may have been cut short.";
  dialog->Command(ids::kMenuOpen);
  EXPECT_EQ(Current(), previous);
  EXPECT_NE(previous->NotePatch(10), nullptr);
  EXPECT_EQ(performer.State(), lv::Live);
  ASSERT_FALSE(prompts.Boxes().empty());
  EXPECT_EQ(prompts.Boxes().back().text, projects.loadFailure);
  EXPECT_EQ(prompts.Boxes().back().icon, window::MessageBoxIcon::kError);
}

TEST_F(FileCommandsTest, CloseKeepsThePerformanceWhenItsSaveFailsOrIsCancelled) {
  NewPerformance();
  const std::string path = TempPath("ui-close.lvp");
  projects.saveAsPath = path;
  dialog->Command(ids::kMenuSaveAs);
  const std::string saved = FileText(path);
  Assign(20, 0);
  lv::Performance* performance = Current();
  ASSERT_EQ(performance->modified, 1);

  projects.failWrites = true;  // the file cannot be written
  dialog->Command(ids::kMenuClose);
  EXPECT_EQ(Current(), performance);
  EXPECT_EQ(performance->modified, 1);
  EXPECT_EQ(FileText(path), saved);

  projects.failWrites = false;
  performance->name.Assign("");
  projects.saveAsPath.reset();  // untitled, and the save dialog is cancelled
  dialog->Command(ids::kMenuClose);
  EXPECT_EQ(Current(), performance);
  EXPECT_TRUE(dialog->Item(ids::kAssign)->isEnabled());
}

TEST_F(FileCommandsTest, SavePromptAnswersDecideWhetherNewDiscardsTheWork) {
  struct Case {
    window::MessageBoxResult answer;
    bool saveWorks;
    bool replaced;
  };
  for (const Case& c : {Case{window::kIdCancel, true, false}, Case{window::kIdNo, true, true},
                        Case{window::kIdYes, false, false}, Case{window::kIdYes, true, true}}) {
    NewPerformance();
    Assign(30, 0);
    lv::Performance* old = Current();
    prompts.answer = c.answer;
    projects.saveAsPath = c.saveWorks ? std::optional<std::string>(TempPath("ui-prompt.lvp")) : std::nullopt;
    const size_t boxes = prompts.Boxes().size();
    dialog->Command(ids::kMenuNew);
    ASSERT_EQ(prompts.Boxes().size(), boxes + 1);
    const window::MessageBoxRequest box = prompts.Boxes().back();
    EXPECT_EQ(box.text, "The current performance has been modified - Do you wish to save it?");
    EXPECT_EQ(box.caption, "Are you sure?");
    EXPECT_EQ(box.buttons, window::MessageBoxButtons::kYesNoCancel);
    EXPECT_EQ(Current() != old, c.replaced) << "answer " << c.answer << " save works " << c.saveWorks;
    if (!c.replaced) {
      EXPECT_NE(old->NotePatch(30), nullptr);
      Current()->modified = 0;  // the next case starts afresh
    }
  }
}

TEST_F(FileCommandsTest, SaveKeepsTheTitleAndSaveAsRefreshesIt) {
  NewPerformance();
  projects.saveAsPath = TempPath("ui-title.lvp");
  dialog->Command(ids::kMenuSave);  // untitled: asks for a name
  EXPECT_EQ(dialog->windowTitle().toStdString(), "Lorvane GPU v1.06 - Untitled");
  EXPECT_EQ(recent.entries.front(), *projects.saveAsPath);
  projects.saveAsPath = TempPath("ui-title-2.lvp");
  dialog->Command(ids::kMenuSaveAs);
  EXPECT_EQ(dialog->windowTitle().toStdString(), "Lorvane GPU v1.06 - " + *projects.saveAsPath);
  EXPECT_EQ(dialog->FileMenu()->actions().size(), 10 + 3);  // two recent files and their separator
}

TEST_F(FileCommandsTest, ExitAsksFirstAndCancelKeepsEverything) {
  NewPerformance();
  Assign(1, 0);
  dialog->show();
  prompts.answer = window::kIdCancel;
  dialog->close();
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_NE(Current(), nullptr);
  prompts.answer = window::kIdNo;
  dialog->close();
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(Current(), nullptr);
}

// "Bundle Project" through the real bundling, its two questions answered
// from a script (no folder: cancelled).
class ScriptedBundler final : public ui::ProjectBundler, public lv::BundleDialogs {
 public:
  bool Bundle(lv::Performance& performance) override { return lv::BundleProject(performance, *this, {}); }
  std::optional<std::string> AskParentFolder(const std::string&) override { return folder; }
  std::optional<std::string> AskProjectName(const std::string&) override { return name; }
  std::optional<std::string> folder;
  std::string name = "Show";
};

class BundleCommandTest : public MainDialogTest {
 protected:
  BundleCommandTest() {
    ui::MainDialogServices services = Services();
    services.bundler = &bundler;
    dialog = std::make_unique<ui::MainDialog>(services);
    dialog->AttachToPerformer();
  }
  // A saved performance with one patch reading `media`.
  void SavedShow(const std::string& media) {
    NewPerformance();
    Assign(5, 0);
    Patch().inputName = media;
    projects.saveAsPath = old;
    dialog->Command(ids::kMenuSaveAs);
  }
  UiPlug& Patch() const { return *static_cast<UiPlug*>(Current()->NotePatch(5)); }
  std::string Title() const { return dialog->windowTitle().toStdString(); }
  std::string FirstRecentMenuItem() const {
    for (QAction* action : dialog->FileMenu()->actions())
      if (action->objectName() == QString::number(ids::kMenuRecentFirst)) return action->text().toStdString();
    return {};
  }

  std::string InFolder(const char* name) const { return folder.filePath(QString::fromUtf8(name)).toStdString(); }

  ScriptedBundler bundler;
  QTemporaryDir folder;
  const std::string old = InFolder("old.LVP");
  const std::string bundled = InFolder("Show/Show.LVP");
};

TEST_F(BundleCommandTest, TheBundledProjectTakesTheTitleAndLeadsTheRecentFiles) {
  std::ofstream(InFolder("clip.avi")) << "frames";
  SavedShow(InFolder("clip.avi"));
  ASSERT_EQ(Title(), "Lorvane GPU v1.06 - " + old);

  // Cancelled, and a parent folder that is not there: nothing moves.
  for (const std::optional<std::string>& parent : {std::optional<std::string>(), std::optional(InFolder("absent"))}) {
    bundler.folder = parent;
    dialog->Command(ids::kMenuBundle);
    EXPECT_EQ(Current()->name.CStr(), old);
    EXPECT_EQ(Title(), "Lorvane GPU v1.06 - " + old);
    EXPECT_EQ(recent.entries, std::vector<std::string>{old});
    EXPECT_EQ(FirstRecentMenuItem(), "&1 - " + old);
  }

  bundler.folder = folder.path().toStdString();
  dialog->Command(ids::kMenuBundle);
  ASSERT_TRUE(std::filesystem::exists(bundled));
  EXPECT_EQ(Patch().inputName, InFolder("Show/clip.avi"));
  EXPECT_EQ(Title(), "Lorvane GPU v1.06 - " + bundled);
  EXPECT_EQ(recent.entries, (std::vector<std::string>{bundled, old}));
  EXPECT_EQ(FirstRecentMenuItem(), "&1 - " + bundled);
}

TEST_F(BundleCommandTest, ABundleSavedWithAFileItCouldNotCopyStillTakesTheTitle) {
  // Later saves go to the bundle's project, so the title must name it.
  SavedShow(InFolder("missing.avi"));
  bundler.folder = folder.path().toStdString();
  dialog->Command(ids::kMenuBundle);
  ASSERT_TRUE(std::filesystem::exists(bundled));
  EXPECT_EQ(Patch().inputName, InFolder("missing.avi"));
  EXPECT_EQ(Title(), "Lorvane GPU v1.06 - " + bundled);
  EXPECT_EQ(recent.entries.front(), bundled);
}

}  // namespace
}  // namespace uitest
