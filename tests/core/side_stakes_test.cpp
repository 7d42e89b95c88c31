// The side-stake and locate commands against the in-memory window: the exact
// texts for a small straight worked by hand, and every message case.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "calc/calculation_error.h"
#include "command/side_stakes.h"
#include "fake_view.h"

namespace quorvane {
namespace {

using testing::FakeView;

// A straight heading north from (1000, 2000), stations 0 to 20, interval 10.
// The stakes lie at X 1010 and 1020 (the shortened weights take 2 nm off),
// Y 2000; left is west (-Y), right is east (+Y).
FakeView Straight() {
  FakeView view;
  view.texts = {"1000", "2000", "0", "20", "0", "0", "0", "10"};
  view.turn = 1;
  return view;
}

TEST(RunSideStakes, AppendsTheBlockWithTheColumnsOfEachSide) {
  const struct {
    const char* name;
    const char* left;
    const char* right;
    std::string block;
  } cases[] = {
      {"both sides", "3.5", "4",
       "           边桩坐标显示：\r\n"
       "桩号    左边桩X    左边桩Y    右边桩X    右边桩Y\r\n"
       "0+10     1010     1996.5     1010     2004\r\n"
       "0+20     1020     1996.5     1020     2004\r\n"},
      {"right only, left box blank", " ", "4",
       "           边桩坐标显示：\r\n"
       "桩号    右边桩X    右边桩Y\r\n"
       "0+10     1010     2004\r\n"
       "0+20     1020     2004\r\n"},
      {"left only, width typed with a unit", "3.5m", "",
       "           边桩坐标显示：\r\n"
       "桩号    左边桩X    左边桩Y\r\n"
       "0+10     1010     1996.5\r\n"
       "0+20     1020     1996.5\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeView view = Straight();
    view.result = "earlier text";
    EXPECT_TRUE(RunSideStakes(view, c.left, c.right).has_value());
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(view.result, "earlier text" + c.block);
  }
}

struct MessageCase {
  const char* name;
  InputBox box;        // one box changed from the straight ...
  const char* text;    // ... to this text
  const char* first;   // first width, or X
  const char* second;  // second width, or Y
  const char* prompt;
  const char* title;
};

TEST(RunSideStakes, MessagesAppendNothing) {
  const MessageCase cases[] = {
      {"interval empty", InputBox::d, "", "3", "4", kMissingIntervalPrompt, kMissingIntervalTitle},
      {"interval not a number", InputBox::d, "abc", "3", "4", kMissingIntervalPrompt, kMissingIntervalTitle},
      {"no width at all", InputBox::d, "10", "", " \t", kMissingWidthPrompt, kMissingIntervalTitle},
      {"negative width", InputBox::d, "10", "3", "-4", kNegativeWidthPrompt, kCalculationErrorTitle},
      {"end before start", InputBox::le, "-20", "3", "4", kEndBeforeStartPrompt, kCalculationErrorTitle},
      {"start beyond a double", InputBox::Xa, "1e400", "3", "4", kOverflowPrompt, kCalculationErrorTitle},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeView view = Straight();
    view.Text(c.box) = c.text;
    view.result = "kept";
    EXPECT_FALSE(RunSideStakes(view, c.first, c.second).has_value());
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].prompt, c.prompt);
    EXPECT_EQ(view.messages[0].title, c.title);
    EXPECT_EQ(view.result, "kept");
  }
}

// Records which boxes were read.
class WatchedView : public FakeView {
 public:
  mutable std::set<InputBox> read;
  std::string InputText(InputBox box) const override {
    read.insert(box);
    return FakeView::InputText(box);
  }
};

TEST(RunLocate, ShowsAndKeepsStationOffsetAndAzimuth) {
  const struct {
    const char* name;
    const char* X;
    const char* Y;
    std::string line, message;
  } cases[] = {
      {"right of the line", "1012.5", "2003.25", "反算：X=1012.500, Y=2003.250 → 桩号 0+12.5, 偏距 右3.250, 方位角 0",
       "桩号：0+12.5\n偏距：右3.250\n方位角：0"},
      {"left of the line", "1007.0004", "1996", "反算：X=1007.000, Y=1996.000 → 桩号 0+7, 偏距 左4.000, 方位角 0",
       "桩号：0+7\n偏距：左4.000\n方位角：0"},
      {"on the line", "1020", "2000", "反算：X=1020.000, Y=2000.000 → 桩号 0+20, 偏距 0.000, 方位角 0",
       "桩号：0+20\n偏距：0.000\n方位角：0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WatchedView view;
    static_cast<FakeView&>(view) = Straight();
    view.Text(InputBox::d) = "";  // the interval plays no part
    view.result = "kept";
    const auto located = RunLocate(view, c.X, c.Y);
    ASSERT_TRUE(located.has_value());
    EXPECT_EQ(located->line, c.line);
    EXPECT_EQ(view.result, "kept" + c.line + "\r\n");
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].prompt, c.message);
    EXPECT_EQ(view.messages[0].title, kLocateTitle);
    EXPECT_EQ(view.read.count(InputBox::d), 0u);
    EXPECT_EQ(view.read.size(), 7u);
  }
}

TEST(RunLocate, MessagesAppendNothing) {
  const MessageCase cases[] = {
      {"behind the start", InputBox::d, "", "999", "2000", kPointOutsideCurvePrompt, kCalculationErrorTitle},
      {"past the end", InputBox::d, "", "1021", "2000", kPointOutsideCurvePrompt, kCalculationErrorTitle},
      {"X blank", InputBox::d, "", " ", "2000", kMissingPointPrompt, kMissingIntervalTitle},
      {"Y empty", InputBox::d, "", "1010", "", kMissingPointPrompt, kMissingIntervalTitle},
      {"azimuth degrees out of range", InputBox::a, "40000", "1010", "2000", kAzimuthOutOfRangePrompt,
       kCalculationErrorTitle},
      {"point beyond a double", InputBox::d, "", "1e400", "2000", kOverflowPrompt, kCalculationErrorTitle},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeView view = Straight();
    view.Text(c.box) = c.text;
    view.result = "kept";
    EXPECT_FALSE(RunLocate(view, c.first, c.second).has_value());
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].prompt, c.prompt);
    EXPECT_EQ(view.messages[0].title, c.title);
    EXPECT_EQ(view.result, "kept");
  }
}

}  // namespace
}  // namespace quorvane
