#include "ui/about_text.h"

namespace quorvane::ui {

QString AboutTitle() { return QStringLiteral("关于 Quorvane"); }

// The accuracy figures are measured by scripts/accuracy.py and
// tests/core/curve_reference.py: every point against a 40-digit integral of
// the same curve law.
QString AboutText() {
  return QStringLiteral(
      "Quorvane 缓和曲线逐桩坐标计算\n"
      "\n"
      "由起点坐标、起点方位角、起终点桩号、起终点半径和桩距，计算缓和曲线（曲率随长度线性变化）"
      "上每个整桩的 X、Y 坐标和切线方位角；可导出坐标（CSV、DAT、DXF）、打印桩表、查看平面图。\n"
      "\n"
      "坐标精度：逐桩坐标、边桩坐标和反算结果与同一曲线（曲率随长度线性变化）的高精度积分相差不超过 0.005 mm，"
      "曲线转角再大（绕多圈）也一样：常见缓和曲线用一次五点高斯积分，转角较大时分段积分。"
      "反算的点接近曲率中心时，桩号不确定，结果中注明。\n"
      "\n"
      "本程序按 GNU 通用公共许可证第 3 版或更新版本（GPL-3.0-or-later）发布。");
}

}  // namespace quorvane::ui
