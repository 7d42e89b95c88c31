#pragma once

#include <QRect>

namespace quorvane::ui {

// A place in twips (1/1440 inch), the unit the window's layout is drawn up in:
// left and top relative to the container, width and height.
struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// Maps twips onto one screen's logical pixels and back: 1440 twips to the
// logical inch, so 15 twips a pixel at 96 DPI. Pixels are what Qt places
// widgets in; twips are what the layout table and the credit line count in.
class TwipsScale {
 public:
  TwipsScale(double logicalDpiX, double logicalDpiY);

  int ToPixelsX(double twips) const;
  int ToPixelsY(double twips) const;
  double ToTwipsX(int pixels) const;
  double ToTwipsY(int pixels) const;

  // Rounds the edges rather than the size, so that controls which meet in
  // twips also meet in pixels at any DPI.
  QRect ToPixels(const TwipsRect& place) const;

 private:
  double pixelsPerTwipX_;
  double pixelsPerTwipY_;
};

}  // namespace quorvane::ui
