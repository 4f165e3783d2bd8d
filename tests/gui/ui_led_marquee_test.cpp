// The LED marquee: its glyphs, its scrolling and its drawing.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "gui_support.h"
#include "ui/form.h"
#include "ui/gdi.h"
#include "ui/led_font.h"
#include "ui/led_marquee.h"

namespace {

namespace ui = veltrano::ui;

constexpr const char* kThanks = "Thank you for using Veltrano Connection Speed-Up Utility...";

int LitDots(const ui::Glyph& glyph) {
  int lit = 0;
  for (int row = 0; row < ui::kGlyphRows; ++row) {
    for (int column = 0; column < ui::kGlyphColumns; ++column) {
      lit += ui::DotLit(glyph, column, row) ? 1 : 0;
    }
  }
  return lit;
}

TEST(UiLedFont, EveryPrintableCharacterHasItsOwnGlyphAndOthersAreBlank) {
  std::set<ui::Glyph> seen;
  for (char c = '!'; c <= '~'; ++c) {
    const ui::Glyph& glyph = ui::GlyphFor(c);
    EXPECT_GT(LitDots(glyph), 0) << "character " << c;
    for (std::uint8_t row : glyph) EXPECT_LT(row, 1u << ui::kGlyphColumns) << c;
    EXPECT_TRUE(seen.insert(glyph).second) << "glyph of " << c << " repeats another";
  }
  for (char c : {' ', '\t', '\x7f', '\xe9', '\0'}) {
    EXPECT_EQ(LitDots(ui::GlyphFor(c)), 0) << static_cast<int>(c);
  }
}

TEST(UiLedFont, GlyphsReadTheRightWayRound) {
  // 'L' has its stem on the left and its foot along the bottom; 'T' its bar on top.
  const ui::Glyph& l = ui::GlyphFor('L');
  const ui::Glyph& t = ui::GlyphFor('T');
  for (int row = 0; row < ui::kGlyphRows; ++row) EXPECT_TRUE(ui::DotLit(l, 0, row));
  for (int column = 0; column < ui::kGlyphColumns; ++column) {
    EXPECT_TRUE(ui::DotLit(l, column, ui::kGlyphRows - 1));
    EXPECT_TRUE(ui::DotLit(t, column, 0));
  }
  EXPECT_FALSE(ui::DotLit(l, ui::kGlyphColumns - 1, 0));
}

class UiLedMarquee : public testing::Test {
 protected:
  ui::Form form{{.caption = "Veltrano v2.11", .clientWidth = 457, .clientHeight = 322}};
  ui::LedMarquee marquee{form, {.text = kThanks, .bounds = {144, 16, 294, 23}, .scrolling = false}};
};

TEST_F(UiLedMarquee, ScrollsInFromTheRightAndComesRound) {
  EXPECT_EQ(gui_support::WindowText(marquee.Handle()), kThanks);
  EXPECT_EQ(marquee.Shown(), std::string(26, ' '));
  struct Case {
    int steps;  // from the start
    std::string shown;
  };
  const std::string message = kThanks;
  const int track = 26 + static_cast<int>(message.size());
  const Case cases[] = {
      {1, std::string(25, ' ') + "T"},
      {5, std::string(21, ' ') + "Thank"},
      {26, message.substr(0, 26)},
      {27, message.substr(1, 26)},
      {track - 1, message.substr(message.size() - 1) + std::string(25, ' ')},
      {track, std::string(26, ' ')},  // gone: a blank display, then it starts again
      {track + 1, std::string(25, ' ') + "T"},
  };
  int done = 0;
  for (const Case& c : cases) {
    while (done < c.steps) {
      marquee.Step();
      ++done;
    }
    EXPECT_EQ(marquee.Shown(), c.shown) << "after " << c.steps << " steps";
  }
}

TEST_F(UiLedMarquee, NewMessageStartsFromABlankDisplay) {
  for (int step = 0; step < 30; ++step) marquee.Step();
  marquee.SetMessage("Hi");
  EXPECT_EQ(marquee.Shown(), std::string(26, ' '));
  EXPECT_EQ(gui_support::WindowText(marquee.Handle()), "Hi");
  marquee.Step();
  EXPECT_EQ(marquee.Shown(), std::string(25, ' ') + "H");
}

TEST_F(UiLedMarquee, ScrollsByItselfOnlyWhileScrolling) {
  ui::LedMarquee fast(form, {.text = "AB", .bounds = {0, 0, 294, 23}, .stepInterval = 1});
  EXPECT_TRUE(fast.Scrolling());
  ASSERT_TRUE(gui_support::PumpUntil([&] { return fast.Shown() != std::string(26, ' '); }));
  fast.SetScrolling(false);
  const std::string stopped = fast.Shown();
  marquee.SetScrolling(true);  // something else that keeps ticking meanwhile
  const std::string before = marquee.Shown();
  ASSERT_TRUE(gui_support::PumpUntil([&] { return marquee.Shown() != before; }));
  EXPECT_EQ(fast.Shown(), stopped);
}

TEST_F(UiLedMarquee, LitDotsInTheLitColourOnBlackAndNothingElse) {
  for (int step = 0; step < 26; ++step) marquee.Step();  // "Thank you for using Veltr"
  constexpr int kWidth = 294;
  constexpr int kHeight = 23;
  ui::WindowDC screen(nullptr);
  ui::MemoryDC memory(screen.Get());
  ui::OwnedBitmap bitmap(CreateCompatibleBitmap(screen.Get(), kWidth, kHeight));
  ASSERT_TRUE(bitmap);
  ui::ScopedSelect selected(memory.Get(), bitmap.Get());
  SendMessageA(marquee.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.Get()),
               PRF_CLIENT);

  int lit = 0;
  int other = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const COLORREF pixel = GetPixel(memory.Get(), x, y);
      if (pixel == RGB(0, 200, 255)) {
        ++lit;
      } else if (pixel != RGB(0, 0, 0)) {
        ++other;
      }
    }
  }
  int expected = 0;
  for (char c : marquee.Shown()) expected += LitDots(ui::GlyphFor(c));
  EXPECT_EQ(lit, expected);
  EXPECT_EQ(other, 0);
}

}  // namespace
