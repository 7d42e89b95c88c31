#include "report/road_table_look.h"

namespace quorvane {

TableLook LookOf(const TableHeading& heading, bool sideBySide) {
  TableLook look;
  look.title = heading.title;
  look.sideBySide = sideBySide;
  const bool grouped = !heading.groups.empty();
  look.headingRows = grouped ? 2 : 1;
  std::vector<bool> underGroup(heading.columns.size(), false);
  for (const HeadingGroup& group : heading.groups) {
    look.heading.push_back({group.text, 0, group.firstColumn, 1, group.columnCount});
    for (std::size_t c = group.firstColumn; c < group.firstColumn + group.columnCount && c < underGroup.size(); ++c)
      underGroup[c] = true;
  }
  for (std::size_t c = 0; c < heading.columns.size(); ++c) {
    const std::string& text = heading.columns[c].heading;
    if (underGroup[c]) {
      look.heading.push_back({text, 1, c, 1, 1});
    } else {
      look.heading.push_back({text, 0, c, look.headingRows, 1});
    }
    switch (heading.columns[c].align) {
      case ColumnAlign::Left:
        look.align.push_back(CellAlign::Left);
        break;
      case ColumnAlign::Centre:
        look.align.push_back(CellAlign::Centre);
        break;
      case ColumnAlign::Right:
        look.align.push_back(CellAlign::DecimalPoint);
        break;
    }
  }
  return look;
}

}  // namespace quorvane
