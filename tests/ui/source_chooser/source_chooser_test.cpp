// "Select a source" on real widgets: the other-sources list and its
// preselection, "Use This Source", a chosen file, and the file view's mode
// kept between openings.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <string>
#include <vector>

#include "host/lorvane_host.h"
#include "modal_driver.h"
#include "registry/plug_registry.h"
#include "source_chooser/source_chooser.h"
#include "test_kinds.h"

namespace {

using ui::SourceChooserDialog;

using lvtest::TestSourceKind;

class SourceChooserTest : public testing::Test {
 protected:
  SourceChooserTest() {
    registry.RegisterSourceKind(&images, nullptr);
    registry.RegisterSourceKind(&camera, nullptr);
    registry.RegisterSourceKind(&frames, nullptr);
  }

  static lv::SourceDialogRequest Request(std::string current = "") {
    lv::SourceDialogRequest request;
    request.files.title = "Select a source";
    request.files.filter = std::string("Image Files\0*.png\0\0", 19);
    request.files.fileMustExist = true;
    request.currentSource = std::move(current);
    return request;
  }

  static QComboBox* Others(QDialog* dialog) { return dialog->findChild<QComboBox*>("1126"); }
  static QPushButton* UseThisSource(QDialog* dialog) { return dialog->findChild<QPushButton*>("1127"); }

  TestSourceKind images{"Images", true, false, {"png"}};
  TestSourceKind camera{"Capture Device", false, false, {"Camera"}};
  TestSourceKind frames{"Frame Buffer", false, false, {"FrameBuffer"}};
  lv::PlugRegistry registry;
};

TEST_F(SourceChooserTest, ListsOnlyNonFileKindsAndPreselectsThePrefixWithItsColonAlone) {
  struct Case {
    const char* current;
    int selected;
  };
  for (const Case& c : {Case{"", 0}, Case{"FrameBuffer:", 1}, Case{"framebuffer:", 1}, Case{"FrameBuffer:2", 0},
                        Case{"FrameBuffer", 0}, Case{"FrameBuffer::", 0}, Case{"Camera:", 0}}) {
    SourceChooserDialog dialog(Request(c.current), &registry);
    QComboBox* others = Others(&dialog);
    ASSERT_EQ(others->count(), 2) << c.current;
    EXPECT_EQ(others->itemText(0), "Capture Device");
    EXPECT_EQ(others->itemText(1), "Frame Buffer");
    EXPECT_EQ(others->currentIndex(), c.selected) << c.current;
    EXPECT_TRUE(UseThisSource(&dialog)->isEnabled());
  }
}

TEST_F(SourceChooserTest, WithoutOtherKindsSaysSoAndCannotBeUsed) {
  lv::PlugRegistry filesOnly;
  filesOnly.RegisterSourceKind(&images, nullptr);
  for (const lv::PlugRegistry* kinds : std::vector<const lv::PlugRegistry*>{&filesOnly, nullptr}) {
    SourceChooserDialog dialog(Request(), kinds);
    ASSERT_EQ(Others(&dialog)->count(), 1);
    EXPECT_EQ(Others(&dialog)->currentText(), "No custom sources available");
    EXPECT_FALSE(UseThisSource(&dialog)->isEnabled());
    // Even a click that gets through chooses nothing.
    UseThisSource(&dialog)->setEnabled(true);
    QTest::mouseClick(UseThisSource(&dialog), Qt::LeftButton);
    EXPECT_TRUE(dialog.Answer().source.empty());
    EXPECT_FALSE(dialog.Answer().file);
  }
}

// Through the host, as a plug-in asks: the chosen kind comes back as its
// prefix and a colon; Cancel gives nothing.
TEST_F(SourceChooserTest, HostReturnsTheChosenPrefixWithAColonOrNothing) {
  lv::LorvaneHost host{nullptr};
  host.registry.store(&registry);
  host.SetSourceDialog([this](const lv::SourceDialogRequest& request) { return ui::RunSourceChooser(request, &registry); });

  std::string preselected;
  WhenModal<QDialog>([&preselected](QDialog* dialog) {
    preselected = Others(dialog)->currentText().toStdString();
    Others(dialog)->setCurrentIndex(0);
    QTest::mouseClick(UseThisSource(dialog), Qt::LeftButton);
  });
  const char* chosen = host.SelectSource(nullptr, "FrameBuffer:");
  EXPECT_EQ(preselected, "Frame Buffer");
  ASSERT_NE(chosen, nullptr);
  EXPECT_STREQ(chosen, "Camera:");

  WhenModal<QDialog>([](QDialog* dialog) { dialog->reject(); });
  EXPECT_EQ(host.SelectSource(nullptr, "Camera:"), nullptr);
}

TEST_F(SourceChooserTest, AcceptingAFileAnswersTheFile) {
  QTemporaryDir folder;
  const QString path = folder.filePath("clip.png");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();

  lv::SourceDialogRequest request = Request();
  request.files.initialPath = path.toStdString();
  SourceChooserDialog dialog(request, &registry);
  dialog.Files()->selectFile(path);
  static_cast<QDialog*>(dialog.Files())->accept();  // as Open does
  ASSERT_TRUE(dialog.Answer().file);
  EXPECT_EQ(*dialog.Answer().file, path.toStdString());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(SourceChooserTest, TheFileViewModeChosenInOneOpeningStartsTheNext) {
  for (const char* button : {"listModeButton", "detailModeButton", "listModeButton"}) {
    {
      SourceChooserDialog dialog(Request(), &registry);
      auto* modeButton = dialog.Files()->findChild<QToolButton*>(button);
      ASSERT_NE(modeButton, nullptr);
      QTest::mouseClick(modeButton, Qt::LeftButton);
      dialog.reject();
    }
    SourceChooserDialog next(Request(), &registry);
    EXPECT_EQ(next.Files()->viewMode(),
              std::string(button) == "listModeButton" ? QFileDialog::List : QFileDialog::Detail);
    next.reject();
  }
}

}  // namespace
