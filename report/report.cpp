#include "report/report.h"

#include "report/layout.h"
#include "report/number_text.h"

namespace quorvane {
namespace {

// A generous estimate of one stake row, to size the block once.
constexpr std::size_t kStakeRowBytes = 64;

}  // namespace

std::string ReportBlock(const CurveInput& input, const StakeTable& stakes, const EchoedTexts& echoed) {
  std::string block;
  block.reserve(256 + echoed.lb.size() + echoed.a.size() + echoed.le.size() +
                kStakeRowBytes * static_cast<std::size_t>(stakes.n));

  block.append(kStakeTable.title).append(kLineEnd);
  block.append(kStakeHeading).append(kLineEnd);

  block.append(echoed.lb).append(kColumnGap);
  AppendFixed3(block, input.Xa);
  block.append(kColumnGap);
  AppendFixed3(block, input.Ya);
  block.append(kColumnGap).append(echoed.a).append(kLineEnd);

  for (std::size_t i = 0; i < static_cast<std::size_t>(stakes.n); ++i) {
    AppendStation(block, stakes.stakeStation[i]);
    block.append(kColumnGap);
    AppendSignedFixed3(block, stakes.stakeX[i]);
    block.append(kColumnGap);
    AppendSignedFixed3(block, stakes.stakeY[i]);
    block.append(kColumnGap);
    AppendSigned(block, stakes.stakeAzimuth[i]);
    block.append(kLineEnd);
  }

  block.append(echoed.le).append(kLineEnd);
  return block;
}

}  // namespace quorvane
