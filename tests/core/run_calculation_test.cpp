// The calculate button end to end, against the in-memory window.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "command/run_calculation.h"
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
  const auto done = RunCalculation(view);
  RunCalculation(view);
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(view.result, "checked by Wang" + block + block);

  // Each box fills its own field, and the report echoes its own three texts.
  ASSERT_TRUE(done.has_value());
  const CurveInput expected{.Xa = 4040964.994, .Ya = 195601.155, .lb = 180.108, .le = 250.365, .Ra = 1500,
                            .Rb = 130, .a = 17.3415, .d = 10, .turn = 1};
  const double CurveInput::*fields[] = {&CurveInput::Xa, &CurveInput::Ya, &CurveInput::lb, &CurveInput::le,
                                        &CurveInput::Ra, &CurveInput::Rb, &CurveInput::a,  &CurveInput::d};
  for (const auto field : fields) EXPECT_EQ(done->input.*field, expected.*field);
  EXPECT_EQ(done->input.turn, 1);
  EXPECT_EQ(done->lbText + "|" + done->aText + "|" + done->leText, "180.108|17.3415|250.365");
  EXPECT_EQ(done->stakes.n, 7);
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

  FakeView none = WorkedExample();
  none.Text(InputBox::le) = "180.108";  // no stakes: start row and end line only
  RunCalculation(none);
  const std::string block = WorkedBlock();
  EXPECT_EQ(none.result, block.substr(0, block.find("0+190")) + "180.108\r\n");
}

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
  } cases[] = {
      {"empty interval (the window's default)", {{InputBox::d, ""}}, "请输入桩距！", "提示"},
      {"interval of zero with a sign and decimals", {{InputBox::d, " -0.000"}}, "请输入桩距！", "提示"},
      {"more than 32767 stakes", {{InputBox::d, "0.001"}}, kTooMany, "计算错误"},
      {"interval 1e-308", {{InputBox::d, "1e-308"}}, kTooMany, "计算错误"},
      {"azimuth degrees too large", {{InputBox::a, "32768"}}, "起点方位角超出范围！", "计算错误"},
      {"start X the largest double", {{InputBox::Xa, "1.7976931348623157e308"}}, kOverflow, "计算错误"},
      {"start X 1e300", {{InputBox::Xa, "1e300"}}, kOverflow, "计算错误"},
      {"start Y at the limit", {{InputBox::Ya, "-1e12"}}, kOverflow, "计算错误"},
      {"stations of 1e18 m", {{InputBox::lb, "1e18"}, {InputBox::le, "1e18"}}, kOverflow, "计算错误"},
      {"stake X reaches the limit", {{InputBox::Xa, "999999999950"}, {InputBox::a, "0"}}, kOverflow, "计算错误"},
      {"stake Y reaches the limit", {{InputBox::Ya, "-999999999950"}, {InputBox::a, "270"}}, kOverflow, "计算错误"},
      {"radius so small its curvature overflows", {{InputBox::Ra, "1e-320"}}, kOverflow, "计算错误"},
      {"curve turns too far to resolve a second", {{InputBox::Rb, "1e-12"}}, kOverflow, "计算错误"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeView view = WorkedExample();
    view.result = "earlier block\r\n";
    for (const Box& b : c.boxes) view.Text(b.box) = b.text;
    EXPECT_FALSE(RunCalculation(view).has_value());
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].prompt, c.prompt);
    EXPECT_EQ(view.messages[0].title, c.title);
    EXPECT_EQ(view.result, "earlier block\r\n");
  }
}

}  // namespace
}  // namespace quorvane
