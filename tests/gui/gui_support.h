// Helpers for the GUI tests (run under Xvfb and Wine). Linking this file into the GUI
// test program also sets the application up once (initialised, title "Veltrano v2.11")
// and, around every test:
//  - message boxes are recorded and answered with IDOK instead of shown, and Halt()
//    throws instead of ending the test program (see RecordedBoxes/RecordedHalts);
//  - at the start the halted state is cleared and the records emptied; at the end the
//    forms the application owns are deleted.
// A test that wants other answers installs its own observer with the scoped classes
// below, which put the default one back afterwards.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/changes_window.h"
#include "ui/timer.h"

namespace gui_support {

inline constexpr const char* kTitle = "Veltrano v2.11";

// Handles window messages until `done` holds, for at most `maxRounds` rounds; a round
// waits briefly for a new message when none is queued. Returns done() at the end. The
// bound only stops a broken test; it asserts nothing about speed.
bool PumpUntil(const std::function<bool()>& done, int maxRounds = 2000);
// Handles the messages queued now, without waiting.
void PumpPending();

// The first descendant of `parent` whose window text is `text` (and whose class is
// `className`, compared without case, when given), or nullptr.
HWND FindChildByText(HWND parent, const std::string& text, const char* className = nullptr);
// BM_CLICK, as a user's click on a button.
void Click(HWND button);
// The clipboard's CF_TEXT, "" when it holds none.
std::string ClipboardText();
std::string WindowText(HWND window);

struct RecordedBox {
  std::string text;
  std::string caption;
  unsigned flags = 0;
};

// The boxes and halts of the current test under the default observers.
const std::vector<RecordedBox>& RecordedBoxes();
const std::vector<int>& RecordedHalts();
// Empties the records and clears the halted state, for a table that starts anew per row.
void ClearRecords();

// Answers every message box with `answer` and records it, for the life of the object.
class ScopedBoxAnswer {
 public:
  explicit ScopedBoxAnswer(int answer);
  ~ScopedBoxAnswer();
  ScopedBoxAnswer(const ScopedBoxAnswer&) = delete;
  ScopedBoxAnswer& operator=(const ScopedBoxAnswer&) = delete;
  const std::vector<RecordedBox>& Boxes() const { return boxes_; }

 private:
  std::vector<RecordedBox> boxes_;
};

// For its life, hands the first visible top-level window of class `className` to `look`,
// once; a timer looks for it, so it is found inside a modal loop too.
class WhenShown {
 public:
  WhenShown(const char* className, std::function<void(HWND)> look) {
    timer_.onTimer = [this, className, look = std::move(look)] {
      HWND window = FindWindowA(className, nullptr);
      if (!window || !IsWindowVisible(window)) return;
      seen = true;
      timer_.SetEnabled(false);
      look(window);
    };
  }
  bool seen = false;

 private:
  veltrano::ui::Timer timer_{{.interval = 10, .enabled = true}};
};

// What the Changes window showed once it opened, its rows as the list shows them, and
// what its "&Copy" put on the clipboard; it is then closed as the user closes it.
struct SeenChanges {
  std::string headline, clipboard;
  std::vector<veltrano::ChangeRow> rows;
  WhenShown watch{"TChanges", [this](HWND window) {
                    auto& shown =
                        static_cast<veltrano::TChanges&>(*veltrano::ui::Form::FromHandle(window));
                    headline = shown.Label1.Caption();
                    for (int row = 0; row < shown.ListView1.RowCount(); ++row) {
                      rows.push_back({shown.ListView1.Cell(row, 0), shown.ListView1.Cell(row, 1),
                                      shown.ListView1.Cell(row, 2)});
                    }
                    shown.RzButton1.Click();
                    clipboard = ClipboardText();
                    shown.RzButton2.Click();
                  }};
};

}  // namespace gui_support
