// The error box and the end of the program: the text rule, what the dispatcher shows,
// and the halt seam that keeps the test program alive.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "gui_support.h"
#include "ui/application.h"
#include "ui/error_text.h"

namespace {

using gui_support::RecordedBoxes;
using gui_support::RecordedHalts;
using veltrano::ui::Application;
using veltrano::ui::ErrorBoxText;

TEST(UiErrorBoxText, AppendsStopOnlyAfterCharactersSortingAfterIt) {
  struct Case {
    std::string message;
    std::string shown;
  };
  const Case cases[] = {
      {"abc", "abc."},
      {"abc.", "abc."},
      {"x'", "x'"},  // a quote sorts before '.'
      {"Failed to set data for 'MTU'", "Failed to set data for 'MTU'"},
      {"path\\win.ini", "path\\win.ini."},
      {"Unable to write to C:\\x\\win.ini", "Unable to write to C:\\x\\win.ini."},
      {"", ""},
      {"ends with space ", "ends with space "},   // blank sorts before '.'
      {"ends with dash-", "ends with dash-"},     // '-' sorts just before '.'
      {"ends with slash/", "ends with slash/."},  // '/' sorts just after '.'
      {"7", "7."},
      {"caf\xE9", "caf\xE9."},  // bytes above 127 sort after '.' (unsigned compare)
      {"line\r\n", "line\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ErrorBoxText(c.message), c.shown) << "message: " << c.message;
  }
}

TEST(UiDispatch, EscapingErrorShowsExactlyOneStopBoxTitledWithTheApplication) {
  const bool finished = Application().Dispatch(
      [] { throw std::runtime_error("Failed to set data for 'DefaultTTL'"); });

  EXPECT_FALSE(finished);
  ASSERT_EQ(RecordedBoxes().size(), 1u);
  EXPECT_EQ(RecordedBoxes()[0].text, "Failed to set data for 'DefaultTTL'");
  EXPECT_EQ(RecordedBoxes()[0].caption, "Veltrano v2.11");
  EXPECT_EQ(RecordedBoxes()[0].flags, static_cast<unsigned>(MB_ICONSTOP | MB_OK));
}

TEST(UiDispatch, CaptionFollowsTheCurrentTitle) {
  Application().SetTitle("Another Title");
  Application().Dispatch([] { throw std::runtime_error("File not found"); });
  const std::string windowText = gui_support::WindowText(Application().Handle());
  Application().SetTitle(gui_support::kTitle);

  ASSERT_EQ(RecordedBoxes().size(), 1u);
  EXPECT_EQ(RecordedBoxes()[0].caption, "Another Title");
  EXPECT_EQ(RecordedBoxes()[0].text, "File not found.");
  EXPECT_EQ(windowText, "Another Title");  // the hidden application window follows too
}

TEST(UiDispatch, HandlerThatFinishesShowsNothing) {
  int runs = 0;
  EXPECT_TRUE(Application().Dispatch([&] { ++runs; }));
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(RecordedBoxes().empty());
}

TEST(UiDispatch, ForeignThrowIsStillCaughtAndShown) {
  EXPECT_FALSE(Application().Dispatch([] { throw 42; }));
  ASSERT_EQ(RecordedBoxes().size(), 1u);
  EXPECT_EQ(RecordedBoxes()[0].caption, "Veltrano v2.11");
}

TEST(UiDispatch, NestedHandlerErrorStopsOnlyTheInnerHandler) {
  bool outerFinished = false;
  Application().Dispatch([&] {
    Application().Dispatch([] { throw std::runtime_error("inner"); });
    outerFinished = true;
  });
  EXPECT_TRUE(outerFinished);
  ASSERT_EQ(RecordedBoxes().size(), 1u);
  EXPECT_EQ(RecordedBoxes()[0].text, "inner.");
}

TEST(UiHalt, ObserverRecordsTheCodeAndNoBoxIsShown) {
  struct Case {
    int code;
  };
  for (const Case& c : {Case{0}, Case{3}, Case{-1}}) {
    Application().ClearHalt();
    bool after = false;
    const bool finished = Application().Dispatch([&] {
      Application().Halt(c.code);
      after = true;  // never reached: Halt does not return
    });
    EXPECT_FALSE(finished);
    EXPECT_FALSE(after);
    EXPECT_TRUE(Application().Halted());
    ASSERT_FALSE(RecordedHalts().empty());
    EXPECT_EQ(RecordedHalts().back(), c.code);
  }
  EXPECT_EQ(RecordedHalts().size(), 3u);
  EXPECT_TRUE(RecordedBoxes().empty());
}

TEST(UiHalt, NoHandlerRunsAfterAHaltUntilCleared) {
  Application().Dispatch([] { Application().Halt(); });
  int runs = 0;
  EXPECT_FALSE(Application().Dispatch([&] { ++runs; }));
  EXPECT_FALSE(Application().ProcessMessages());
  EXPECT_EQ(runs, 0);

  Application().ClearHalt();
  EXPECT_TRUE(Application().Dispatch([&] { ++runs; }));
  EXPECT_EQ(runs, 1);
}

TEST(UiHalt, HaltOutsideTheDispatcherThrowsProgramHalted) {
  EXPECT_THROW(Application().Halt(5), veltrano::ui::ProgramHalted);
  ASSERT_EQ(RecordedHalts().size(), 1u);
  EXPECT_EQ(RecordedHalts()[0], 5);
}

TEST(UiMessageBox, EveryBoxGoesThroughTheObserverWithItsOwnAnswer) {
  gui_support::ScopedBoxAnswer answer(IDNO);
  const int result = Application().ShowMessageBox(
      "A required file cannot be found.\r\nPlease reinstall the application.", "Warning",
      MB_ICONWARNING | MB_OK);
  EXPECT_EQ(result, IDNO);
  ASSERT_EQ(answer.Boxes().size(), 1u);
  EXPECT_EQ(answer.Boxes()[0].text,
            "A required file cannot be found.\r\nPlease reinstall the application.");
  EXPECT_EQ(answer.Boxes()[0].flags, static_cast<unsigned>(MB_ICONWARNING | MB_OK));
}

}  // namespace
