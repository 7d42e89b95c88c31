#include "command/line_locate.h"

#include "calc/messages.h"
#include "report/line_text.h"

namespace quorvane {

PointLocator::PointLocator(const Line& line, const Profile* profile, CrossSlopes slopes,
                           const CrossSection* crossSection, int decimals)
    : line_(line), profile_(profile), slopes_(slopes), crossSection_(crossSection), decimals_(decimals) {}

LocatedRow PointLocator::Locate(double X_m, double Y_m, std::optional<double> H_m) const {
  const LineLocation where = line_.Find(X_m, Y_m);
  LocatedTexts texts = LocatedText(where, decimals_);
  LocatedRow row{std::move(texts.station), std::move(texts.offset), std::move(texts.remark), {}, {}};
  if (where.status != LocateStatus::OnLine || profile_ == nullptr) return row;
  const double distance = where.foot.distance_m;
  if (!profile_->Covers(distance)) {
    row.remark = JoinRemarks(row.remark, kNotOnProfileRemark);
    return row;
  }
  double design = 0;
  if (crossSection_ != nullptr) {
    // The point's own side of the carriageway, at that side's slope there.
    std::size_t grade = 0;
    design = profile_->ElevationAtDistance(distance, grade) + crossSection_->RiseAt(distance, where.foot.offset_m);
  } else {
    design = profile_->ElevationAtOffset(distance, where.foot.offset_m, slopes_);
  }
  row.designH = FixedText(design, decimals_);
  if (H_m) row.cutFill = CutFillText(*H_m, design, decimals_).amount;
  return row;
}

}  // namespace quorvane
