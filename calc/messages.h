#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Every fixed text a message box shows, prompts and titles, in the words the
// user sees (UTF-8). A title says what the box is about; a prompt what went
// wrong or what to do. Messages made from the user's own texts are put
// together where they arise (NotANumberPrompt, FileErrorMessage, ...) from
// the parts below.

namespace quorvane {

// Titles.
inline constexpr const char* kCalculationErrorTitle = "计算错误";  // a calculation refused its input
inline constexpr const char* kInputHintTitle = "提示";             // a value is missing or not a number
inline constexpr const char* kFileErrorTitle = "保存失败";         // a file could not be written
inline constexpr const char* kSaveResultTitle = "保存结果";        // 文件 › 保存结果
inline constexpr const char* kExportTitle = "导出坐标";            // 文件 › 导出坐标
inline constexpr const char* kLocateTitle = "坐标反算";            // 工具 › 坐标反算, and its answer
inline constexpr const char* kReminderTitle = "信息提示";          // the turn reminder

// The single curve (计算, 边桩坐标, 坐标反算).
inline constexpr const char* kTooManyStakesPrompt = "桩数超过32767，请增大桩距！";
inline constexpr const char* kEndBeforeStartPrompt = "终点桩号小于起点桩号！";
inline constexpr const char* kEndAfterStartNegativeIntervalPrompt = "桩距为负时终点桩号应小于起点桩号！";
inline constexpr const char* kAzimuthOutOfRangePrompt = "起点方位角超出范围！";
inline constexpr const char* kOverflowPrompt = "计算溢出，请检查输入数据！";
inline constexpr const char* kStationOutsideCurvePrompt = "桩号不在曲线范围内！";
inline constexpr const char* kPointOutsideCurvePrompt = "该点的垂足不在曲线范围内！";
inline constexpr const char* kNegativeWidthPrompt = "边桩宽度不能为负数！";
inline constexpr const char* kMissingIntervalPrompt = "请输入桩距！";
inline constexpr const char* kMissingWidthPrompt = "请输入边桩宽度！";
inline constexpr const char* kMissingPointPrompt = "请输入X、Y坐标！";
// What a command could not finish for a reason it does not tell itself
// (memory running out on a huge table), under kCalculationErrorTitle.
inline constexpr const char* kNotFinishedPrompt = "计算未能完成！";
// Asked when the focus leaves the interval box, under kReminderTitle.
inline constexpr const char* kTurnReminderPrompt = "是否输入转向信息？";

// Printing. %1 is the printer's name.
inline constexpr const char* kPrintFailedTitle = "打印失败";
inline constexpr const char* kPrinterUnavailablePattern = "无法打印到“%1”：打印机不可用。";

// The 路线 window. %1 stands for a name filled in where the message is shown.
inline constexpr const char* kLineWindowTitle = "路线";                 // the window, and its save question
inline constexpr const char* kJdConvertTitle = "交点转线元";
inline constexpr const char* kLineStakesTitle = "逐桩坐标";
inline constexpr const char* kExportLocatedTitle = "导出反算结果";
inline constexpr const char* kOpenLineTitle = "打开路线";
inline constexpr const char* kSaveLineTitle = "保存";
inline constexpr const char* kJdTableEmptyPrompt = "交点表是空的";
inline constexpr const char* kElementTableEmptyPrompt = "线元表是空的";
inline constexpr const char* kNoLineYetPrompt = "还没有路线";
inline constexpr const char* kNoStakeSelectedPrompt = "没有选中的桩";
inline constexpr const char* kLineWithErrorsNotSavedText = "\n路线有错误时不能保存为 LandXML。";  // after the error
inline constexpr const char* kCannotOpenPattern = "无法打开文件“%1”";                  // %1: the file's name
inline constexpr const char* kSkippedPointRowsPattern = "以下行不是“点号,X,Y[,H]”，已跳过：第%1行";  // %1: 3、7
inline constexpr const char* kSaveChangesPattern = "是否保存对“%1”的修改？";             // %1: the line's name
// A cell of the 路线 window's tables that is not wholly a number or a
// station: %1 the tab, %2 the row (from 1), %3 the column, %4 the text.
inline constexpr const char* kCellNotNumberPattern = "%1 第%2行 %3“%4”不是有效的数字";
inline constexpr const char* kCellNotStationPattern = "%1 第%2行 %3“%4”不是有效的桩号";
// A box of the 路线 window: %1 the tab, %2 the box, %3 the text.
inline constexpr const char* kBoxNotNumberPattern = "%1 %2“%3”不是有效的数字";
// After the error, when the line reads but its profile or JD table does not.
inline constexpr const char* kProfileWithErrorsNotSavedText = "\n纵断面有错误时不能保存为 LandXML。";
inline constexpr const char* kJdWithErrorsNotSavedText = "\n交点表有错误时不能保存为 LandXML。";
// Opening a file of several alignments: the chooser, one line per
// alignment (%1 its name, %2 its length in metres).
inline constexpr const char* kChooseAlignmentTitle = "选择路线";
inline constexpr const char* kChooseAlignmentPrompt = "文件中有多条路线，请选择要打开的一条：";
inline constexpr const char* kAlignmentChoicePattern = "%1（长 %2 m）";
inline constexpr const char* kUnnamedAlignment = "（未命名）";
// What the reader accepted but the user should know, after opening.
inline constexpr const char* kReaderWarningsTitle = "提示";

// The names of the dialogs' boxes, as messages about them name them.
inline constexpr const char* kLeftWidthName = "左侧宽度";
inline constexpr const char* kRightWidthName = "右侧宽度";
inline constexpr const char* kPointXName = "X坐标";
inline constexpr const char* kPointYName = "Y坐标";

// The whole-line model and the JD design. A message about one element, JD
// or equation starts with its name ("第3个线元：", "JD2：", "第1个断链："),
// joined by the helpers at the end.


// The line as a whole.
inline constexpr const char* kLineNoElementsPrompt = "路线没有线元！";
inline constexpr const char* kLineStartNotFinitePrompt = "路线起点的坐标、方位角或桩号不是有效数字！";
inline constexpr const char* kLineTooLongPrompt = "路线过长或坐标过大！";
inline constexpr const char* kDistanceOutsideLinePrompt = "该位置不在路线范围内！";
inline constexpr const char* kStationOutsideLinePrompt = "桩号不在路线范围内！";
inline constexpr const char* kStationInShortChainPrompt = "桩号位于短链跳过的范围内，路线上没有这个桩号！";
inline constexpr const char* kStakeIntervalPrompt = "桩距应为大于0的数！";
inline constexpr const char* kLineTooManyStakesPrompt = "桩数过多，请增大桩距！";
inline constexpr const char* kLineEndBeforeStartPrompt = "终点桩号在起点桩号之前！";
inline constexpr const char* kLinePointNotFinitePrompt = "点的坐标不是有效数字！";
inline constexpr const char* kOffsetNotFinitePrompt = "偏距不是有效数字！";
inline constexpr const char* kLineExportExtensionPrompt = "只能导出为 .csv、.dat 或 .dxf 文件";
inline constexpr const char* kEdgeWidthPrompt = "边桩宽度应为不小于0的数！";
inline constexpr const char* kFromStationName = "起始桩号：";
inline constexpr const char* kToStationName = "终止桩号：";
// Marks a point name in a long chain's repeated stretch: the pass follows
// ("K3+690.000-2" is the second point of the line shown as K3+690.000).
inline constexpr const char* kRepeatedStationMark = "-";

// One element (线元), after "第N个线元：".
inline constexpr const char* kElementLengthText = "长度应为大于0的有效数字！";
inline constexpr const char* kElementRadiusText = "半径应为大于0的数或无穷大！";
inline constexpr const char* kStraightShapeText = "直线的半径应为无穷大且不转向！";
inline constexpr const char* kArcShapeText = "圆曲线的起终点半径应为同一个有限正数！";
inline constexpr const char* kSpiralShapeText = "缓和曲线的起终点半径不能相同！";
inline constexpr const char* kElementTurnText = "转向应为左转(-1)或右转(+1)！";
inline constexpr const char* kElementTurnsTooMuchText = "转过的角度过大（超过一百圈）！";

// One chainage equation (断链), after "第N个断链：".
inline constexpr const char* kEquationNotFiniteText = "桩号不是有效数字！";
inline constexpr const char* kEquationOutsideLineText = "断链位置不在路线范围内！";
inline constexpr const char* kEquationOrderText = "断链位置应在前一断链之后！";

// One row of a JD table, after "JD2：" (the row's name).
inline constexpr const char* kJdTooFewRowsPrompt = "交点表至少需要起点和终点两行！";
inline constexpr const char* kJdNotFiniteText = "坐标、半径或缓和曲线长度不是有效数字！";
inline constexpr const char* kJdNegativeText = "半径和缓和曲线长度不能为负数！";
inline constexpr const char* kJdCoincidentText = "与前一点重合！";
inline constexpr const char* kJdNoRadiusText = "路线在此转向，半径应大于0！";
inline constexpr const char* kJdSpiralWithoutRadiusText = "有缓和曲线时半径应大于0！";
inline constexpr const char* kJdSpiralsTooLongText = "缓和曲线过长，转角容不下两段缓和曲线！";
inline constexpr const char* kJdTurnsBackText = "转角接近180度，无法设置曲线！";
inline constexpr const char* kJdOverlapsStartText = "曲线超出路线起点！";
inline constexpr const char* kJdOverlapsEndText = "曲线超出路线终点！";
inline constexpr const char* kJdOverlapsNextText = "与下一交点的曲线重叠！";
inline constexpr const char* kJdRadiusTooSmallText = "半径过小，曲线长度不足1毫米，无法设置曲线！";
// The line built from the table does not come back onto the leg after this
// JD's curve (or onto the end point); followed by the distance and kMetresUnit.
inline constexpr const char* kJdOffLegText = "路线未能回到交点连线上，相差 ";

// The remarks of a located point (坐标反算). A point beyond an end reads
// "超出起点 2.500 米"; one in a long chain's repeated stretch "长链重复段第2次"
// (the second time the line passes that station).
inline constexpr const char* kNotOnLineRemark = "不在路线范围内";
inline constexpr const char* kNotOnProfileRemark = "不在纵断面范围内";
inline constexpr const char* kBeyondStartRemark = "超出起点 ";
inline constexpr const char* kBeyondEndRemark = "超出终点 ";
inline constexpr const char* kMetresUnit = " 米";
inline constexpr const char* kLongChainPassRemark = "长链重复段第";  // then the pass and kPassSuffix
inline constexpr const char* kPassSuffix = "次";
inline constexpr const char* kRemarkSeparator = "；";
// Measured height above (挖, cut) or below (填, fill) the design.
inline constexpr const char* kCutText = "挖";
inline constexpr const char* kFillText = "填";

// The user's messages of the profile. A fault of one point is told as
// "第N个变坡点" followed by one of the kGradePoint… reasons (N counts from 1).
inline constexpr const char* kProfileTooFewPointsPrompt = "纵断面至少需要两个变坡点！";
inline constexpr const char* kStationOutsideProfilePrompt = "桩号不在纵断面范围内！";
inline constexpr const char* kGradePointNotANumberPrompt = "的桩号、高程、半径或竖曲线长度不是有效数字或过大！";
inline constexpr const char* kGradePointNegativeCurvePrompt = "的竖曲线半径或长度为负！";
inline constexpr const char* kGradePointRadiusAndLengthPrompt = "的竖曲线只能给半径或长度之一！";
inline constexpr const char* kGradePointCircleWithoutRadiusPrompt = "的圆形竖曲线须给半径！";
inline constexpr const char* kGradePointCurveAtEndPrompt = "是纵断面的起点或终点，不能设竖曲线！";
inline constexpr const char* kGradePointOrderPrompt = "的桩号不在前一个变坡点之后！";
inline constexpr const char* kGradePointOverlapPrompt = "的竖曲线与前一个变坡点的竖曲线重叠！";
inline constexpr const char* kGradePointBeforeStartPrompt = "的竖曲线超出纵断面起点！";
inline constexpr const char* kGradePointAfterEndPrompt = "的竖曲线超出纵断面终点！";
inline constexpr const char* kGradePointPastPreviousPrompt = "的竖曲线越过前一个变坡点！";
inline constexpr const char* kGradePointPastNextPrompt = "的竖曲线越过后一个变坡点！";
inline constexpr const char* kCrossSlopeNotANumberPrompt = "横坡或偏距不是有效数字！";

// Setting out from an instrument station (测站) sighting a backsight (后视点).
inline constexpr const char* kSetoutStationNotFinitePrompt = "测站坐标不是有效数字！";
inline constexpr const char* kSetoutBacksightNotFinitePrompt = "后视点坐标不是有效数字！";
inline constexpr const char* kSetoutBacksightOnStationPrompt = "后视点与测站重合（相距不足1毫米）！";
inline constexpr const char* kSetoutHeightNotFinitePrompt = "测站高程、仪器高或棱镜高不是有效数字！";
inline constexpr const char* kSetoutNegativeHeightPrompt = "仪器高和棱镜高不能为负数！";
inline constexpr const char* kSetoutNoHeightsPrompt = "没有输入测站高程、仪器高和棱镜高！";
inline constexpr const char* kSetoutDesignHeightNotFinitePrompt = "设计高程不是有效数字！";
// Points written for a data collector.
inline constexpr const char* kPointNameControlCharacterPrompt = "点名或编码含有不能写入文件的控制字符！";
// A DD.MMSS angle text that cannot be read, after 角度“<text>”.
inline constexpr const char* kAngleNotDdMmSsText = "不是度.分秒";
inline constexpr const char* kAngleMinutesOrSecondsText = "的分或秒不小于60";

inline std::string AngleMessage(std::string_view text, const char* what) {
  return "角度“" + std::string(text) + "”" + what;
}

// Printed tables. A font file that cannot be read is named by its path,
// after kFontMissingPrompt (followed by the reading error) or in
// FontNotUsableMessage.
inline constexpr const char* kFontMissingPrompt = "打印表格所需的字体不可用：";
inline constexpr const char* kFontNotUsableText = "不是可用的 TrueType 字体！";

inline std::string FontNotUsableMessage(const std::string& path) {
  return "字体文件“" + path + "”" + kFontNotUsableText;
}

inline std::string ElementMessage(std::size_t index, const char* text) {
  return "第" + std::to_string(index + 1) + "个线元：" + text;
}

inline std::string EquationMessage(std::size_t index, const char* text) {
  return "第" + std::to_string(index + 1) + "个断链：" + text;
}

inline std::string JdMessage(const std::string& name, const char* text) { return name + "：" + text; }

// The cross-section table (超高、加宽表). A fault of one row is told as
// "第N行：" followed by one of the kCrossSection…Text reasons, N counting the
// file's lines with the heading as line 1 (CrossSectionRowMessage); a cell
// that is not a number also names its file and column.
inline constexpr const char* kCrossSectionEmptyPrompt = "横断面表是空的！";
inline constexpr const char* kCrossSectionNotANumberText = "桩号、宽度或横坡不是有效数字或过大！";
inline constexpr const char* kCrossSectionNegativeWidthText = "宽度不能为负数！";
inline constexpr const char* kCrossSectionOrderText = "桩号应大于上一行的桩号！";
inline constexpr const char* kCrossSectionColumnsText = "应有 桩号,左宽,右宽,左横坡,右横坡 五列，可加第六列 过渡！";
inline constexpr const char* kElementTypeText = "类型应为直线、圆曲线或缓和曲线";
inline constexpr const char* kGradeCurveShapeText = "竖曲线线形应为空（抛物线）、“抛物线”或“圆曲线”！";
inline constexpr const char* kCrossSectionTransitionText = "过渡应为空（线性）或“高次”！";
// The names of the table's columns, in file order, as messages name them.
inline constexpr const char* kCrossSectionColumnNames[] = {"桩号", "左宽", "右宽", "左横坡", "右横坡", "过渡"};
// The cell of 过渡 that asks for the higher-order widening transition.
inline constexpr const char* kHigherOrderTransitionName = "高次";

inline std::string CrossSectionRowMessage(std::size_t line, const char* text) {
  return "第" + std::to_string(line) + "行：" + text;
}

// A cell that is not a number: 文件“xs.csv”第3行第2列（左宽）“abc”不是有效的数字！
inline std::string CrossSectionCellMessage(const std::string& fileName, std::size_t line, std::size_t column,
                                           const std::string& cell) {
  return "文件“" + fileName + "”第" + std::to_string(line) + "行第" + std::to_string(column + 1) + "列（" +
         kCrossSectionColumnNames[column] + "）“" + cell + "”不是有效的数字！";
}

// An inside edge that reaches the centre of curvature, at its worst point:
// 桩号K0+105.000处右侧宽度达到曲线半径，边线越过曲率中心！
inline std::string CrossSectionReachesCentreMessage(const std::string& stationText, bool left) {
  return "桩号" + stationText + "处" + (left ? "左侧" : "右侧") + "宽度达到曲线半径，边线越过曲率中心！";
}

// The 路线 window's 放样 tab and its printed tables.
inline constexpr const char* kSetoutTitle = "放样";
inline constexpr const char* kNoSetoutRowsPrompt = "还没有放样结果：请先输入测站和后视点并计算";
inline constexpr const char* kNoPointsInFilePrompt = "文件中没有“点号,X,Y[,H]”格式的点";
inline constexpr const char* kPrintTablesTitle = "打印路线表格";
inline constexpr const char* kPointStationNotANumberPrompt = "桩号不是有效数字！";
inline constexpr const char* kCrossSectionHasErrorsPrompt = "横断面表有错误，请先改正：";
// quorvane-line's field commands (setout, tables, the cross-section option).
inline constexpr const char* kCrossSectionWithOffsetsPrompt =
    "选项 --cross-section 不能与 --offsets 或 --cross-slope 同时使用：边桩宽度和横坡取自横断面表";
inline constexpr const char* kSetoutStationMissingPrompt = "缺少测站坐标选项 --station X,Y";
inline constexpr const char* kSetoutBacksightMissingPrompt = "缺少后视点坐标选项 --backsight X,Y";
inline constexpr const char* kTablesOutputMissingPrompt = "缺少输出文件选项 -o FILE.pdf：图表只能写入 PDF 文件";
inline std::string SetoutFileTypePrompt(const std::string& path) {
  return "放样数据只能写入 .csv 或 .xml 文件，“" + path + "”不是";
}
inline constexpr const char* kJdLineFileWithoutTablePrompt = "路线文件中没有交点表，无法列出曲线要素表";

}  // namespace quorvane
