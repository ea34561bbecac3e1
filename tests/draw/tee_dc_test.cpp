#include "draw/tee_dc.h"

#include <gtest/gtest.h>

#include "draw/graphic_extensions.h"
#include "tests/support/recording_dc.h"

namespace sism {
namespace {

TEST(TeeDc, BothTargetsGetTheSameDrawing) {
  test::RecordingDc vector(TechMetafile), bitmap(TechRasterDisplay);
  bitmap.measurable = true;
  TeeDc tee(vector, bitmap);
  EXPECT_EQ(tee.Technology(), TechMetafile);
  cGraphicExtensions gx;
  gx.SetHdc(&tee);
  gx.SetWindow(100, 100, 1000, 1000);
  gx.ClipRect(0, 0, 500, 500);
  gx.SetFontName("Arial");
  gx.SetFontSize(100);
  gx.SetPenStyle(1);
  const int32_t X[3] = {0, 100, 100}, Y[3] = {0, 0, 100};
  gx.DrawPolylineEx(X, Y, 3);
  gx.TextOut(10, 10, "abc");
  EXPECT_EQ(gx.GetTextWidth("abcd"), 200);  // answered by the first
  // Everything but the measuring reached both.
  std::vector<std::string> drawn;
  for (const auto& line : vector.log)
    if (line.rfind("TextExtent", 0) != 0) drawn.push_back(line);
  EXPECT_EQ(drawn, bitmap.log);
  EXPECT_EQ(vector.Calls("TextExtent").size(), 1u);
  EXPECT_FALSE(bitmap.Calls("LineTo").empty());
  EXPECT_EQ(bitmap.texts.size(), 1u);
  EXPECT_EQ(vector.depth, 0);
  EXPECT_EQ(bitmap.depth, 0);
}

}  // namespace
}  // namespace sism
