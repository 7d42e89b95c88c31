#include "ui/about_text.h"

namespace quorvane::ui {

QString AboutTitle() { return QStringLiteral("关于 Quorvane"); }

// The accuracy figures are measured by scripts/accuracy.py: the five-point
// rule the stakes are integrated with, against a 40-digit integral of the
// same curve; the worst curve is a spiral with zero curvature at one end.
QString AboutText() {
  return QStringLiteral(
      "Quorvane 缓和曲线逐桩坐标计算\n"
      "\n"
      "由起点坐标、起点方位角、起终点桩号、起终点半径和桩距，计算缓和曲线（曲率随长度线性变化）"
      "上每个整桩的 X、Y 坐标和切线方位角；可导出坐标（CSV、DAT、DXF）、打印桩表、查看平面图。\n"
      "\n"
      "坐标精度：与同一曲线的高精度积分相比，五点高斯积分的误差——"
      "桩点离曲线起点 200 m 以内、从起点到桩点的转角小于 1.8 rad（104°）时不超过 0.2 mm，转角小于 2.3 rad（132°）时不超过 1 mm；"
      "离起点 800 m 时，0.2 mm 和 1 mm 分别对应 1.45 rad（83°）和 1.9 rad（108°）。"
      "常见缓和曲线的转角远小于此。\n"
      "\n"
      "本程序按 GNU 通用公共许可证第 3 版或更新版本（GPL-3.0-or-later）发布。");
}

}  // namespace quorvane::ui
