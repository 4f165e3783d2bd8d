#include "gui_support.h"

#include <gtest/gtest.h>

#include <vector>

#include "ui/application.h"

namespace gui_support {
namespace {

using veltrano::ui::Application;

std::vector<RecordedBox>& Boxes() {
  static std::vector<RecordedBox> boxes;
  return boxes;
}

std::vector<int>& Halts() {
  static std::vector<int> halts;
  return halts;
}

void InstallDefaultObservers() {
  Application().SetMessageBoxObserver(
      [](const std::string& text, const std::string& caption, unsigned flags) {
        Boxes().push_back({text, caption, flags});
        return IDOK;
      });
  Application().SetHaltObserver([](int code) { Halts().push_back(code); });
}

class GuiEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    Application().SetTitle(kTitle);
    Application().Initialize(GetModuleHandleA(nullptr));
    InstallDefaultObservers();
  }
  void TearDown() override { Application().DestroyOwnedForms(); }
};

// Each test starts from a live application with empty records and leaves no form of
// the application behind.
class PerTestReset : public testing::EmptyTestEventListener {
 public:
  void OnTestStart(const testing::TestInfo&) override {
    Boxes().clear();
    Halts().clear();
    InstallDefaultObservers();
    Application().ClearHalt();
  }
  void OnTestEnd(const testing::TestInfo&) override {
    Application().ClearHalt();
    Application().DestroyOwnedForms();
    PumpPending();
  }
};

const bool kRegistered = [] {
  testing::AddGlobalTestEnvironment(new GuiEnvironment);
  testing::UnitTest::GetInstance()->listeners().Append(new PerTestReset);
  return true;
}();

struct TextSearch {
  std::string text;
  const char* className;
  HWND found = nullptr;
};

BOOL CALLBACK MatchText(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<TextSearch*>(context);
  if (WindowText(window) != search->text) return TRUE;
  if (search->className) {
    char className[64] = {};
    GetClassNameA(window, className, sizeof(className));
    if (lstrcmpiA(className, search->className) != 0) return TRUE;
  }
  search->found = window;
  return FALSE;
}

}  // namespace

bool PumpUntil(const std::function<bool()>& done, int maxRounds) {
  for (int round = 0; round < maxRounds; ++round) {
    PumpPending();
    if (done()) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  PumpPending();
  return done();
}

void PumpPending() {
  Application().ProcessMessages();
}

HWND FindChildByText(HWND parent, const std::string& text, const char* className) {
  TextSearch search{text, className};
  EnumChildWindows(parent, MatchText, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void Click(HWND button) {
  SendMessageA(button, BM_CLICK, 0, 0);
}

std::string ClipboardText() {
  std::string text;
  HANDLE memory = OpenClipboard(nullptr) ? GetClipboardData(CF_TEXT) : nullptr;
  if (const char* bytes = memory ? static_cast<const char*>(GlobalLock(memory)) : nullptr) {
    text = bytes;
    GlobalUnlock(memory);
  }
  CloseClipboard();
  return text;
}

std::string WindowText(HWND window) {
  char buffer[1024] = {};
  const int copied = GetWindowTextA(window, buffer, sizeof(buffer));
  return std::string(buffer, copied > 0 ? static_cast<size_t>(copied) : 0);
}

const std::vector<RecordedBox>& RecordedBoxes() {
  return Boxes();
}
const std::vector<int>& RecordedHalts() {
  return Halts();
}
void ClearRecords() {
  Boxes().clear();
  Halts().clear();
  Application().ClearHalt();
}

ScopedBoxAnswer::ScopedBoxAnswer(int answer) {
  Application().SetMessageBoxObserver(
      [this, answer](const std::string& text, const std::string& caption, unsigned flags) {
        boxes_.push_back({text, caption, flags});
        return answer;
      });
}

ScopedBoxAnswer::~ScopedBoxAnswer() {
  InstallDefaultObservers();
}

}  // namespace gui_support
