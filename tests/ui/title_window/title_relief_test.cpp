// The title picture's light: the table, reading the bitmap, and frames of
// flat and sloped reliefs.
#include <gtest/gtest.h>

#include "title_picture.h"
#include "title_window/title_relief.h"

namespace uitest {
namespace {

int Entry(const ui::LightTable& table, int j, int i) { return table[static_cast<size_t>(j * ui::kLightTableSize + i)]; }

TEST(TitleReliefTest, LightTableFallsToNothingAtSixtyEntries) {
  const ui::LightTable table = ui::MakeLightTable();
  const struct {
    int j, i, level;
  } cases[] = {{0, 0, 255}, {0, 1, 247}, {0, 16, 142}, {0, 32, 61}, {10, 10, 153},
               {0, 59, 1},  {0, 60, 0},  {59, 0, 1},   {63, 63, 0}};
  for (const auto& c : cases) EXPECT_EQ(Entry(table, c.j, c.i), c.level) << "[" << c.j << "][" << c.i << "]";
}

TEST(TitleReliefTest, ReadsBottomUpRowsTopFirstAndRefusesOtherBitmaps) {
  const std::vector<uint8_t> dib = TitleDib(5, 3, [](int x, int y) { return static_cast<uint8_t>(10 * y + x); });
  const auto picture = ui::ReadTitlePicture(dib);
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->width, 5);
  EXPECT_EQ(picture->height, 3);
  EXPECT_EQ(picture->heights[0], 0);
  EXPECT_EQ(picture->heights[2 * 5 + 4], 24) << "the last row is the picture's bottom";
  EXPECT_EQ(picture->palette[200], 0xFFC8C8C8u);

  std::vector<uint8_t> wrong = dib;
  wrong[14] = 24;  // not 8 bits a pixel
  EXPECT_FALSE(ui::ReadTitlePicture(wrong).has_value());
  EXPECT_FALSE(ui::ReadTitlePicture(std::span(dib).first(dib.size() - 1)).has_value()) << "rows cut short";
  EXPECT_FALSE(ui::ReadTitlePicture(std::span(dib).first(20)).has_value());
}

class LitRelief : public testing::Test {
 protected:
  std::vector<uint8_t> Frame(const ui::TitlePicture& picture, int x, int y) {
    std::vector<uint8_t> frame(static_cast<size_t>(picture.width * picture.height), 7);
    ui::LightRelief(picture, x, y, table, frame.data());
    return frame;
  }
  static ui::TitlePicture Picture(int w, int h, const std::function<uint8_t(int, int)>& height) {
    return *ui::ReadTitlePicture(TitleDib(w, h, height));
  }
  const ui::LightTable table = ui::MakeLightTable();
};

TEST_F(LitRelief, AFlatPictureShowsARoundSpotThatEndsAt240Pixels) {
  const ui::TitlePicture flat = Picture(600, 9, [](int, int) { return 80; });
  const std::vector<uint8_t> frame = Frame(flat, 300, 4);
  for (int d : {0, 3, 4, 100, 236, 239, 240, 290}) {
    const int expected = d < 240 ? Entry(table, 0, d / 4) : 0;
    EXPECT_EQ(frame[4 * 600 + 300 + d], expected) << "right by " << d;
    EXPECT_EQ(frame[4 * 600 + 300 - d], expected) << "left by " << d;
  }
  EXPECT_EQ(frame[3 * 600 + 300], Entry(table, 0, 0)) << "a pixel above the light is still in its first entry";
  for (int x = 0; x < 600; ++x) {
    ASSERT_EQ(frame[x], 7) << "the top border is left alone";
    ASSERT_EQ(frame[8 * 600 + x], 7) << "the bottom border";
  }
  EXPECT_EQ(frame[4 * 600], 7);
  EXPECT_EQ(frame[4 * 600 + 599], 7);
}

TEST_F(LitRelief, FarFromTheLightThePictureIsBlack) {
  const ui::TitlePicture relief = Picture(40, 30, [](int x, int y) { return static_cast<uint8_t>((x * 7 + y * 3) % 60); });
  const std::vector<uint8_t> frame = Frame(relief, -400, 600);
  for (int y = 1; y < 29; ++y)
    for (int x = 1; x < 39; ++x) ASSERT_EQ(frame[static_cast<size_t>(y * 40 + x)], 0) << x << "," << y;
}

TEST_F(LitRelief, SlopesMoveTheSpot) {
  // The spot sits where the slope and the offset from the light cancel.
  const ui::TitlePicture slopeX = Picture(100, 5, [](int x, int) { return static_cast<uint8_t>(x * 2); });
  std::vector<uint8_t> frame = Frame(slopeX, 50, 2);
  EXPECT_EQ(frame[2 * 100 + 46], 255) << "h[x+1] - h[x-1] = 4 moves the spot 4 pixels left";
  EXPECT_LT(frame[2 * 100 + 54], frame[2 * 100 + 46]);
  const ui::TitlePicture slopeY = Picture(5, 100, [](int, int y) { return static_cast<uint8_t>(y * 2); });
  frame = Frame(slopeY, 2, 50);
  EXPECT_EQ(frame[54 * 5 + 2], 255) << "rising downward moves it 4 pixels down";
  EXPECT_LT(frame[46 * 5 + 2], frame[54 * 5 + 2]);
}

}  // namespace
}  // namespace uitest
