// The needle gauge: its readable text and its drawing, rendered into memory bitmaps.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "gui_support.h"
#include "ui/form.h"
#include "ui/gdi.h"
#include "ui/needle_gauge.h"

namespace {

using gui_support::WindowText;
namespace ui = veltrano::ui;

constexpr int kWidth = 240;
constexpr int kHeight = 160;

// A 32-bit top-down bitmap and its pixels, as drawn by `draw`.
class Canvas {
 public:
  template <typename Draw>
  explicit Canvas(Draw draw) {
    ui::WindowDC screen(nullptr);
    ui::MemoryDC memory(screen.Get());
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    ui::OwnedBitmap bitmap(
        CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return;
    {
      ui::ScopedSelect selected(memory.Get(), bitmap.Get());
      draw(memory.Get());
      GdiFlush();
    }
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    pixels_.assign(pixels, pixels + kWidth * kHeight);
  }

  bool Valid() const { return !pixels_.empty(); }
  std::uint32_t At(int x, int y) const { return pixels_[static_cast<size_t>(y * kWidth + x)]; }
  const std::vector<std::uint32_t>& Pixels() const { return pixels_; }

  // Needle-red pixels (strong red, little green and blue) in a column range.
  int RedPixels(int fromX, int toX) const {
    int count = 0;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = fromX; x < toX; ++x) {
        const std::uint32_t pixel = At(x, y);
        const int red = (pixel >> 16) & 0xFF;
        const int green = (pixel >> 8) & 0xFF;
        const int blue = pixel & 0xFF;
        if (red > 180 && green < 60 && blue < 60) ++count;
      }
    }
    return count;
  }

 private:
  std::vector<std::uint32_t> pixels_;
};

class UiNeedleGauge : public testing::Test {
 protected:
  ui::Form form{{.caption = "Optimizing", .clientWidth = 348, .clientHeight = 301}};
  ui::NeedleGauge gauge{form, {.caption = "Optimized %", .bounds = {54, 16, kWidth, kHeight}}};

  Canvas Render(int position) {
    gauge.SetPosition(position);
    const RECT area{0, 0, kWidth, kHeight};
    return Canvas([&](HDC dc) { gauge.Paint(dc, area); });
  }
};

TEST_F(UiNeedleGauge, WindowTextFollowsPositionWithinTheRange) {
  EXPECT_EQ(WindowText(gauge.Handle()), "Optimized % 0");
  struct Case {
    int set;
    int position;
    const char* text;
  };
  const Case cases[] = {
      {1, 1, "Optimized % 1"},       {42, 42, "Optimized % 42"}, {100, 100, "Optimized % 100"},
      {101, 100, "Optimized % 100"}, {-5, 0, "Optimized % 0"},   {255, 100, "Optimized % 100"},
  };
  for (const Case& c : cases) {
    gauge.SetPosition(c.set);
    EXPECT_EQ(gauge.Position(), c.position) << "set " << c.set;
    EXPECT_EQ(WindowText(gauge.Handle()), c.text) << "set " << c.set;
  }
  gauge.SetCaption("Completed %");
  EXPECT_EQ(WindowText(gauge.Handle()), "Completed % 100");
}

TEST_F(UiNeedleGauge, NeedlePointsLeftAtZeroAndRightAtTheTop) {
  const Canvas empty = Render(0);
  const Canvas full = Render(100);
  ASSERT_TRUE(empty.Valid());
  ASSERT_TRUE(full.Valid());
  EXPECT_NE(empty.Pixels(), full.Pixels());

  // The red zone at the right end of the scale is red in both pictures; the needle
  // adds red on the left half at 0 and on the right half at 100.
  const int half = kWidth / 2;
  EXPECT_GT(empty.RedPixels(0, half - 4), full.RedPixels(0, half - 4) + 20);
  EXPECT_GT(full.RedPixels(half + 4, kWidth), empty.RedPixels(half + 4, kWidth) + 20);
}

TEST_F(UiNeedleGauge, EachPositionDrawsDifferently) {
  const Canvas low = Render(20);
  const Canvas middle = Render(50);
  const Canvas high = Render(80);
  EXPECT_NE(low.Pixels(), middle.Pixels());
  EXPECT_NE(middle.Pixels(), high.Pixels());
  // Halfway the needle stands up: as much red left as right of the centre line,
  // beyond the red zone, within a few pixels.
  const int leftRed = middle.RedPixels(0, kWidth / 2 - 4);
  const Canvas zero = Render(0);
  EXPECT_LT(leftRed, zero.RedPixels(0, kWidth / 2 - 4));
}

TEST_F(UiNeedleGauge, PrintClientDrawsTheSameAsPaint) {
  gauge.SetPosition(63);
  const RECT area{0, 0, kWidth, kHeight};
  const Canvas painted([&](HDC dc) { gauge.Paint(dc, area); });
  const Canvas printed([&](HDC dc) {
    SendMessageA(gauge.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  });
  ASSERT_TRUE(painted.Valid());
  EXPECT_EQ(painted.Pixels(), printed.Pixels());
}

TEST_F(UiNeedleGauge, SmallGaugeStillDrawsWithoutFailing) {
  ui::NeedleGauge tiny(form, {.caption = "Completed %", .bounds = {0, 0, 20, 12}});
  tiny.SetPosition(50);
  const RECT area{0, 0, 20, 12};
  const Canvas drawn([&](HDC dc) { tiny.Paint(dc, area); });
  EXPECT_TRUE(drawn.Valid());
  EXPECT_EQ(WindowText(tiny.Handle()), "Completed % 50");
}

}  // namespace
