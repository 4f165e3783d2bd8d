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
#include <memory>
#include <string>
#include <vector>

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
  WhenShown(const char* className, std::function<void(HWND)> look);
  ~WhenShown();
  WhenShown(const WhenShown&) = delete;
  WhenShown& operator=(const WhenShown&) = delete;
  bool Seen() const { return seen_; }

 private:
  struct Poll;
  std::unique_ptr<Poll> poll_;
  bool seen_ = false;
};

}  // namespace gui_support
