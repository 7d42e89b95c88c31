// The calculate, side-stake and locate commands end to end, against the
// in-memory window.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "calc/calculation_error.h"
#include "command/run_calculation.h"
#include "command/side_stakes.h"
#include "report/side_stakes.h"
#include "fake_view.h"

namespace quorvane {
namespace {

using testing::FakeView;

// The worked example (default boxes, interval 10, right turn), kept once for
// all tests as text with plain line ends; the result box has CR LF.
std::string WorkedBlock() {
  std::ifstream file(QUORVANE_WORKED_BLOCK, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  std::string block;
  for (const char c : text.str()) block += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return block;
}

FakeView WorkedExample() {
  FakeView view;
  view.Text(InputBox::d) = "10";
  view.turn = 1;
  return view;
}

TEST(RunCalculation, WorkedExampleAppendsItsBlockOnEveryRun) {
  const std::string block = WorkedBlock();
  ASSERT_TRUE(block.starts_with("           逐桩坐标显示：\r\n")) << QUORVANE_WORKED_BLOCK;
  FakeView view = WorkedExample();
  view.result = "checked by Wang";  // no line break: the block follows on the same line
  EXPECT_TRUE(RunCalculation(view).has_value());
  RunCalculation(view);
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(view.result, "checked by Wang" + block + block);
}

TEST(RunCalculation, EchoesTheTypedTextsOfStartEndAndAzimuth) {
  FakeView view = WorkedExample();
  view.Text(InputBox::lb) = "180.1080";
  view.Text(InputBox::a) = " 17.3415 ";
  view.Text(InputBox::le) = "２５０．３６５";
  RunCalculation(view);
  EXPECT_NE(view.result.find("\r\n180.1080    4040964.994    195601.155     17.3415 \r\n0+190     4040974.41 "),
            std::string::npos)
      << view.result;
  EXPECT_TRUE(view.result.ends_with("0+250     4041028.82     195628.996     34.1404\r\n２５０．３６５\r\n"));

  // Stations typed in chainage notation stake as their plain twins do,
  // under the start row and end line as typed.
  FakeView chainage = WorkedExample();
  chainage.Text(InputBox::lb) = "K0+180.108";
  chainage.Text(InputBox::le) = "Ｋ０＋２５０．３６５";
  RunCalculation(chainage);
  const std::string plain = WorkedBlock();
  std::string expected = plain;
  expected.replace(expected.find("180.108    "), 7, "K0+180.108");
  expected.replace(expected.rfind("250.365"), 7, "Ｋ０＋２５０．３６５");
  EXPECT_EQ(chainage.result, expected);

  FakeView none = WorkedExample();
  none.Text(InputBox::le) = "180.108";  // no stakes: start row and end line only
  RunCalculation(none);
  const std::string block = WorkedBlock();
  EXPECT_EQ(none.result, block.substr(0, block.find("0+190")) + "180.108\r\n");
}

// 计算, and 边桩坐标 and 坐标反算 with their two texts (widths, or X and Y).
enum class Command { Calculate, SideStakes, Locate };

TEST(RunCalculation, MessagesLeaveTheResultAlone) {
  struct Box {
    InputBox box;
    const char* text;
  };
  const char* const kOverflow = "计算溢出，请检查输入数据！";
  const char* const kTooMany = "桩数超过32767，请增大桩距！";
  const struct {
    const char* name;
    std::vector<Box> boxes;
    const char* prompt;
    const char* title;
    Command command = Command::Calculate;
    const char* first = "3";
    const char* second = "4";
  } cases[] = {
      {"empty interval (the window's default)", {{InputBox::d, ""}}, "请输入桩距！", "提示"},
      {"interval of zero with a sign and decimals", {{InputBox::d, " -0.000"}}, "请输入桩距！", "提示"},
      {"more than 32767 stakes", {{InputBox::d, "0.001"}}, kTooMany, "计算错误"},
      {"azimuth degrees too large", {{InputBox::a, "32768"}}, "起点方位角超出范围！", "计算错误"},
      {"start X the largest double", {{InputBox::Xa, "1.7976931348623157e308"}}, kOverflow, "计算错误"},
      {"start Y at the limit", {{InputBox::Ya, "-1e12"}}, kOverflow, "计算错误"},
      {"stake X reaches the limit", {{InputBox::Xa, "999999999950"}, {InputBox::a, "0"}}, kOverflow, "计算错误"},
      {"stake Y reaches the limit", {{InputBox::Ya, "-999999999950"}, {InputBox::a, "270"}}, kOverflow, "计算错误"},
      {"radius so small its curvature overflows", {{InputBox::Ra, "1e-320"}}, kOverflow, "计算错误"},
      {"curve turns too far to resolve a second", {{InputBox::Rb, "1e-12"}}, kOverflow, "计算错误"},
      {"side stakes, empty interval", {{InputBox::d, ""}}, "请输入桩距！", "提示", Command::SideStakes},
      {"side stakes, no width", {}, kMissingWidthPrompt, "提示", Command::SideStakes, "", " \t"},
      {"side stakes, negative width", {}, kNegativeWidthPrompt, "计算错误", Command::SideStakes, "3", "-4"},
      {"side stakes, end before start", {{InputBox::le, "170"}}, "终点桩号小于起点桩号！", "计算错误", Command::SideStakes},
      {"side stakes, width with a unit", {}, "左侧宽度“5m”不是有效的数字！", "提示", Command::SideStakes, "5m", ""},
      {"side stakes, right width not a number", {}, "右侧宽度“abc”不是有效的数字！", "提示", Command::SideStakes, "", "abc"},
      {"locate, X blank", {}, kMissingPointPrompt, "提示", Command::Locate, " ", "195612"},
      {"locate, Y not a number", {}, "Y坐标“abc”不是有效的数字！", "提示", Command::Locate, "4040990", "abc"},
      {"locate, point past the end", {}, kPointOutsideCurvePrompt, "计算错误", Command::Locate, "4041100", "195700"},
      {"locate, start beyond a double", {{InputBox::Xa, "1e400"}}, kOverflow, "计算错误", Command::Locate, "1", "2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeView view = WorkedExample();
    view.result = "earlier block\r\n";
    for (const Box& b : c.boxes) view.Text(b.box) = b.text;
    const bool done = c.command == Command::Calculate    ? RunCalculation(view).has_value()
                      : c.command == Command::SideStakes ? RunSideStakes(view, c.first, c.second).has_value()
                                                         : RunLocate(view, c.first, c.second).has_value();
    EXPECT_FALSE(done);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].prompt, c.prompt);
    EXPECT_EQ(view.messages[0].title, c.title);
    EXPECT_EQ(view.result, "earlier block\r\n");
  }
}

// 边桩坐标 and 坐标反算: the exact texts for a small straight worked by hand.
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
  Straight both, right, centre, located;
  ASSERT_TRUE(RunSideStakes(both, " 3.5 ", "4"));
  ASSERT_TRUE(RunSideStakes(right, " ", "4"));
  ASSERT_TRUE(RunSideStakes(centre, "0", ""));  // an edge on the centre line
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
  EXPECT_TRUE(both.messages.empty() && right.messages.empty() && centre.messages.empty());

  // The centre of a circle of 10 m: every point of the arc is a foot.
  Straight circle;
  circle.Text(InputBox::Ra) = circle.Text(InputBox::Rb) = "10";
  ASSERT_TRUE(RunLocate(circle, "1000", "2010"));
  EXPECT_TRUE(circle.result.ends_with(std::string(kNearCentreNote) + "\r\n")) << circle.result;
  ASSERT_EQ(circle.messages.size(), 1u);
  EXPECT_TRUE(circle.messages[0].prompt.ends_with(kNearCentreNote));
}

}  // namespace
}  // namespace quorvane
