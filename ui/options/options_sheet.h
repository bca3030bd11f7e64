#pragma once
// The modal "Performance Options" sheet: five pages as tabs, OK and Cancel.
// A page is made the first time it is shown, and only pages made are asked
// to apply on OK. The sheet reports whether anything was changed, after OK
// or Cancel alike: the controls set the flag, not OK.
#include <QDialog>
#include <array>

#include "options/options_sheet_context.h"

class QTabWidget;

namespace ui {

class OptionsPage;

class OptionsSheet final : public QDialog {
 public:
  static constexpr char kCaption[] = "Performance Options";
  enum PageIndex : int { kMidiPage, kVideoPage, kCapturePage, kSamplerPage, kLfosPage, kPageCount };
  static constexpr std::array<const char*, kPageCount> kPageTitles{"&MIDI / FreeFrame", "&Video", "&Capture",
                                                                   "&Sampler", "&LFOs"};

  // Opens on the page that was active when the sheet last closed.
  OptionsSheet(OptionsSheetContext& context, QWidget* parent = nullptr);

  QTabWidget& Tabs() const { return *tabs_; }
  // The page once it has been shown; null before.
  QWidget* Page(int index) const { return pages_[static_cast<size_t>(index)]; }
  void ShowPage(int index);

  // The page the next opening starts on (program-wide).
  static int LastPage();
  static void SetLastPage(int index);

  void accept() override;

 private:
  void Activate(int index);
  QWidget* MakePage(int index, QWidget* parent);

  OptionsSheetContext& context_;
  QTabWidget* tabs_ = nullptr;
  std::array<QWidget*, kPageCount> pages_{};
  std::array<OptionsPage*, kPageCount> applying_{};
};

// Runs the sheet modally over `parent`: true when anything was changed.
bool ShowOptionsSheet(OptionsSheetContext& context, QWidget* parent);

}  // namespace ui
