// The calculate button end to end, against the in-memory window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calc/calculation_error.h"
#include "command/run_calculation.h"
#include "fake_view.h"

namespace quorvane {
namespace {

using testing::FakeView;

// The field example: default boxes, interval 10, right turn. Every line ends
// in CR LF; stake rows carry the blank that stands for a plus sign.
const std::string kFieldExampleBlock =
    "           逐桩坐标显示：\r\n"
    "桩号      X坐标           Y坐标         方位角(度.分秒)\r\n"
    "180.108    4040964.994    195601.155    17.3415\r\n"
    "0+190     4040974.41     195604.188     18.1344\r\n"
    "0+200     4040983.876     195607.41     19.2751\r\n"
    "0+210     4040993.253     195610.883     21.1621\r\n"
    "0+220     4041002.497     195614.696     23.3913\r\n"
    "0+230     4041011.553     195618.934     26.3627\r\n"
    "0+240     4041020.354     195623.678     30.0805\r\n"
    "0+250     4041028.82     195628.996     34.1404\r\n"
    "250.365\r\n";

FakeView FieldExample() {
  FakeView view;
  view.Text(InputBox::d) = "10";
  view.turn = 1;
  return view;
}

TEST(RunCalculation, FieldExampleGivesTheFullBlock) {
  FakeView view = FieldExample();
  RunCalculation(view);
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(view.result, kFieldExampleBlock);
}

TEST(RunCalculation, EveryRunAppendsItsBlock) {
  FakeView view = FieldExample();
  RunCalculation(view);
  RunCalculation(view);
  EXPECT_EQ(view.result, kFieldExampleBlock + kFieldExampleBlock);

  FakeView typed = FieldExample();
  typed.result = "checked by Wang";  // no line break: the block follows on the same line
  RunCalculation(typed);
  EXPECT_EQ(typed.result, "checked by Wang" + kFieldExampleBlock);
}

TEST(RunCalculation, EchoesTheTypedTextsOfStartEndAndAzimuth) {
  FakeView view = FieldExample();
  view.Text(InputBox::lb) = "180.1080";
  view.Text(InputBox::a) = " 17.3415 ";
  view.Text(InputBox::le) = "250.365m";
  RunCalculation(view);
  EXPECT_NE(view.result.find("\r\n180.1080    4040964.994    195601.155     17.3415 \r\n0+190     4040974.41 "),
            std::string::npos)
      << view.result;
  EXPECT_TRUE(view.result.ends_with("0+250     4041028.82     195628.996     34.1404\r\n250.365m\r\n"));
}

TEST(RunCalculation, NoStakesStillReportsStartAndEnd) {
  FakeView view = FieldExample();
  view.Text(InputBox::le) = "180.108";
  RunCalculation(view);
  EXPECT_EQ(view.result,
            "           逐桩坐标显示：\r\n"
            "桩号      X坐标           Y坐标         方位角(度.分秒)\r\n"
            "180.108    4040964.994    195601.155    17.3415\r\n"
            "180.108\r\n");
}

TEST(RunCalculation, MissingIntervalAsksForIt) {
  const struct {
    const char* name;
    const char* interval;
  } cases[] = {{"empty (the window's default)", ""},
               {"zero with decimals", "0.000"},
               {"no number", "abc"},
               {"negative zero", "-0"},
               {"blanks", "   "}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeView view;
    view.turn = 1;
    view.result = "earlier block\r\n";
    view.Text(InputBox::d) = c.interval;
    RunCalculation(view);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].prompt, "请输入桩距！");
    EXPECT_EQ(view.messages[0].title, "提示");
    EXPECT_EQ(view.result, "earlier block\r\n");
  }
}

TEST(RunCalculation, ErrorsShowAMessageAndLeaveTheResultAlone) {
  struct Box {
    InputBox box;
    const char* text;
  };
  const struct {
    const char* name;
    std::vector<Box> boxes;
    const char* prompt;
  } cases[] = {
      {"more than 32767 stakes", {{InputBox::d, "0.001"}}, "桩数超过32767，请增大桩距！"},
      {"end before start", {{InputBox::le, "170"}}, "终点桩号小于起点桩号！"},
      {"negative interval, end after start", {{InputBox::d, "-10"}}, "桩距为负时终点桩号应小于起点桩号！"},
      {"azimuth degrees too large", {{InputBox::a, "32768"}}, "起点方位角超出范围！"},
      {"azimuth degrees too small", {{InputBox::a, "-32769.5"}}, "起点方位角超出范围！"},
      {"start X too large for a number", {{InputBox::Xa, "1e999"}}, "计算溢出，请检查输入数据！"},
      {"start station too large for a number", {{InputBox::lb, "-1e400"}}, "计算溢出，请检查输入数据！"},
      {"radius so small its curvature overflows", {{InputBox::Ra, "1e-320"}}, "计算溢出，请检查输入数据！"},
      {"interval so small the stations overflow", {{InputBox::d, "1e-320"}}, "计算溢出，请检查输入数据！"},
      {"curve turns too far to resolve a second", {{InputBox::Rb, "1e-12"}}, "计算溢出，请检查输入数据！"},
      {"distances so long their squares overflow",
       {{InputBox::lb, "0"}, {InputBox::le, "1e300"}, {InputBox::d, "1e299"}},
       "计算溢出，请检查输入数据！"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeView view = FieldExample();
    view.result = "earlier block\r\n";
    for (const Box& b : c.boxes) view.Text(b.box) = b.text;
    RunCalculation(view);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].prompt, c.prompt);
    EXPECT_EQ(view.messages[0].title, "计算错误");
    EXPECT_EQ(view.result, "earlier block\r\n");
  }
}

}  // namespace
}  // namespace quorvane
