// The side-stake and locate commands against the in-memory window: the exact
// texts for a small straight worked by hand, and every message case.
#include <gtest/gtest.h>

#include <string>

#include "calc/calculation_error.h"
#include "command/side_stakes.h"
#include "fake_view.h"

namespace quorvane {
namespace {

// A straight heading north from (1000, 2000), stations 0 to 20, interval 10:
// stakes at X 1010 and 1020 (the shortened weights take 2 nm off), Y 2000;
// left is west (-Y), right is east (+Y).
class Straight : public testing::FakeView {
 public:
  Straight() {
    texts = {"1000", "2000", "0", "20", "0", "0", "0", "10"};
    turn = 1;
    result = "kept";
  }
};

TEST(SideStakeCommands, AppendTheirTexts) {
  Straight both, right, located;
  ASSERT_TRUE(RunSideStakes(both, "3.5m", "4"));
  ASSERT_TRUE(RunSideStakes(right, " ", "4"));
  located.Text(InputBox::d) = "";  // not needed
  ASSERT_TRUE(RunLocate(located, "1007.0004", "1996"));
  EXPECT_EQ(both.result,
            "kept           边桩坐标显示：\r\n"
            "桩号    左边桩X    左边桩Y    右边桩X    右边桩Y\r\n"
            "0+10     1010     1996.5     1010     2004\r\n"
            "0+20     1020     1996.5     1020     2004\r\n");
  EXPECT_EQ(right.result,
            "kept           边桩坐标显示：\r\n"
            "桩号    右边桩X    右边桩Y\r\n"
            "0+10     1010     2004\r\n"
            "0+20     1020     2004\r\n");
  EXPECT_EQ(located.result, "kept反算：X=1007.000, Y=1996.000 → 桩号 0+7, 偏距 左4.000, 方位角 0\r\n");
  ASSERT_EQ(located.messages.size(), 1u);
  EXPECT_EQ(located.messages[0].prompt, "桩号：0+7\n偏距：左4.000\n方位角：0");
  EXPECT_EQ(located.messages[0].title, kLocateTitle);
  EXPECT_TRUE(both.messages.empty() && right.messages.empty());
}

TEST(SideStakeCommands, MessagesAppendNothing) {
  const struct {
    const char* name;
    bool locate;         // RunLocate, else RunSideStakes
    InputBox box;        // one box changed from the straight ...
    const char* text;    // ... to this text
    const char* first;   // left width, or X
    const char* second;  // right width, or Y
    const char* prompt;
    const char* title;
  } cases[] = {
      {"interval empty", false, InputBox::d, "", "3", "4", kMissingIntervalPrompt, kMissingIntervalTitle},
      {"interval not a number", false, InputBox::d, "abc", "3", "4", kMissingIntervalPrompt, kMissingIntervalTitle},
      {"no width at all", false, InputBox::d, "10", "", " \t", kMissingWidthPrompt, kMissingIntervalTitle},
      {"negative width", false, InputBox::d, "10", "3", "-4", kNegativeWidthPrompt, kCalculationErrorTitle},
      {"end before start", false, InputBox::le, "-20", "3", "4", kEndBeforeStartPrompt, kCalculationErrorTitle},
      {"point past the end", true, InputBox::d, "", "1021", "2000", kPointOutsideCurvePrompt, kCalculationErrorTitle},
      {"point X blank", true, InputBox::d, "", " ", "2000", kMissingPointPrompt, kMissingIntervalTitle},
      {"start beyond a double", true, InputBox::Xa, "1e400", "1010", "2000", kOverflowPrompt, kCalculationErrorTitle},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Straight view;
    view.Text(c.box) = c.text;
    EXPECT_FALSE(c.locate ? RunLocate(view, c.first, c.second).has_value()
                          : RunSideStakes(view, c.first, c.second).has_value());
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].prompt, c.prompt);
    EXPECT_EQ(view.messages[0].title, c.title);
    EXPECT_EQ(view.result, "kept");
  }
}

}  // namespace
}  // namespace quorvane
