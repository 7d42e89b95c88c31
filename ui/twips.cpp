#include "ui/twips.h"

#include <cmath>

namespace quorvane::ui {
namespace {

constexpr double kTwipsPerInch = 1440.0;

int RoundToPixel(double pixels) { return static_cast<int>(std::lround(pixels)); }

}  // namespace

TwipsScale::TwipsScale(double logicalDpiX, double logicalDpiY)
    : pixelsPerTwipX_(logicalDpiX / kTwipsPerInch), pixelsPerTwipY_(logicalDpiY / kTwipsPerInch) {}

int TwipsScale::ToPixelsX(double twips) const { return RoundToPixel(twips * pixelsPerTwipX_); }
int TwipsScale::ToPixelsY(double twips) const { return RoundToPixel(twips * pixelsPerTwipY_); }
double TwipsScale::ToTwipsX(int pixels) const { return pixels / pixelsPerTwipX_; }
double TwipsScale::ToTwipsY(int pixels) const { return pixels / pixelsPerTwipY_; }

QRect TwipsScale::ToPixels(const TwipsRect& place) const {
  const int left = ToPixelsX(place.left);
  const int top = ToPixelsY(place.top);
  const int right = ToPixelsX(place.left + place.width);
  const int bottom = ToPixelsY(place.top + place.height);
  return QRect(left, top, right - left, bottom - top);
}

}  // namespace quorvane::ui
