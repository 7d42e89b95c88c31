#include "ui/line/stake_print.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <algorithm>

#include "ui/line/stake_model.h"

namespace quorvane::ui {

int PrintStakeTable(QPrinter& printer, const QString& lineName, const StakeModel& stakes,
                    const std::vector<int>& rows, const PrintedSection& section) {
  const auto rowTexts = [&](int row) {
    QStringList texts = stakes.Texts(row);
    if (section.texts) texts << section.texts(stakes.RowAt(row));
    return texts;
  };
  QPainter painter;
  if (!painter.begin(&printer)) return 0;
  QFont font(QStringLiteral("WenQuanYi Micro Hei"));
  font.setStyleHint(QFont::SansSerif);
  const QRect page = painter.viewport();
  const QStringList titles = stakes.Titles() + section.titles;
  // Columns as wide as their widest text; a stake's texts are all of one
  // width per column except the codes, so a sample of rows will do. A table
  // wider than the page (edges, heights and the widths and slopes used) is
  // set in a smaller size, down to 5 pt, rather than cut off at the margin.
  std::vector<int> widths;
  int gap = 0;
  const auto measure = [&](double points) {
    font.setPointSizeF(points);
    const QFontMetrics metrics(font, painter.device());
    widths.clear();
    for (const QString& t : titles) widths.push_back(metrics.horizontalAdvance(t));
    const std::size_t sample = std::min<std::size_t>(rows.size(), 2000);
    for (std::size_t i = 0; i < sample; ++i) {
      const QStringList texts = rowTexts(rows[i]);
      for (qsizetype c = 0; c < texts.size() && c < static_cast<qsizetype>(widths.size()); ++c)
        widths[static_cast<std::size_t>(c)] =
            std::max(widths[static_cast<std::size_t>(c)], metrics.horizontalAdvance(texts[c]));
    }
    gap = metrics.horizontalAdvance(QStringLiteral("  "));
    int total = 0;
    for (int w : widths) total += w + gap;
    return total - gap;
  };
  double points = 9;
  if (const int total = measure(points); total > page.width()) {
    points = std::max(5.0, points * page.width() / total * 0.98);
    measure(points);
  }
  painter.setFont(font);
  const QFontMetrics metrics(font, painter.device());
  const int line = metrics.height() * 6 / 5;
  const int headerLines = 3;  // title, range and page, column titles
  const int perPage = std::max(1, page.height() / line - headerLines - 1);
  const int pages = std::max(1, static_cast<int>((rows.size() + perPage - 1) / perPage));

  const auto drawRow = [&](const QStringList& texts, int y) {
    int x = page.left();
    for (qsizetype c = 0; c < texts.size(); ++c) {
      const int w = widths[static_cast<std::size_t>(c)];
      painter.drawText(QRect(x, y, w, line), (c == 1 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, texts[c]);
      x += w + gap;
    }
  };

  for (int p = 0; p < pages; ++p) {
    if (p > 0) printer.newPage();
    const std::size_t first = static_cast<std::size_t>(p) * static_cast<std::size_t>(perPage);
    const std::size_t last = std::min(rows.size(), first + static_cast<std::size_t>(perPage));
    int y = page.top();
    painter.drawText(QRect(page.left(), y, page.width(), line), Qt::AlignHCenter | Qt::AlignVCenter,
                     QStringLiteral("逐桩坐标表  %1").arg(lineName));
    y += line;
    QString range;
    if (first < last) range = stakes.Texts(rows[first])[0] + QStringLiteral(" ~ ") + stakes.Texts(rows[last - 1])[0];
    painter.drawText(QRect(page.left(), y, page.width(), line), Qt::AlignLeft | Qt::AlignVCenter, range);
    painter.drawText(QRect(page.left(), y, page.width(), line), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("第 %1 页 / 共 %2 页").arg(p + 1).arg(pages));
    y += line;
    drawRow(titles, y);
    y += line;
    painter.drawLine(page.left(), y, page.right(), y);
    for (std::size_t i = first; i < last; ++i, y += line) drawRow(rowTexts(rows[i]), y);
  }
  painter.end();
  return pages;
}

void ShowStakePrintPreview(QWidget* parent, const QString& lineName, const StakeModel& stakes,
                           const std::vector<int>& rows, const PrintedSection& section) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QStringLiteral("逐桩坐标表"));
  QPrintPreviewDialog dialog(&printer, parent);
  dialog.setWindowTitle(QStringLiteral("打印预览"));
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                   [&](QPrinter* target) { PrintStakeTable(*target, lineName, stakes, rows, section); });
  dialog.exec();
}

}  // namespace quorvane::ui
